#include "main.h"

#include <memory>

#include "about.h"
#include "childwin.h"
#include "clipboard.h"
#include "commands.h"
#include "confi.h"
#include "inputquery.h"
#include "messagedlg.h"

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

// The active page as the insert steps see it: its editor.
class TEditorPage : public TPageAccess {
public:
  explicit TEditorPage(TCodeHLEditor& Editor) : FEditor(Editor) {}
  void InsertAtCaret(const String& Text) override { FEditor.InsertText(Text); }
  void DeleteSelection() override { FEditor.DeleteSelected(); }
  void SelectionEnd(String& Line, int& Column) override {
    Column = FEditor.SelEndX();
    Line = FEditor.SelEndY() < FEditor.Lines()->Count() ? FEditor.Lines()->Strings(FEditor.SelEndY()) : String();
  }

private:
  TCodeHLEditor& FEditor;
};
}  // namespace

TMainForm::TMainForm(TComponent* AOwner) : TForm(AOwner) {
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
  // A name typed without an extension gets ".htm" in the dialog already, so that the question
  // before replacing a file is asked for the file that is written.
  Sav->DefaultExt = "htm";
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
  UpdateMenuItems();
}

LRESULT TMainForm::WndProc(UINT msg, WPARAM w, LPARAM l) {
  if (msg == QM_COMMANDENABLED) return CommandEnabled(unsigned(w)) ? 1 : 0;
  if (msg == QM_DOCUMENTCOUNT) return DocumentCount();
  if (msg == QM_HISTORYENTRY) return int(w) < HistoryMenu->Count() ? HistoryMenu->Items(int(w))->Command() : 0;
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

void StartMainWindow(const String& CommandLine) {
  TMainForm* main = Application->CreateForm<TMainForm>();
  Application->CreateForm<TAboutBox>();
  main->CreateStartForms();
  main->Show();
  String param = Trim(CommandLine);
  if (param.size() >= 2 && param.front() == '"' && param.back() == '"') param = param.substr(1, param.size() - 2);
  TMDIChild* c = nullptr;
  if (param == "/neu") c = main->CreateDocumentWindow("Unbenannt.htm");
  else if (!param.empty() && FileExists(param)) {
    main->OpenFile(param);
    c = main->ActiveDocument();
  }
  if (c) {
    c->SetWindowState(wsMaximized);
    c->edi->SetFocus();
  }
}

void TMainForm::CreateStartForms() {
  // Hidden and never shown; their context outlives them (it is the program's own).
  for (const TDialogFactory& create : StartForms()) create(Application, DialogContext());
}

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
  UpdateToolButtons(doc);
  if (FSideWindow && ActiveMDIChild() == FSideWindow) DisableDocumentButtons();
  // "Undo" is the active page's.
  if (TMDIChild* d = ActiveDocument()) d->UpdateUndoEntries();
  else EditUndo->SetEnabled(false);
}

// Neither an open window's working copy nor a file already in the working folder (the copy of
// a page closed earlier) is taken: no page's copy replaces another's.
String TMainForm::UniqueWorkNameFor(const String& Caption, const TMDIChild* Except) const {
  std::vector<String> taken;
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (auto* c = dynamic_cast<TMDIChild*>(Screen->Forms(i)))
      if (c != Except && !c->WorkName().empty()) taken.push_back(c->WorkName());
  String name = UniqueWorkName(WorkFileName(Caption), taken);
  while (FileExists(WorkFolder() + name)) {
    taken.push_back(name);
    name = UniqueWorkName(WorkFileName(Caption), taken);
  }
  return name;
}

TMDIChild* TMainForm::CreateDocumentWindow(const String& Name) {
  auto* child = new TMDIChild(Application, *this);
  child->SetCaption(Name);
  child->SetTag(0);
  child->SetWorkName(UniqueWorkNameFor(Name, child));
  child->Show();
  AddHistoryEntry(Name);
  Screen->ActiveFormChanged();
  return child;
}

void TMainForm::AddHistoryEntry(const String& Caption) {
  auto* item = new TMenuItem(this, ExtractFileName(Caption));
  FHistoryWindows[item] = Caption;
  LastHistory = item;
  item->OnClick = [this, item](TObject*) { mClick(item); };
  HistoryMenu->Add(item);
}

