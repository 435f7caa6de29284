#include "main.h"

#include <memory>

#include "about.h"
#include "childwin.h"
#include "clipboard.h"
#include "commands.h"
#include "confi.h"

TMainForm* MainForm = nullptr;

namespace {
const char* const kChangedQuestion = "Die Datei wurde ge\xE4ndert , sollen die \xC4nderungen gespeichert werden ?";
const char* const kSelectFirst = "Selektieren sie die zu linkende Zeile , oder einen Text , im Formular!";
const char CR = '\r';

bool DirectoryExists(const String& d) {
  const DWORD a = GetFileAttributesA(d.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

void ForceDirectories(String d) {
  while (!d.empty() && (d.back() == '\\' || d.back() == '/')) d.pop_back();
  if (d.empty() || DirectoryExists(d) || (d.size() == 2 && d[1] == ':')) return;
  ForceDirectories(ExtractFilePath(d));
  if (!CreateDirectoryA(d.c_str(), nullptr) && !DirectoryExists(d))
    throw EFCreateError("Verzeichnis " + d + " kann nicht erstellt werden");
}
}  // namespace

TMainForm::TMainForm(TComponent* AOwner) : TForm(AOwner) {
  MainForm = this;
  SetFormStyle(fsMDIForm);
  SetCaption("Quillet 1.6");
  SetColor(clSilver);
  SetPosition(poDefault);
  BuildMenus();
  SetMenu(MainMenu1);
  SetClientSize(632, 414);

  ImageList1 = new TImageList(this, 16, 16);
  ImageList1->LoadStrip(GetModuleHandleA(nullptr), 200);
  ToolBar1 = new TToolBar(this);
  ToolBar1->SetImages(ImageList1);
  ToolBar1->ButtonWidth = 43;
  ToolBar1->SetParent(this);
  BuildToolBar();

  StatusBar = new TStatusBar(this);
  StatusBar->Font()->SetStyle(TFontStyles(fsBold));
  StatusBar->SetParent(this);

  OpenDialog = new TOpenDialog(this);
  OpenDialog->Title = "Html Seiten laden ...";
  OpenDialog->Filter =
      "Html Seiten(*.htm;*.html;*.shtml)|*.htm;*.html;*.shtml|Java Scripte (*.js)|*.js;|Text Dateien(*.txt)|*.txt|"
      "Alle Dateien(*.*)|*.*";
  Sav = new TSaveDialog(this);
  Sav->Title = "Datei speichern als ...";
  Sav->Filter = "Html Datei(*.htm;*.html;*.shtml)|*.htm;*.html;*.shtml|Alle Dateien(*.*)|*.*";
  Sav->OverwritePrompt = true;
  Sav->HideReadOnly = true;
  bro = new TOpenDialog(this);
  bro->Title = "Internet Explorer suchen ...";
  bro->Filter = "EXE Dateien(*.exe)|*.exe";

  FormCreate();
}

TMainForm::~TMainForm() {
  Screen->OnActiveFormChange = nullptr;
  Application->OnHint = nullptr;
  // The document windows go before the lists they use.
  for (int i = Screen->FormCount() - 1; i >= 0; --i)
    if (auto* c = dynamic_cast<TMDIChild*>(Screen->Forms(i))) delete c;
  delete Exchange;
  delete Stream;
  delete PicturePaths;
  if (MainForm == this) MainForm = nullptr;
}

void TMainForm::FormCreate() {
  Application->OnHint = [this](TObject*) { ShowHintInStatusBar(); };
  EditPaste->SetEnabled(TClipboard::HasText());
  Screen->OnActiveFormChange = [this](TObject*) { UpdateMenuItems(); };
  Exchange = new TStringList();
  Stream = new TMemoryStream();
  ProgramDir = ExtractFilePath(Application->ExeName());
  ForceDirectories(ProgramDir + "DATEN\\");
  if (FileExists(ProgramDir + "DATEN\\HILFE\\Quillet.hlp"))
    Application->SetHelpFile(ProgramDir + "DATEN\\HILFE\\Quillet.hlp");
  LastPreview.clear();
  FileOpened = false;
  PicturePaths = new TStringList();
  UpdateMenuItems();
}

TMenuItem* TMainForm::AddItem(TMenuItem* Parent, const String& Caption, unsigned Command, const String& Hint,
                              std::function<void()> Action) {
  auto* i = new TMenuItem(this, Caption, Command);
  i->SetHint(Hint);
  if (Action) {
    FActions[Command ? Command : i->Command()] = Action;
    i->OnClick = [Action](TObject*) { Action(); };
  }
  Parent->Add(i);
  return i;
}

void TMainForm::AddSnippet(TMenuItem* Parent, const String& Caption, unsigned Command, TSnippet S) {
  AddItem(Parent, Caption, Command, "", [this, S] {
    for (const String& s : SnippetInsertions(S)) InsertAtCaret(s);
  });
}

void TMainForm::AddInputSnippet(TMenuItem* Parent, const String& Caption, unsigned Command,
                                const String& BoxCaption, String (*Make)(const String&)) {
  AddItem(Parent, Caption, Command, "", [this, BoxCaption, Make] {
    if (!ActiveDocument()) return;
    String text;
    if (InputQuery(BoxCaption, "Text eingeben", text)) InsertAtCaret(Make(text));
  });
}

void TMainForm::AddDialogItem(TMenuItem* Parent, const String& Caption, unsigned Command, TInsertDialogKind Kind) {
  FDialogCommands[Command] = Kind;
  AddItem(Parent, Caption, Command, "", [this, Kind] { RunInsertDialog(Kind); });
}

void TMainForm::BuildMenus() {
  MainMenu1 = new TMainMenu(this);
  TMenuItem* bar = MainMenu1->Items();
  auto menu = [&](const String& caption, const String& hint) {
    auto* m = new TMenuItem(this, caption);
    m->SetHint(hint);
    m->SetAlwaysPopup(true);
    bar->Add(m);
    return m;
  };
  FileMenu = menu("&Datei", "Dateibefehle");
  FileNewItem = AddItem(FileMenu, "Neu", cmFileNew, "Neue Datei anlegen", [this] { FileNewItemClick(); });
  FileOpenItem = AddItem(FileMenu, "\xD6" "ffnen", cmFileOpen, "Existierende Datei \xF6" "ffnen",
                         [this] { FileOpenItemClick(); });
  FileCloseItem = AddItem(FileMenu, "Aktuelle Datei Schlie\xDF" "en", cmFileClose, "Aktuelle Datei schlie\xDF" "en",
                          [this] { FileCloseItemClick(); });
  FileSaveAsItem = AddItem(FileMenu, "Speichern unter...", cmFileSaveAs, "Aktuelle Datei speichern unter...",
                           [this] { FileSaveAsItemClick(); });
  FileSaveAsItem->SetEnabled(false);
  FileExitItem = AddItem(FileMenu, "Beenden", cmFileExit, "Anwendung beenden", [this] { FileExitItemClick(); });

  EditMenu = menu("B&earbeiten", "Befehle zum Editieren");
  auto doc = [this](void (TMDIChild::*f)()) {
    return [this, f] {
      if (TMDIChild* d = ActiveDocument()) (d->*f)();
    };
  };
  EditUndo = AddItem(EditMenu, "Undo", cmEditUndo, "\xC4nderungen widerrufen", doc(&TMDIChild::UndoClick));
  EditCut = AddItem(EditMenu, "Ausschneiden", cmEditCut, "In die Zwischenablage verschieben", doc(&TMDIChild::CutClick));
  EditCopy = AddItem(EditMenu, "Kopieren", cmEditCopy, "In die Zwischenablage kopieren", doc(&TMDIChild::CopyClick));
  EditPaste = AddItem(EditMenu, "Einf\xFCgen", cmEditPaste, "Aus der Zwischenablage einf\xFCgen", doc(&TMDIChild::PasteClick));
  EditDelete = AddItem(EditMenu, "L\xF6schen", cmEditDelete, "Selektierten Text l\xF6schen", doc(&TMDIChild::DeleteClick));
  for (TMenuItem* i : {EditUndo, EditCut, EditCopy, EditPaste, EditDelete}) i->SetEnabled(false);
  AddItem(EditMenu, "-", 0, "", nullptr);
  EditSelectAll = AddItem(EditMenu, "Alles Selektieren", cmEditSelectAll, "", [this] {
    if (TMDIChild* d = ActiveDocument()) d->edi->ExecCommand(288);
  });

  HtmlMenu = menu("HT&ML", "Vordefinierte HTML Tag`s und Befehle");
  AddSnippet(HtmlMenu, "<BR> - Zeilenumbruch", cmBreak, snBreak);
  AddSnippet(HtmlMenu, "<Nobr> - Kein Zeilenumbruch", cmNobr, snNobr);
  AddSnippet(HtmlMenu, "<HR> - Linie", cmRule, snRule);
  AddSnippet(HtmlMenu, "<B> - Text (Fett)", cmBold, snBold);
  AddSnippet(HtmlMenu, "Spacer", cmSpacer, snSpacer);
  AddSnippet(HtmlMenu, "Keine Frames", cmNoFrames, snNoFrames);
  AddSnippet(HtmlMenu, "Border einf\xFCgen", cmBorder, snBorder);
  AddInputSnippet(HtmlMenu, "IsIndex...", cmIsIndex, "IsIndex Prompt...", &IsIndexText);
  AddInputSnippet(HtmlMenu, "Text versetzen - nach unten", cmSubScript, "Text nach unten versetzen...", &SubScriptText);
  AddInputSnippet(HtmlMenu, "Text versetzen - nach oben", cmSuperScript, "Text nach oben versetzen...", &SuperScriptText);
  AddSnippet(HtmlMenu, "Copyright", cmCopyright, snCopyright);
  AddSnippet(HtmlMenu, "Registriert", cmRegistered, snRegistered);
  AddSnippet(HtmlMenu, "Links justieren", cmLeft, snLeft);
  AddSnippet(HtmlMenu, "Center", cmCenter, snCenter);
  AddSnippet(HtmlMenu, "Rechts justieren", cmRight, snRight);
  AddSnippet(HtmlMenu, "Kommentar einf\xFCgen", cmComment, snComment);
  AddSnippet(HtmlMenu, "Textbaustein", cmTextArea, snTextArea);
  AddSnippet(HtmlMenu, "Listbox", cmListBox, snListBox);
  AddDialogItem(HtmlMenu, "Lauftext", cmMarquee, idMarquee);
  AddDialogItem(HtmlMenu, "Text einf\xFCgen - Optionen", cmFontText, idFont);
  auto* buttons = new TMenuItem(this, "Buttons");
  buttons->SetAlwaysPopup(true);
  HtmlMenu->Add(buttons);
  AddSnippet(buttons, "Seitenanfang", cmTopButton, snTopButton);
  AddSnippet(buttons, "Seitenende", cmBottomButton, snBottomButton);
  AddDialogItem(HtmlMenu, "Video einbinden", cmVideo, idVideo);

  JavaMenu = menu("&Java", "Vordefinierte Java Scripts einf\xFCgen");
  AddSnippet(JavaMenu, "Aktuelles Datum", cmDateScript, snDateScript);
  AddSnippet(JavaMenu, "Hintergrund - Color Fader", cmColorFader, snColorFader);
  AddSnippet(JavaMenu, "Rechte Maustaste sperren", cmRightButtonLock, snRightButtonLock);
  AddSnippet(JavaMenu, "Scrolltext und Datum im Explorer", cmStatusScroller, snStatusScroller);

  HistoryMenu = menu("&History", "");
  auto* b = new TMenuItem(this, "&Browser", cmBrowser);
  b->SetHint("Pfad zum Internet Browser konfigurieren");
  b->OnClick = [this](TObject*) { Browser1Click(); };
  FActions[cmBrowser] = [this] { Browser1Click(); };
  bar->Add(b);
  BrowserMenu = b;
  HelpMenu = menu("&Hilfe", "Hilfethemen");
  AddItem(HelpMenu, "Inf&o Box", cmInfoBox, "", [this] { InfoBoxClick(); });
  AddItem(HelpMenu, "-", 0, "", nullptr);
  AddItem(HelpMenu, "Hil&fe", cmHelp, "", [this] { HelpClick(); });

  FDocumentMenus = {JavaMenu, EditMenu, HtmlMenu, FileCloseItem, FileSaveAsItem};
}

void TMainForm::BuildToolBar() {
  struct B { int image; unsigned cmd; const char* hint; } buttons[] = {
      {0, cmFileNew, "Neue Datei anlegen"},
      {1, cmFileOpen, "Existierende Datei \xF6" "ffnen"},
      {-1, 0, nullptr},
      {2, cmFileSaveAs, "Aktuelle Datei speichern unter"},
      {-1, 0, nullptr},
      {3, cmPreview, "Aktive Seite mit Internet Browser testen"},
      {4, cmImage, "Grafik einf\xFCgen"},
      {5, cmLink, "Link auf eine Zeile oder einen  selektierten Text setzen "},
      {6, cmMailLink, "E - Mail Link auf eine  Zeile oder einen selektierten Text setzen "},
      {-1, 0, nullptr},
      {7, cmTable, "Tabelle anlegen"},
      {8, cmFormBuilder, "Formular anlegen"},
      {9, cmImageBrowser, "Verzeichnisse nach Bildern durchsuchen"},
      {10, cmCompressor, "HTML Seiten packen"},
      {11, cmSoundTable, "Soundsteuerung mit Playliste"},
  };
  FActions[cmPreview] = [this] { Preview(); };
  FActions[cmImage] = [this] { RunInsertDialog(idImage); };
  FActions[cmLink] = [this] { LinkClick(); };
  FActions[cmMailLink] = [this] { MailLinkClick(); };
  FActions[cmTable] = [this] { RunInsertDialog(idTable); };
  FActions[cmFormBuilder] = [this] { RunInsertDialog(idFormBuilder); };
  FActions[cmSoundTable] = [this] { RunInsertDialog(idSoundTable); };
  FActions[cmImageBrowser] = [this] { RunInsertDialog(idImageBrowser); };
  FActions[cmCompressor] = [this] { RunInsertDialog(idCompressor); };
  for (const B& b : buttons) {
    auto* t = new TToolButton(ToolBar1, b.image, b.image < 0);
    if (b.image < 0) continue;
    t->SetHint(b.hint);
    const unsigned cmd = b.cmd;
    t->OnClick = [this, cmd](TObject*) { FActions[cmd](); };
    FButtons[cmd] = t;
  }
}

LRESULT TMainForm::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == QM_COMMANDENABLED) return CommandEnabled(unsigned(w)) ? 1 : 0;
  if (msg == QM_DOCUMENTCOUNT) return DocumentCount();
  if (msg == WM_COMMAND && l == 0 && !TMenuItem::FindItem(LOWORD(w))) {
    // Commands of tool buttons without a menu entry.
    auto b = FButtons.find(LOWORD(w));
    if (b != FButtons.end()) {
      if (b->second->Enabled()) Firewall(0, [&] { FActions[b->first](); return 0; });
      return 0;
    }
  }
  return TForm::WndProc(msg, w, l);
}

