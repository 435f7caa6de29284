// TMainForm's menus and tool bar, made from tables: the entries of the HTML and Java menus
// (snippets, input boxes, insert dialogs) and the tool buttons with their commands, dialogs and
// enabling.
#include <iterator>

#include "commands.h"
#include "inputquery.h"
#include "keyboard.h"
#include "main.h"

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

// ---- menus ----------------------------------------------------------------------------------

TMenuItem* TMainForm::AddMenu(const String& Caption, const String& Hint) {
  auto* m = new TMenuItem(this, Caption);
  m->SetHint(Hint);
  m->SetAlwaysPopup(true);
  MainMenu1->Items()->Add(m);
  return m;
}

void TMainForm::BuildMenus() {
  MainMenu1 = new TMainMenu(this);
  BuildFileMenu();
  BuildEditMenu();
  BuildHtmlMenu();
  BuildJavaMenu();
  BuildHistoryBrowserHelp();
  FDocumentMenus = {JavaMenu, EditMenu, HtmlMenu, FileCloseItem, FileSaveAsItem};
}

void TMainForm::BuildFileMenu() {
  FileMenu = AddMenu("&Datei", "Dateibefehle");
  FileNewItem = AddItem(FileMenu, "Neu", cmFileNew, "Neue Datei anlegen", [this] { FileNewItemClick(); });
  FileOpenItem = AddItem(FileMenu, "\xD6" "ffnen", cmFileOpen, "Existierende Datei \xF6" "ffnen",
                         [this] { FileOpenItemClick(); });
  FileCloseItem = AddItem(FileMenu, "Aktuelle Datei Schlie\xDF" "en", cmFileClose, "Aktuelle Datei schlie\xDF" "en",
                          [this] { FileCloseItemClick(); });
  FileSaveAsItem = AddItem(FileMenu, "Speichern unter...", cmFileSaveAs, "Aktuelle Datei speichern unter...",
                           [this] { FileSaveAsItemClick(); });
  FileSaveAsItem->SetEnabled(false);
  FileExitItem = AddItem(FileMenu, "Beenden", cmFileExit, "Anwendung beenden", [this] { FileExitItemClick(); });
}

// Each entry runs the same-named pop-up entry of the active document window.
void TMainForm::BuildEditMenu() {
  EditMenu = AddMenu("B&earbeiten", "Befehle zum Editieren");
  struct E { TMenuItem** item; const char* caption; unsigned cmd; const char* hint; void (TMDIChild::*run)(); };
  const E entries[] = {
      {&EditUndo, "Undo", cmEditUndo, "\xC4nderungen widerrufen", &TMDIChild::UndoClick},
      {&EditCut, "Ausschneiden", cmEditCut, "In die Zwischenablage verschieben", &TMDIChild::CutClick},
      {&EditCopy, "Kopieren", cmEditCopy, "In die Zwischenablage kopieren", &TMDIChild::CopyClick},
      {&EditPaste, "Einf\xFCgen", cmEditPaste, "Aus der Zwischenablage einf\xFCgen", &TMDIChild::PasteClick},
      {&EditDelete, "L\xF6schen", cmEditDelete, "Selektierten Text l\xF6schen", &TMDIChild::DeleteClick},
  };
  for (const E& e : entries) {
    auto run = e.run;
    *e.item = AddItem(EditMenu, e.caption, e.cmd, e.hint, [this, run] {
      if (TMDIChild* d = ActiveDocument()) (d->*run)();
    });
    (*e.item)->SetEnabled(false);
  }
  AddItem(EditMenu, "-", 0, "", nullptr);
  EditSelectAll = AddItem(EditMenu, "Alles Selektieren", cmEditSelectAll, "", [this] {
    if (TMDIChild* d = ActiveDocument()) d->edi->ExecCommand(ecSelAll);
  });
}

// An entry of the HTML and Java menus: a fixed snippet, a snippet around a text asked for with
// an input box, an insert dialog, or the start of a submenu of the snippets that follow.
struct TPageEntry {
  enum TKind { Snippet, Input, DialogItem, SubMenu, EndSubMenu } Kind;
  const char* Caption;
  unsigned Command;
  TSnippet Text;
  TInsertDialogKind Dialog;
  const char* BoxCaption;
  String (*Make)(const String&);
};

