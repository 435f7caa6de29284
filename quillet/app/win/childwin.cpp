#include "childwin.h"

#include "clipboard.h"
#include "keyboard.h"
#include "messagedlg.h"

bool TMDIChild::MouseHeld = false;

TMDIChild::TMDIChild(TComponent* AOwner, TDocumentHost& Host) : TForm(AOwner), FHost(Host) {
  SetFormStyle(fsMDIChild);
  SetCaption("Untergeordnetes MDI");
  SetBounds(0, 0, 429, 215);

  PopupMenu1 = new TPopupMenu(this);
  auto item = [this](const char* caption, std::function<void()> action) {
    auto* i = new TMenuItem(this, caption);
    if (action) i->OnClick = [action](TObject*) { action(); };
    PopupMenu1->Items()->Add(i);
    return i;
  };
  pUndo = item("Undo", [this] { UndoClick(); });
  pUndo->SetEnabled(false);
  pCut = item("Ausschneiden", [this] { CutClick(); });
  pPaste = item("Einf\xFCgen", [this] { PasteClick(); });
  pCopy = item("Kopieren", [this] { CopyClick(); });
  pDelete = item("L\xF6schen", [this] { DeleteClick(); });
  item("-", nullptr);
  pSelectAll = item("Alles Selektieren", [this] { SelectAllClick(); });

  edi = new TCodeHLEditor(this);
  edi->SetParent(this);
  edi->SetAlign(alClient);
  edi->SetHighLighter(hlHtml);
  edi->Font()->SetName("Courier New");
  edi->Font()->SetHeight(-13);
  edi->SetTabStops("3 5");
  edi->SetGutterWidth(15);
  edi->SetGutterColor(clWhite);
  edi->SetRightMarginColor(clSilver);
  edi->SetSelForeColor(clWhite);
  edi->SetSelBackColor(clHighlight);
  edi->Completion()->SetInterval(800);
  edi->Completion()->CaretChar = '|';
  edi->Completion()->CRLF = "/n";
  edi->Completion()->Separator = "=";
  edi->Colors()->SetDocumentWindowColors();
  edi->SetPopupMenu(PopupMenu1);
  edi->OnChange = [this](TObject*) { ediChange(); };
  edi->OnSelectionChange = [this](TObject*) { ediSelectionChange(); };
  edi->OnMouseDown = [](TObject*, TMouseButton, TShiftState, int, int) { MouseHeld = true; };
  edi->OnMouseUp = [this](TObject*, TMouseButton Button, TShiftState, int, int) {
    // The release ends a drag; it is no save, so the page keeps its changed state.
    MouseHeld = false;
    if (Button == mbRight) {
      POINT pt;
      GetCursorPos(&pt);
      PopupMenu1->Popup(pt.x, pt.y, Handle());
    }
  };
  edi->OnMouseMove = [this](TObject*, TShiftState, int X, int) {
    if (MouseHeld && X > edi->Width() - 40) SendMessageA(edi->Handle(), WM_HSCROLL, SB_LINERIGHT, 0);
  };

  fina = new TLabel(this);
  fina->SetVisible(false);
  fina->SetParent(this);

  OnClose = [this](TObject*, TCloseAction& a) { FormClose(a); };
  OnResize = [this](TObject*) { pPaste->SetEnabled(TClipboard::HasText()); };
  OnPaint = [this](TObject*) { FormPaint(); };
}

TMDIChild::~TMDIChild() = default;

void TMDIChild::ediChange() {
  // An undo through the keys (Ctrl+Z) reports its change here too.
  UpdateUndoEntries();
  if (FFilling) return;
  FChanged = true;
  SetTag(2);
}

void TMDIChild::ediSelectionChange() {
  if (edi->GetSelText().empty()) return;
  const TDocumentHost::TEditEntries m = FHost.EditEntries();
  pPaste->SetEnabled(false);
  m.Paste->SetEnabled(false);
  for (TMenuItem* i : {pCut, pCopy, pDelete, m.Cut, m.Copy, m.Delete})
    i->SetEnabled(true);
}