bool TMainForm::CommandEnabled(unsigned Command) const {
  if (TMenuItem* i = TMenuItem::FindItem(Command)) {
    for (TMenuItem* p = i; p; p = p->Parent())
      if (!p->Enabled()) return false;
    return true;
  }
  auto b = FButtons.find(Command);
  return b != FButtons.end() && b->second->Enabled();
}

void TMainForm::ShowHintInStatusBar() { StatusBar->SetSimpleText(Application->Hint()); }

// ---- documents and the History menu ----------------------------------------------------------

int TMainForm::DocumentCount() const {
  int n = 0;
  for (int i = 0; i < MDIChildCount(); ++i)
    if (dynamic_cast<TMDIChild*>(MDIChildren(i))) ++n;
  return n;
}

TMDIChild* TMainForm::ActiveDocument() const { return dynamic_cast<TMDIChild*>(ActiveMDIChild()); }

void TMainForm::UpdateMenuItems() {
  // Commands that act on an editor need a document window; another MDI child (the image
  // browser) is no document.
  const bool doc = DocumentCount() > 0;
  for (TMenuItem* m : FDocumentMenus) m->SetEnabled(doc);
  HistoryMenu->SetEnabled(MDIChildCount() > 0);  // its entries restore any MDI child
  for (auto& [cmd, kind] : FDialogCommands) TMenuItem::FindItem(cmd)->SetEnabled(bool(InsertDialog(kind)));
  for (unsigned cmd : {cmFileSaveAs, cmPreview, cmMailLink}) FButtons[cmd]->SetEnabled(doc);
  const std::pair<unsigned, TInsertDialogKind> dialogs[] = {
      {cmImage, idImage}, {cmLink, idLink}, {cmTable, idTable}, {cmFormBuilder, idFormBuilder},
      {cmSoundTable, idSoundTable}};
  for (auto& [cmd, kind] : dialogs) FButtons[cmd]->SetEnabled(doc && InsertDialog(kind));
  FButtons[cmImageBrowser]->SetEnabled(bool(InsertDialog(idImageBrowser)));
  FButtons[cmCompressor]->SetEnabled(bool(InsertDialog(idCompressor)));
}