void TMainForm::mClick(TMenuItem* Item) {
  if (HistoryMenu->IndexOf(Item) < 0) return;
  // The window's whole caption: a page named with a backslash shows only its last part.
  const String caption = FHistoryWindows[Item];
  std::vector<TForm*> windows;
  for (int i = 0; i < MDIChildCount(); ++i)
    if (MDIChildren(i)->Caption() == caption) windows.push_back(MDIChildren(i));
  // Restored and brought to the front, so that the entry switches to its window.
  for (TForm* f : windows) {
    f->SetWindowState(wsNormal);
    SendMessageA(ClientHandle(), WM_MDIACTIVATE, WPARAM(f->Handle()), 0);
  }
}

void TMainForm::RenameHistoryEntry(const String& Caption, const String& NewCaption) {
  for (int i = 0; i < HistoryMenu->Count(); ++i) {
    TMenuItem* item = HistoryMenu->Items(i);
    if (FHistoryWindows[item] == Caption) {
      FHistoryWindows[item] = NewCaption;
      item->SetCaption(ExtractFileName(NewCaption));
      return;
    }
  }
}

void TMainForm::RemoveHistoryEntry(const String& Caption) {
  for (int i = 0; i < HistoryMenu->Count(); ++i) {
    TMenuItem* item = HistoryMenu->Items(i);
    if (FHistoryWindows[item] == Caption) {
      if (LastHistory == item) LastHistory = nullptr;
      FHistoryWindows.erase(item);
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
    std::unique_ptr<TForm1> dialog(new TForm1(Application, DialogContext()));
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

bool TMainForm::SaveDocumentAs(TMDIChild* Doc) {
  Sav->FileName.clear();
  Sav->InitialDir = Doc->HasOwnFile() ? ExtractFilePath(Doc->fina->Caption()) : ProgramDir + "DATEN\\";
  if (!Sav->Execute()) return false;
  return SavePageAs(Doc, SaveAsFileName(Sav->FileName));
}

bool TMainForm::SaveDocument(TMDIChild* Doc) { return SavePageAs(Doc, Doc->fina->Caption()); }

// The file is replaced only once the whole page is written beside it, so a failed save leaves
// it as it was.
bool TMainForm::SavePageAs(TMDIChild* Doc, const String& File) {
  try {
    Doc->edi->Lines()->SaveToFile(File);
  } catch (const std::exception& e) {
    // The page keeps its text and its changed state.
    ShowMessage("Die Datei " + File + " kann nicht gespeichert werden.\n" + e.what());
    return false;
  }
  Doc->SetChanged(false);
  // The page now is that file: its caption, its History entry, its preview and the next
  // question on closing go by it.
  const String caption = ExtractFileName(File);
  if (Doc->Caption() != caption) {
    RenameHistoryEntry(Doc->Caption(), caption);
    Doc->SetCaption(caption);
  }
  Doc->fina->SetCaption(File);
  Doc->edi->SetTag(1);
  Doc->SetWorkName(String());  // no working copy any more: its name is free for another page
  return true;
}

void TMainForm::FileSaveAsItemClick() {
  if (TMDIChild* d = ActiveDocument()) SaveDocumentAs(d);
}

void TMainForm::FileExitItemClick() { Close(); }

bool TMainForm::CloseQuery() {
  // Every changed page is asked first, each shown in front while it is asked; a save that is
  // cancelled or fails keeps every window open. Only then do they close, without
  // asking again.
  std::vector<TMDIChild*> open;
  for (int i = 0; i < MDIChildCount(); ++i) {
    auto* c = dynamic_cast<TMDIChild*>(MDIChildren(i));
    if (c && c->Visible() && !c->Releasing()) open.push_back(c);
  }
  for (TMDIChild* c : open) {
    if (c->Changed() && c->Tag() == 2) {
      c->SetWindowState(wsNormal);
      SendMessageA(ClientHandle(), WM_MDIACTIVATE, WPARAM(c->Handle()), 0);
    }
    if (c->QuerySave() == TMDIChild::saCancelled) {
      for (TMDIChild* d : open) d->SetAnswered(false);
      return false;
    }
    c->SetAnswered(true);
  }
  for (TMDIChild* c : open) {
    c->Close();
    if (!c->Releasing()) return false;
  }
  return TForm::CloseQuery();
}

// ---- preview, browser, help, info box -------------------------------------------------------

bool TMainForm::StartBrowser(const String& File) {
  LastPreview = File;
  // In quotes: a folder with a blank must reach the browser as one argument.
  if (ShellExecuteFile(Application->Handle(), BrowserPath, "\"" + File + "\"", "")) return true;
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
  // A page with a file of its own is shown from its own folder, where its pictures and links
  // are (its unsaved changes only when the user has them saved first: "Nein" means not now, and
  // the page stays changed, so closing asks); a page without one through its working copy,
  // which then holds its text, once the browser has it.
  if (!doc->HasOwnFile()) {
    const String work = ProgramDir + "DATEN\\" + doc->WorkName();
    doc->edi->Lines()->SaveToFile(work);
    if (StartBrowser(work)) doc->SetChanged(false);
  } else {
    // A save that fails is reported, and the preview stops with the page still changed.
    if (doc->Changed() && doc->Tag() == 2 && MessageDlg(kChangedQuestion, mtWarning, mbYes | mbNo) == mrYes &&
        !SaveDocument(doc))
      return;
    StartBrowser(doc->fina->Caption());
  }
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
    // The topic "Hlp_Topic_1" is the help file's contents topic (quillet/help/Quillet.hlt), so the
    // viewer is opened on its contents: a jump by topic id goes through a help macro, which the
    // viewer that Wine brings never carries out, while both viewers show the contents.
    WinHelpA(Application->Handle(), Application->HelpFile().c_str(), HELP_CONTENTS, 0);
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
  // The link dialog builds the link around item 0; its insert step replaces the selected text
  // only when the dialog gave one: a cancelled dialog leaves the page as it was.
  Exchange->Clear();
  Exchange->Add(sel);
  ShowInsertDialog(InsertDialog(idLink), doc);
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
  TEditorPage page(*doc->edi);
  String line;
  int column = 0;
  page.SelectionEnd(line, column);
  page.DeleteSelection();
  page.InsertAtCaret(LinkReplacement(MailLink(address, Exchange->Strings(0)), line, column));
}

TDialogContext& TMainForm::DialogContext(const TMDIChild* Page) {
  FDialogContext.Exchange = Exchange;
  FDialogContext.Stream = Stream;
  FDialogContext.WorkFolder = WorkFolder();
  FDialogContext.MediaFolder = Page && Page->HasOwnFile() ? ExtractFilePath(Page->fina->Caption()) : WorkFolder();
  FDialogContext.PictureFolder = FileOpened && !OpenedFolder.empty() ? OpenedFolder : WorkFolder();
  FDialogContext.WindowActive = [this](TForm*) { DisableDocumentButtons(); };
  FDialogContext.WindowClosed = [this](TForm* Window) { SideWindowClosed(Window); };
  return FDialogContext;
}

void TMainForm::RunInsertDialog(TInsertDialogKind Kind) {
  const TInsertDialog& dialog = InsertDialog(Kind);
  if (!dialog) return;
  if (dialog.Window) {
    OpenInsertWindow(dialog);
    return;
  }
  TMDIChild* doc = ActiveDocument();
  if (dialog.Insert && !doc) return;
  if (dialog.ClearsExchange) Exchange->Clear();
  ShowInsertDialog(dialog, doc);
}

void TMainForm::ShowInsertDialog(const TInsertDialog& Dialog, TMDIChild* Doc) {
  {
    std::unique_ptr<TForm> form(Dialog.Create(Application, DialogContext(Doc)));
    form->ShowModal();
  }
  // Nothing is inserted when the dialog was cancelled or its page is no longer the active one.
  if (!Dialog.Insert || Exchange->Count() == 0 || ActiveDocument() != Doc) return;
  TEditorPage page(*Doc->edi);
  Dialog.Insert(*Exchange, page);
}

// A window beside the documents (the image browser): the documents step aside (minimised; they
// get their states back when it closes), it gets a History entry, and the commands on documents
// and pictures wait until it closes.
void TMainForm::OpenInsertWindow(const TInsertDialog& Dialog) {
  if (FSideWindow) return;  // one at a time
  FSteppedAside.MinimiseAll(this);
  TForm* window = Dialog.Create(Application, DialogContext());
  FSideWindow = window;
  window->Show();
  AddHistoryEntry(window->Caption());
  DisableDocumentButtons();
}

// The window's own History entry goes (closed through its close box it need not be the active
// window), and the buttons that open such a window (tool button 13) come back.
void TMainForm::SideWindowClosed(TForm* Window) {
  RemoveHistoryEntry(Window->Caption());
  if (Window == FSideWindow) {
    FSideWindow = nullptr;
    FSteppedAside.Restore(this, Window);
  }
  EnableWindowButtons();
}

// ---- what the document windows ask of their frame --------------------------------------------

TDocumentHost::TEditEntries TMainForm::EditEntries() const { return {EditUndo, EditCut, EditCopy, EditPaste, EditDelete}; }

void TMainForm::DocumentClosing(TMDIChild* Doc) { RemoveHistoryEntry(Doc->Caption()); }

String TMainForm::WorkFolder() const { return ProgramDir + "DATEN\\"; }