namespace {
constexpr TPageEntry Snip(const char* Caption, unsigned Command, TSnippet S) {
  return {TPageEntry::Snippet, Caption, Command, S, idInsertDialogCount, nullptr, nullptr};
}
constexpr TPageEntry Ask(const char* Caption, unsigned Command, const char* Box, String (*Make)(const String&)) {
  return {TPageEntry::Input, Caption, Command, snSnippetCount, idInsertDialogCount, Box, Make};
}
constexpr TPageEntry Dlg(const char* Caption, unsigned Command, TInsertDialogKind Kind) {
  return {TPageEntry::DialogItem, Caption, Command, snSnippetCount, Kind, nullptr, nullptr};
}
constexpr TPageEntry Sub(const char* Caption) {
  return {TPageEntry::SubMenu, Caption, 0, snSnippetCount, idInsertDialogCount, nullptr, nullptr};
}
constexpr TPageEntry EndSub() {
  return {TPageEntry::EndSubMenu, nullptr, 0, snSnippetCount, idInsertDialogCount, nullptr, nullptr};
}

const TPageEntry kHtmlEntries[] = {
    Snip("<BR> - Zeilenumbruch", cmBreak, snBreak),
    Snip("<Nobr> - Kein Zeilenumbruch", cmNobr, snNobr),
    Snip("<HR> - Linie", cmRule, snRule),
    Snip("<B> - Text (Fett)", cmBold, snBold),
    Snip("Spacer", cmSpacer, snSpacer),
    Snip("Keine Frames", cmNoFrames, snNoFrames),
    Snip("Border einf\xFCgen", cmBorder, snBorder),
    Ask("IsIndex...", cmIsIndex, "IsIndex Prompt...", &IsIndexText),
    Ask("Text versetzen - nach unten", cmSubScript, "Text nach unten versetzen...", &SubScriptText),
    Ask("Text versetzen - nach oben", cmSuperScript, "Text nach oben versetzen...", &SuperScriptText),
    Snip("Copyright", cmCopyright, snCopyright),
    Snip("Registriert", cmRegistered, snRegistered),
    Snip("Links justieren", cmLeft, snLeft),
    Snip("Center", cmCenter, snCenter),
    Snip("Rechts justieren", cmRight, snRight),
    Snip("Kommentar einf\xFCgen", cmComment, snComment),
    Snip("Textbaustein", cmTextArea, snTextArea),
    Snip("Listbox", cmListBox, snListBox),
    Dlg("Lauftext", cmMarquee, idMarquee),
    Dlg("Text einf\xFCgen - Optionen", cmFontText, idFont),
    Sub("Buttons"),
    Snip("Seitenanfang", cmTopButton, snTopButton),
    Snip("Seitenende", cmBottomButton, snBottomButton),
    EndSub(),
    Dlg("Video einbinden", cmVideo, idVideo),
};

const TPageEntry kJavaEntries[] = {
    Snip("Aktuelles Datum", cmDateScript, snDateScript),
    Snip("Hintergrund - Color Fader", cmColorFader, snColorFader),
    Snip("Rechte Maustaste sperren", cmRightButtonLock, snRightButtonLock),
    Snip("Scrolltext und Datum im Explorer", cmStatusScroller, snStatusScroller),
};
}  // namespace

void TMainForm::AddPageEntries(TMenuItem* Menu, const TPageEntry* Begin, const TPageEntry* End) {
  TMenuItem* parent = Menu;
  for (const TPageEntry* p = Begin; p != End; ++p) {
    const TPageEntry& e = *p;
    switch (e.Kind) {
      case TPageEntry::Snippet: AddSnippet(parent, e.Caption, e.Command, e.Text); break;
      case TPageEntry::Input: AddInputSnippet(parent, e.Caption, e.Command, e.BoxCaption, e.Make); break;
      case TPageEntry::DialogItem: AddDialogItem(parent, e.Caption, e.Command, e.Dialog); break;
      case TPageEntry::SubMenu:
        parent = new TMenuItem(this, e.Caption);
        parent->SetAlwaysPopup(true);
        Menu->Add(parent);
        break;
      case TPageEntry::EndSubMenu: parent = Menu; break;
    }
  }
}

void TMainForm::BuildHtmlMenu() {
  HtmlMenu = AddMenu("HT&ML", "Vordefinierte HTML Tag`s und Befehle");
  AddPageEntries(HtmlMenu, std::begin(kHtmlEntries), std::end(kHtmlEntries));
}

void TMainForm::BuildJavaMenu() {
  JavaMenu = AddMenu("&Java", "Vordefinierte Java Scripts einf\xFCgen");
  AddPageEntries(JavaMenu, std::begin(kJavaEntries), std::end(kJavaEntries));
}

// "&History" (filled by the windows), the "&Browser" entry right on the menu bar, and "&Hilfe".
void TMainForm::BuildHistoryBrowserHelp() {
  HistoryMenu = AddMenu("&History", "");
  auto* b = new TMenuItem(this, "&Browser", cmBrowser);
  b->SetHint("Pfad zum Internet Browser konfigurieren");
  b->OnClick = [this](TObject*) { Browser1Click(); };
  FActions[cmBrowser] = [this] { Browser1Click(); };
  MainMenu1->Items()->Add(b);
  BrowserMenu = b;
  HelpMenu = AddMenu("&Hilfe", "Hilfethemen");
  AddItem(HelpMenu, "Inf&o Box", cmInfoBox, "", [this] { InfoBoxClick(); });
  AddItem(HelpMenu, "-", 0, "", nullptr);
  AddItem(HelpMenu, "Hil&fe", cmHelp, "", [this] { HelpClick(); });
}

