#include "insertdialogs.h"

namespace {
TFormFactory& Slot(TInsertDialogKind k) {
  static TFormFactory slots[idInsertDialogCount];
  return slots[k];
}
}  // namespace

void RegisterInsertDialog(TInsertDialogKind Kind, TFormFactory Factory) { Slot(Kind) = std::move(Factory); }
const TFormFactory& InsertDialog(TInsertDialogKind Kind) { return Slot(Kind); }