String TMainForm::UniqueWorkNameFor(const String& Caption, const TMDIChild* Except) const {
  std::vector<String> taken;
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (auto* c = dynamic_cast<TMDIChild*>(Screen->Forms(i)))
      if (c != Except && !c->WorkName().empty()) taken.push_back(c->WorkName());
  return UniqueWorkName(ExtractFileName(Caption), taken);
}

TMDIChild* TMainForm::CreateDocumentWindow(const String& Name) {
  auto* child = new TMDIChild(Application);
  child->SetCaption(Name);
  child->SetTag(0);
  child->SetWorkName(UniqueWorkNameFor(Name, child));
  child->Show();
  auto* item = new TMenuItem(this, ExtractFileName(Name));
  LastHistory = item;
  item->OnClick = [this, item](TObject*) { mClick(item); };
  HistoryMenu->Add(item);
  Screen->ActiveFormChanged();
  return child;
}

void TMainForm::mClick(TMenuItem* Item) {
  const int index = HistoryMenu->IndexOf(Item);
  if (index < 0) return;
  const String caption = HistoryMenu->Items(index)->Caption();
  for (int i = 0; i < MDIChildCount(); ++i)
    if (MDIChildren(i)->Caption() == caption) MDIChildren(i)->SetWindowState(wsNormal);
}

