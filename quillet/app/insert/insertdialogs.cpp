#include "insertdialogs.h"

#include <algorithm>

namespace {
TInsertDialog& Slot(TInsertDialogKind k) {
  static TInsertDialog slots[idInsertDialogCount];
  return slots[k];
}

// The start forms, and beside each the kind it was registered for (idInsertDialogCount for a
// form that is no insert dialog).
std::vector<TDialogFactory>& StartFormList() {
  static std::vector<TDialogFactory> forms;
  return forms;
}
std::vector<TInsertDialogKind>& StartFormKinds() {
  static std::vector<TInsertDialogKind> kinds;
  return kinds;
}
void AddStartForm(TInsertDialogKind Kind, TDialogFactory Create) {
  StartFormList().push_back(std::move(Create));
  StartFormKinds().push_back(Kind);
}
}  // namespace

void RegisterInsertDialog(TInsertDialogKind Kind, TInsertDialog Dialog, TStartForm Start) {
  const auto& kinds = StartFormKinds();
  if (Start == sfAtStart && std::find(kinds.begin(), kinds.end(), Kind) == kinds.end())
    AddStartForm(Kind, Dialog.Create);
  Slot(Kind) = std::move(Dialog);
}
void UnregisterInsertDialog(TInsertDialogKind Kind) { Slot(Kind) = TInsertDialog(); }
const TInsertDialog& InsertDialog(TInsertDialogKind Kind) { return Slot(Kind); }

void RegisterStartForm(TDialogFactory Create) { AddStartForm(idInsertDialogCount, std::move(Create)); }
const std::vector<TDialogFactory>& StartForms() { return StartFormList(); }

namespace {
// The one copy road of the media files: read whole through the program's stream, written into
// Folder under the bare name.
String CopyInto(TDialogContext& Context, const String& Folder, const String& File) {
  TMemoryStream* m = Context.Stream;
  m->Clear();
  m->LoadFromFile(File);
  const String name = ExtractFileName(File);
  const String target = Folder + name;
  if (!SameText(target, File)) m->SaveToFile(target);
  return name;
}
}  // namespace

String CopyMediaFile(TDialogContext& Context, const String& File) {
  return CopyInto(Context, Context.MediaFolder.empty() ? Context.WorkFolder : Context.MediaFolder, File);
}

String CopyToWorkFolder(TDialogContext& Context, const String& File) { return CopyInto(Context, Context.WorkFolder, File); }

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
