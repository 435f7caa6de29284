#include "browse.h"

#include "browseids.h"

Tbrowse::Tbrowse(TComponent* AOwner, TDialogContext& Context) : TForm(AOwner), FContext(Context) {
  SetFormStyle(fsMDIChild);
  SetCaption(" Bilder Browser");
  SetBounds(0, 0, 640, 480);

  MainMenu1 = new TMainMenu(this);
  auto* programm = new TMenuItem(this, "&Programm");
  auto* beenden = new TMenuItem(this, "Beenden", BR_CLOSE);
  beenden->OnClick = [this](TObject*) { Close(); };
  programm->Add(beenden);
  MainMenu1->Items()->Add(programm);
  auto* suchen = new TMenuItem(this, "&Suchen", BR_SEARCH);
  suchen->OnClick = [this](TObject*) { SuchenClick(); };
  MainMenu1->Items()->Add(suchen);
  SetMenu(MainMenu1);

  PopupMenu1 = new TPopupMenu(this);
  auto* vollbild = new TMenuItem(this, "Vollbild Anzeige", BR_FULLVIEW);
  vollbild->OnClick = [this](TObject*) { VollbildClick(); };
  auto* kopieren = new TMenuItem(this, "Bild in das Arbeitsverzeichnis kopieren", BR_COPY);
  kopieren->OnClick = [this](TObject*) { KopierenClick(); };
  PopupMenu1->Items()->Add(vollbild);
  PopupMenu1->Items()->Add(new TMenuItem(this, "-"));
  PopupMenu1->Items()->Add(kopieren);

  tbu = new TThumbview(this);
  tbu->SetMaxWidth(200);
  tbu->SetMaxHeight(200);
  tbu->SetSize(40);
  tbu->SetScrollMode(SMHorizontal);
  tbu->SetSorted(true);
  tbu->SetAlignView(VTNormal);
  tbu->SetAutoScrolling(true);
  tbu->SetThumbGap(4);
  tbu->SetPopupMenu(PopupMenu1);
  tbu->OnGetTitle = [this](TObject*, const String& FileName, String& Title, TFont*&, TColor&) {
    tbuGetTitle(FileName, Title);
  };
  tbu->SetParent(this);
  tbu->SetAlign(alClient);

  Ima = new TPixBox(this);
  Ima->SetVisible(false);
  Ima->SetCursor(crHandPoint);
  Ima->SetScrollBars(true);
  Ima->SetBackground(clSilver);
  Ima->OnClick = [this](TObject*) { imaClick(); };
  Ima->SetParent(this);
  Ima->SetAlign(alClient);

  por = new TBrowseDirectoryDlg(this);
  por->Title = "Grafik - Verzeichnisse suchen...";
  por->Root = idDrives;
  por->ShowSelectionInStatus = false;

  OnShow = [this](TObject*) { FormShow(); };
  OnClose = [this](TObject*, TCloseAction& a) { FormClose(a); };
  // The document commands must not act on the browser.
  OnActivate = [this](TObject*) { if (FContext.WindowActive) FContext.WindowActive(this); };
  OnPaint = [this](TObject*) { if (FContext.WindowActive) FContext.WindowActive(this); };
}

void Tbrowse::FormShow() {
  // The browser takes the frame's whole client area, so that the thumbnails' columns fit in it.
  RECT area;
  if (GetClientRect(GetParent(Handle()), &area) && area.right > 0 && area.bottom > 0)
    SetBounds(0, 0, area.right, area.bottom);
  tbu->SetDirectory(FContext.PictureFolder);
}

void Tbrowse::tbuGetTitle(const String& FileName, String& Title) { Title = ExtractFileName(FileName); }

void Tbrowse::SuchenClick() {
  // A cancelled dialog leaves the browser on its folder: the picker then reports no folder, and
  // an empty name would clear the view.
  // The dialog opens on the folder shown.
  if (!tbu->Directory().empty()) por->SetSelection(tbu->Directory());
  if (!por->Execute()) return;
  const String folder = por->GetSelectedPath();
  if (folder.empty()) return;
  tbu->SetDirectory(folder);
  if (Ima->Visible()) imaClick();
}

// The commands take the selected cell's own file: the view knows what each cell shows, also
// while a scan is still filling it.
void Tbrowse::VollbildClick() {
  const String file = tbu->SelectedFile();
  if (file.empty()) return;
  tbu->Hide();
  Ima->Show();
  try {
    // A PNG picture comes back as a bitmap for the view; the others are loaded into it.
    if (const std::unique_ptr<TBitmap> png = LoadPictureFile(*Ima->IO(), file)) {
      Ima->Assign(png.get());
      Ima->Update();
    }
  } catch (...) {
    // The thumbnails come back rather than the previous picture under this one's name.
    imaClick();
    throw;
  }
}

void Tbrowse::KopierenClick() {
  const String file = tbu->SelectedFile();
  if (file.empty()) return;
  CopyToWorkFolder(FContext, file);
}

void Tbrowse::imaClick() {
  Ima->Hide();
  tbu->Show();
}

void Tbrowse::FormClose(TCloseAction& Action) {
  if (FContext.WindowClosed) FContext.WindowClosed(this);
  Action = caFree;
}

void RegisterImageBrowser() {
  TInsertDialog d{DialogFactory<Tbrowse>(), nullptr};
  d.Window = true;
  RegisterInsertDialog(idImageBrowser, d);
}