void TMainForm::RemoveHistoryEntry(const String& Caption) {
  for (int i = 0; i < HistoryMenu->Count(); ++i) {
    TMenuItem* item = HistoryMenu->Items(i);
    if (item->Caption() == Caption) {
      if (LastHistory == item) LastHistory = nullptr;
      HistoryMenu->Remove(item);
      delete item;
      return;
    }
  }
}

void TMainForm::InsertAtCaret(const String& Text) {
  if (TMDIChild* d = ActiveDocument()) d->edi->InsertText(Text);
}

// ---- file commands --------------------------------------------------------------------------

void TMainForm::FileNewItemClick() {
  FileOpened = false;
  Exchange->Clear();
  {
    std::unique_ptr<TForm1> dialog(new TForm1(Application));
    dialog->ShowModal();
  }
  if (Exchange->Count() == 0) return;
  TMDIChild* child = CreateDocumentWindow(NewPageCaption(*Exchange));
  child->BeginFill();
  TStringList page;
  AppendPageSkeleton(*Exchange, page);
  for (int i = 0; i < page.Count(); ++i) child->edi->Lines()->Add(page.Strings(i));
  child->edi->SetCaret(0, child->edi->Lines()->Count() - 3);
  child->EndFill();
  child->edi->SetFocus();
}

