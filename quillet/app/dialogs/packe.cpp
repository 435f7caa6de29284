#include "packe.h"

#include "findfiles.h"
#include "insertids.h"
#include "messagedlg.h"

namespace {
// The hourglass while the page is compressed.
class THourGlass {
public:
  THourGlass() : FOld(::SetCursor(LoadCursorA(nullptr, IDC_WAIT))) {}
  ~THourGlass() { ::SetCursor(FOld ? FOld : LoadCursorA(nullptr, IDC_ARROW)); }

private:
  HCURSOR FOld;
};
}  // namespace

Tpaform::Tpaform(TComponent* AOwner, TDialogContext& Context)
    : TTagDialog(AOwner, Context, PA_BLOCK, " Quillet - Compressor", "Beenden") {
  SetClientSize(420, 190);
  NewLabel(10, 10, 200, "HTML Seite");
  Edit1 = NewEdit(1, 10, 28, 340);
  ColorButton1 = NewButton(1, 360, 26, 50, "...");
  NewLabel(10, 58, 100, "ungepackt");
  Panel2 = NewPanel(2, 10, 76, 120);
  NewLabel(150, 58, 100, "gepackt");
  Panel3 = NewPanel(3, 150, 76, 120);
  NewLabel(10, 106, 250, "Neuer Seitenname ...");
  Edit2 = NewEdit(2, 10, 124, 400);
  ColorButton2 = NewButton(2, 10, 156, 125, "Packen");
  ColorButton3 = NewButton(3, 147, 156, 125, "Speichern");
  ColorButton4 = NewButton(4, 285, 156, 125, "Beenden");
  ColorButton2->SetEnabled(false);
  ColorButton3->SetEnabled(false);
  ColorButton1->OnClick = [this](TObject*) { ColorButton1Click(); };
  ColorButton2->OnClick = [this](TObject*) { ColorButton2Click(); };
  ColorButton3->OnClick = [this](TObject*) { ColorButton3Click(); };
  ColorButton4->OnClick = [this](TObject*) { Close(); };
  hpa = new TOpenDialog(this);
  hpa->Title = "Html Seiten laden ...";
  hpa->Filter = "Html Seiten(*.htm;*.html;*.shtml)|*.htm;*.html;*.shtml|Alle Dateien(*.*)|*.*";
  tml = new THTMLCompressor(this);  // every option on except BlockquoteToUl
  Message = [](const String& Text) { ShowMessage(Text); };
  OnShow = [this](TObject*) { FStartFolder = FContext.WorkFolder; };
  CreateWindows();
}

void Tpaform::ColorButton1Click() {
  hpa->FileName.clear();
  hpa->InitialDir = FStartFolder;
  if (!hpa->Execute()) return;
  FPicked = hpa->FileName;
  TSearchRec r;
  const int64_t size = FileFacts(FPicked, r) ? r.Size : -1;
  Panel2->SetCaption(size < 0 ? String() : IntToStr(size));
  Panel3->SetCaption("");
  FStartFolder = ExtractFilePath(FPicked);
  Edit1->SetText(FPicked);
  Edit2->SetText(FPicked);
  ColorButton2->SetEnabled(true);
  ColorButton3->SetEnabled(false);
}

void Tpaform::ColorButton2Click() {
  bool loaded;
  {
    THourGlass wait;
    loaded = tml->LoadFromFile(FPicked);
    if (loaded) tml->Compress();
  }
  if (!loaded) {
    Message("Die Datei " + FPicked + " kann nicht gelesen werden.");
    return;
  }
  // An empty page is not compressed: nothing to save.
  if (!tml->Compressed()) return;
  Panel3->SetCaption(IntToStr(tml->CompressedSize()));
  ColorButton3->SetEnabled(true);
  ColorButton2->SetEnabled(false);
}

void Tpaform::ColorButton3Click() {
  const String target = Edit2->Text();
  if (target.empty()) return;
  if (!tml->SaveToFile(target)) {
    // The result stays ready for another name.
    Message("Die Datei " + target + " kann nicht gespeichert werden.");
    return;
  }
  Edit1->SetText("");
  Edit2->SetText("");
  Panel2->SetCaption("");
  Panel3->SetCaption("");
  ColorButton2->SetEnabled(false);
  ColorButton3->SetEnabled(false);
}

void RegisterCompressorWindow() { RegisterInsertDialog(idCompressor, {DialogFactory<Tpaform>(), nullptr}); }