// ---- the tool bar ----------------------------------------------------------------------------

// A tool button: its picture in the strip of res/toolbar.bmp (-1: a gap before the next group),
// its command and hint, the insert dialog it opens (idInsertDialogCount: none), whether it acts
// on the active page, and what it runs instead of opening its dialog (null: its dialog, or else
// the command's menu entry). The buttons, their actions and their enabling are made from this
// table alone.
struct TToolEntry {
  int Image;
  unsigned Command;
  const char* Hint;
  TInsertDialogKind Dialog;
  bool NeedsDocument;
  void (TMainForm::*Run)();
};

namespace {
constexpr TInsertDialogKind idNone = idInsertDialogCount;

const TToolEntry kToolBar[] = {
    {0, cmFileNew, "Neue Datei anlegen", idNone, false, nullptr},
    {1, cmFileOpen, "Existierende Datei \xF6" "ffnen", idNone, false, nullptr},
    {-1, 0, nullptr, idNone, false, nullptr},
    {2, cmFileSaveAs, "Aktuelle Datei speichern unter", idNone, true, nullptr},
    {-1, 0, nullptr, idNone, false, nullptr},
    {3, cmPreview, "Aktive Seite mit Internet Browser testen", idNone, true, &TMainForm::Preview},
    {4, cmImage, "Grafik einf\xFCgen", idImage, true, nullptr},
    // The link dialog starts from the selected text, which the command checks first.
    {5, cmLink, "Link auf eine Zeile oder einen  selektierten Text setzen ", idLink, true, &TMainForm::LinkClick},
    {6, cmMailLink, "E - Mail Link auf eine  Zeile oder einen selektierten Text setzen ", idNone, true,
     &TMainForm::MailLinkClick},
    {-1, 0, nullptr, idNone, false, nullptr},
    {7, cmTable, "Tabelle anlegen", idTable, true, nullptr},
    {8, cmFormBuilder, "Formular anlegen", idFormBuilder, true, nullptr},
    {9, cmImageBrowser, "Verzeichnisse nach Bildern durchsuchen", idImageBrowser, false, nullptr},
    {10, cmCompressor, "HTML Seiten packen", idCompressor, false, nullptr},
    {11, cmSoundTable, "Soundsteuerung mit Playliste", idSoundTable, true, nullptr},
};

// A button's dialog is a window beside the documents (the image browser).
bool OpensWindow(const TToolEntry& B) { return B.Dialog != idNone && InsertDialog(B.Dialog).Window; }

// A button that acts on the active page needs a document window; one that opens a dialog needs
// the dialog registered; one that opens a window stays off while a window beside the documents
// is open, so that only one is ever open.
bool ButtonEnabled(const TToolEntry& B, bool Document, bool SideWindowOpen) {
  if (B.NeedsDocument && !Document) return false;
  if (B.Dialog == idNone) return true;
  return bool(InsertDialog(B.Dialog)) && !(OpensWindow(B) && SideWindowOpen);
}
}  // namespace

void TMainForm::BuildToolBar() {
  for (const TToolEntry& b : kToolBar) {
    auto* t = new TToolButton(ToolBar1, b.Image, b.Image < 0);
    if (b.Image < 0) continue;
    t->SetHint(b.Hint);
    const unsigned cmd = b.Command;
    if (b.Run) FActions[cmd] = [this, run = b.Run] { (this->*run)(); };
    else if (b.Dialog != idNone) FActions[cmd] = [this, kind = b.Dialog] { RunInsertDialog(kind); };
    t->OnClick = [this, cmd](TObject*) { FActions[cmd](); };
    FButtons[cmd] = t;
  }
}

void TMainForm::UpdateToolButtons(bool Document) {
  for (const TToolEntry& b : kToolBar)
    if (b.Image >= 0) FButtons[b.Command]->SetEnabled(ButtonEnabled(b, Document, FSideWindow != nullptr));
}

// While the window beside the documents is active: the buttons that act on a page, and those that
// open such a window.
void TMainForm::DisableDocumentButtons() {
  for (const TToolEntry& b : kToolBar)
    if (b.Image >= 0 && (b.NeedsDocument || OpensWindow(b))) FButtons[b.Command]->SetEnabled(false);
}

// The buttons that open a window beside the documents (tool button 13), once it has closed.
void TMainForm::EnableWindowButtons() {
  for (const TToolEntry& b : kToolBar)
    if (b.Image >= 0 && OpensWindow(b)) FButtons[b.Command]->SetEnabled(ButtonEnabled(b, true, FSideWindow != nullptr));
}