void TMainForm::FileOpenItemClick() {
  FileOpened = true;
  OpenDialog->FileName.clear();
  if (!OpenDialog->Execute()) return;
  OpenFile(OpenDialog->FileName);
}

void TMainForm::OpenFile(const String& file) {
  FileOpened = true;
  OpenedFolder = ExtractFilePath(file);
  TStringList text;
  text.LoadFromFile(file);  // a file that cannot be read opens no window
  TMDIChild* child = CreateDocumentWindow(ExtractFileName(file));
  child->BeginFill();
  child->edi->Lines()->Assign(&text);
  child->EndFill();
  child->edi->SetTag(1);
  child->fina->SetCaption(file);
  child->edi->SetFocus();
}

void TMainForm::FileCloseItemClick() {
  if (TForm* f = ActiveMDIChild()) f->Close();
}

void TMainForm::SaveDocumentAs(TMDIChild* Doc) {
  Sav->FileName.clear();
  Sav->InitialDir = ProgramDir + "DATEN\\";
  if (FileOpened) Sav->InitialDir = ExtractFilePath(Doc->fina->Caption());
  if (!Sav->Execute()) return;
  const String file = SaveAsFileName(Sav->FileName);
  Doc->edi->Lines()->SaveToFile(file);
  Doc->SetChanged(false);
}

