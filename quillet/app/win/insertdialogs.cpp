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

TEdit* NewEdit(TComponent* Owner, TWinControl* Parent, int Id, int X, int Y, int W, const String& Text) {
  auto* e = new TEdit(Owner);
  e->SetBounds(X, Y, W, 21);
  e->SetText(Text);
  e->SetControlId(Id);
  e->SetParent(Parent);
  return e;
}

TPanel* NewPanel(TComponent* Owner, TWinControl* Parent, int Id, int X, int Y, int W, int H, TColor Color) {
  auto* p = new TPanel(Owner);
  p->SetBounds(X, Y, W, H);
  p->SetColor(Color);
  p->BevelOuter = bvLowered;
  p->SetControlId(Id);
  p->SetParent(Parent);
  return p;
}

TColorButton* NewButton(TComponent* Owner, TWinControl* Parent, int Id, int X, int Y, int W, const String& Caption) {
  auto* b = new TColorButton(Owner);
  b->SetBounds(X, Y, W, 25);
  b->SetCaption(Caption);
  b->Font()->SetName("Arial");
  b->Font()->SetStyle(TFontStyles(fsBold));
  b->Font()->SetColor(clMaroon);
  b->SetStyle(bsCenter | bsShowKey);
  b->SetControlId(Id);
  b->SetParent(Parent);
  return b;
}

void NewLabel(TComponent* Owner, TWinControl* Parent, int X, int Y, int W, const String& Caption) {
  auto* l = new TLabel(Owner);
  l->SetBounds(X, Y, W, 16);
  l->SetCaption(Caption);
  l->SetParent(Parent);
}

void PickPanelColor(TColorDialog* Dialog, TPanel* Panel) {
  Dialog->FullOpen = true;
  Dialog->Color = Panel->Color();
  if (Dialog->Execute()) Panel->SetColor(Dialog->Color);
}
