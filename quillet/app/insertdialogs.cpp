#include "insertdialogs.h"

namespace {
TInsertDialog& Slot(TInsertDialogKind k) {
  static TInsertDialog slots[idInsertDialogCount];
  return slots[k];
}
}  // namespace

void RegisterInsertDialog(TInsertDialogKind Kind, TInsertDialog Dialog) { Slot(Kind) = std::move(Dialog); }
void UnregisterInsertDialog(TInsertDialogKind Kind) { Slot(Kind) = TInsertDialog(); }
const TInsertDialog& InsertDialog(TInsertDialogKind Kind) { return Slot(Kind); }

namespace {
std::vector<TDialogFactory>& StartFormList() {
  static std::vector<TDialogFactory> forms;
  return forms;
}
}  // namespace

void RegisterStartForm(TDialogFactory Create) { StartFormList().push_back(std::move(Create)); }
const std::vector<TDialogFactory>& StartForms() { return StartFormList(); }

String CopyToWorkFolder(TDialogContext& Context, const String& File) {
  TMemoryStream* m = Context.Stream;
  m->Clear();
  m->LoadFromFile(File);
  const String name = ExtractFileName(File);
  const String target = Context.WorkFolder + name;
  if (!SameText(target, File)) m->SaveToFile(target);
  return name;
}

String ExchangeItem(const TStrings& Exchange, int I) {
  return I < Exchange.Count() ? Exchange.Strings(I) : String();
}

void InsertFirstLine(const TStrings& Exchange, TPageAccess& Page) {
  Page.InsertAtCaret(ExchangeItem(Exchange, 0) + '\r');
}

TInsertStep InsertItemsUpTo(int Last) {
  return [Last](const TStrings& Exchange, TPageAccess& Page) {
    for (int i = 0; i <= Last; ++i)
      if (!ExchangeItem(Exchange, i).empty()) Page.InsertAtCaret(ExchangeItem(Exchange, i));
  };
}