void TMainForm::FileSaveAsItemClick() {
  if (TMDIChild* d = ActiveDocument()) SaveDocumentAs(d);
}

void TMainForm::FileExitItemClick() { Close(); }

bool TMainForm::CloseQuery() {
  // Every document window is closed through its own close, which asks about unsaved changes.
  for (;;) {
    TMDIChild* open = nullptr;
    for (int i = 0; i < MDIChildCount() && !open; ++i) {
      auto* c = dynamic_cast<TMDIChild*>(MDIChildren(i));
      if (c && c->Visible() && !c->Releasing()) open = c;
    }
    if (!open) break;
    open->SetWindowState(wsNormal);
    SendMessageA(ClientHandle(), WM_MDIACTIVATE, WPARAM(open->Handle()), 0);
    open->Close();
    if (!open->Releasing()) return false;
  }
  return TForm::CloseQuery();
}

// ---- preview, browser, help, info box -------------------------------------------------------

bool TMainForm::StartBrowser(const String& File) {
  LastPreview = File;
  if (ShellExecuteFile(Application->Handle(), BrowserPath, File, "")) return true;
  ShowMessage("Der Internet Browser " + BrowserPath + " kann nicht gestartet werden !");
  return false;
}

void TMainForm::Preview() {
  TMDIChild* doc = ActiveDocument();
  if (!doc) return;
  Exchange->Clear();
  LastPreview.clear();
  BrowserPath.clear();
  if (FileExists(ProgramDir + "Browser.cfg")) {
    Exchange->LoadFromFile(ProgramDir + "Browser.cfg");
    if (Exchange->Count() > 0) BrowserPath = Exchange->Strings(0);
  }
  if (BrowserPath.empty()) {
    ShowMessage("Der Pfad zum Internet Browser wurde noch nicht konfiguriert !");
    return;
  }
  const String work = ProgramDir + "DATEN\\" + doc->WorkName();
  if (!FileOpened) {
    doc->edi->Lines()->SaveToFile(work);
    StartBrowser(work);
  } else {
    if (doc->Changed() && doc->Tag() == 2) {
      if (MessageDlg(kChangedQuestion, mtWarning, mbYes | mbNo) == mrYes) {
        LastPreview = doc->fina->Caption();
        if (!LastPreview.empty()) doc->edi->Lines()->SaveToFile(LastPreview);
      }
    }
    if (doc->edi->Tag() == 0) {
      doc->edi->Lines()->SaveToFile(work);
      StartBrowser(work);
    } else {
      LastPreview = doc->fina->Caption();
      if (!LastPreview.empty()) StartBrowser(LastPreview);
    }
  }
  doc->SetChanged(false);
}

void TMainForm::Browser1Click() {
  Exchange->Clear();
  bro->FileName.clear();
  if (!bro->Execute()) return;
  Exchange->Add(bro->FileName);
  Exchange->SaveToFile(ProgramDir + "Browser.cfg");
}