void TMDIChild::CutClick() {
  edi->CutToClipboard();
  const TDocumentHost::TEditEntries m = FHost.EditEntries();
  pPaste->SetEnabled(true);
  m.Paste->SetEnabled(true);
  for (TMenuItem* i : {pCopy, pDelete, pCut, m.Copy, m.Delete, m.Cut})
    i->SetEnabled(false);
}

void TMDIChild::CopyClick() {
  edi->CopyToClipboard();
  const TDocumentHost::TEditEntries m = FHost.EditEntries();
  for (TMenuItem* i : {pCut, pCopy, pDelete, m.Cut, m.Copy, m.Delete}) i->SetEnabled(false);
  pPaste->SetEnabled(true);
  m.Paste->SetEnabled(true);
}

void TMDIChild::PasteClick() { edi->PasteFromClipboard(); }

void TMDIChild::DeleteClick() {
  edi->DeleteSelected();
  const TDocumentHost::TEditEntries m = FHost.EditEntries();
  for (TMenuItem* i : {pCut, pPaste, pCopy, pDelete, m.Cut, m.Paste, m.Copy, m.Delete}) i->SetEnabled(false);
}

void TMDIChild::UndoClick() {
  edi->Undo();
  UpdateUndoEntries();
  FHost.EditEntries().Paste->SetEnabled(false);
}

// Both "Undo" entries are offered exactly while an undo can take back a change of this page.
void TMDIChild::UpdateUndoEntries() {
  const bool can = edi->UndoBuffer()->CanUndo();
  pUndo->SetEnabled(can);
  FHost.EditEntries().Undo->SetEnabled(can);
}

void TMDIChild::SelectAllClick() {
  edi->ExecCommand(ecSelAll);
  for (TMenuItem* i : {pCut, pCopy, pDelete}) i->SetEnabled(true);
}

// The image browser is not minimised here: a page that repaints leaves it open beside itself.
void TMDIChild::FormPaint() {
  for (TMenuItem* i : {pCut, pCopy, pDelete}) i->SetEnabled(false);
  pPaste->SetEnabled(TClipboard::HasText() || edi->UndoBuffer()->CurrentIndex() >= 0);
}

bool TMDIChild::SaveWorkingCopy() {
  const String file = FHost.WorkFolder() + FWorkName;
  try {
    edi->Lines()->SaveToFile(file);
    return true;
  } catch (const std::exception& e) {
    ShowMessage("Die Arbeitskopie " + file + " kann nicht gespeichert werden.\n" + e.what());
    return false;
  }
}

TMDIChild::TSaveAnswer TMDIChild::QuerySave() {
  if (!FChanged || Tag() != 2) return saNothingToSave;
  if (MessageDlg("Die Datei wurde ge\xE4ndert , sollen die \xC4nderungen gespeichert werden ?", mtWarning,
                 mbYes | mbNo) != mrYes)
    return saNotWanted;
  const bool saved = HasOwnFile() ? FHost.SaveDocument(this) : FHost.SaveDocumentAs(this);
  return saved ? saSaved : saCancelled;
}

// The window is freed only once what had to be saved is saved or reported: "Ja" saves a page
// with a file of its own (opened, or saved before) into that file and a new page through
// "Speichern unter"; when that is cancelled or fails the window stays with its changes. A page
// without a file of its own then leaves its text in its working copy, whose name no other page's
// copy takes; a copy that cannot be written is reported, and the window still closes. A page
// nobody typed in (an empty page, an untouched skeleton) has nothing to keep and writes none.
void TMDIChild::FormClose(TCloseAction& Action) {
  if (!FAnswered && QuerySave() == saCancelled) {
    Action = caNone;
    return;
  }
  FAnswered = false;
  if (!HasOwnFile() && Tag() == 2) SaveWorkingCopy();
  FChanged = false;
  FHost.DocumentClosing(this);
  Action = caFree;
}