void TMainForm::HelpClick() {
  if (FileExists(ProgramDir + "DATEN\\HILFE\\Quillet.hlp")) {
    Application->SetHelpFile(ProgramDir + "DATEN\\HILFE\\Quillet.hlp");
    Application->HelpJump("Hlp_Topic_1");
  } else {
    ShowMessage("Die Hilfe Datei - Quillet.hlp - ist nicht vorhanden !");
  }
}

void TMainForm::InfoBoxClick() {
  std::unique_ptr<TAboutBox> box(new TAboutBox(Application));
  box->ShowModal();
}

// ---- links and the insert dialogs -----------------------------------------------------------

void TMainForm::LinkClick() {
  TMDIChild* doc = ActiveDocument();
  if (!doc || !InsertDialog(idLink)) return;
  const String sel = doc->edi->GetSelText();
  if (sel.empty()) {
    ShowMessage(kSelectFirst);
    return;
  }
  Exchange->Clear();
  Exchange->Add(sel);
  {
    std::unique_ptr<TForm> dialog(InsertDialog(idLink)(Application));
    dialog->ShowModal();
  }
  // The link replaces the selected text only when the dialog gave one: a cancelled dialog leaves
  // the page as it was.
  if (Exchange->Count() > 0 && ActiveDocument() == doc) {
    doc->edi->DeleteSelected();
    doc->edi->InsertText(Exchange->Strings(0) + CR);
  }
}

void TMainForm::MailLinkClick() {
  TMDIChild* doc = ActiveDocument();
  if (!doc) return;
  const String sel = doc->edi->GetSelText();
  if (sel.empty()) {
    ShowMessage(kSelectFirst);
    return;
  }
  String address;
  if (!InputQuery("E - Mail Link einsetzen", "Mail Adresse eintragen ...", address)) return;
  Exchange->Clear();
  Exchange->Add(sel);
  doc->edi->DeleteSelected();
  doc->edi->InsertText(MailLink(address, Exchange->Strings(0)));
}

void TMainForm::RunInsertDialog(TInsertDialogKind Kind) {
  const TFormFactory& make = InsertDialog(Kind);
  if (!make) return;
  if (Kind == idImageBrowser) {
    for (int i = 0; i < MDIChildCount(); ++i) MDIChildren(i)->SetWindowState(wsMinimized);
    TForm* browser = make(Application);
    browser->Show();
    auto* item = new TMenuItem(this, ExtractFileName(browser->Caption()));
    LastHistory = item;
    item->OnClick = [this, item](TObject*) { mClick(item); };
    HistoryMenu->Add(item);
    for (unsigned cmd : {cmFileSaveAs, cmPreview, cmImage, cmTable, cmFormBuilder, cmLink, cmMailLink, cmImageBrowser})
      FButtons[cmd]->SetEnabled(false);
    return;
  }
  TMDIChild* doc = ActiveDocument();
  if (Kind != idCompressor && !doc) return;
  if (Kind != idSoundTable) Exchange->Clear();
  {
    std::unique_ptr<TForm> dialog(make(Application));
    dialog->ShowModal();
  }
  if (Kind == idCompressor || Exchange->Count() == 0 || ActiveDocument() != doc) return;
  auto item = [this](int i) { return i < Exchange->Count() ? Exchange->Strings(i) : String(); };
  switch (Kind) {
    case idImage: doc->edi->InsertText(ImageTag(*Exchange)); break;
    case idMarquee: case idVideo: case idFont: case idLink: doc->edi->InsertText(item(0) + CR); break;
    case idTable: doc->edi->InsertText(item(0)); break;
    case idFormBuilder:
      for (int i = 0; i <= 11; ++i)
        if (!item(i).empty()) doc->edi->InsertText(item(i));
      break;
    case idSoundTable:
      for (int i = 0; i <= 16; ++i)
        if (!item(i).empty()) doc->edi->InsertText(item(i));
      break;
    default: break;
  }
}
