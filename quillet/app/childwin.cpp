#include "childwin.h"

#include "clipboard.h"
#include "main.h"

bool TMDIChild::MouseHeld = false;

TMDIChild::TMDIChild(TComponent* AOwner) : TForm(AOwner) {
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
  if (FFilling) return;
  if (edi->Lines()->Count() > 0) pUndo->SetEnabled(true);
  MainForm->EditUndo->SetEnabled(true);
  FChanged = true;
  SetTag(2);
}

void TMDIChild::ediSelectionChange() {
  if (edi->GetSelText().empty()) return;
  pPaste->SetEnabled(false);
  MainForm->EditPaste->SetEnabled(false);
  for (TMenuItem* i : {pCut, pCopy, pDelete, MainForm->EditCut, MainForm->EditCopy, MainForm->EditDelete})
    i->SetEnabled(true);
}

void TMDIChild::CutClick() {
  edi->CutToClipboard();
  pPaste->SetEnabled(true);
  MainForm->EditPaste->SetEnabled(true);
  for (TMenuItem* i : {pCopy, pDelete, pCut, MainForm->EditCopy, MainForm->EditDelete, MainForm->EditCut})
    i->SetEnabled(false);
}

void TMDIChild::CopyClick() {
  edi->CopyToClipboard();
  for (TMenuItem* i : {pCut, pCopy, pDelete, MainForm->EditCut, MainForm->EditCopy, MainForm->EditDelete})
    i->SetEnabled(false);
  pPaste->SetEnabled(true);
  MainForm->EditPaste->SetEnabled(true);
}

void TMDIChild::PasteClick() { edi->PasteFromClipboard(); }

void TMDIChild::DeleteClick() {
  edi->DeleteSelected();
  for (TMenuItem* i : {pCut, pPaste, pCopy, pDelete, MainForm->EditCut, MainForm->EditPaste,
                       MainForm->EditCopy, MainForm->EditDelete})
    i->SetEnabled(false);
}

void TMDIChild::UndoClick() {
  edi->Undo();
  pUndo->SetEnabled(false);
  MainForm->EditUndo->SetEnabled(false);
  MainForm->EditPaste->SetEnabled(false);
}

void TMDIChild::SelectAllClick() {
  edi->ExecCommand(288);
  for (TMenuItem* i : {pCut, pCopy, pDelete}) i->SetEnabled(true);
}

void TMDIChild::FormPaint() {
  for (int i = 0; i < MainForm->MDIChildCount(); ++i) {
    TForm* f = MainForm->MDIChildren(i);
    if (f->Caption() == " Bilder Browser" && f->WindowState() != wsMinimized) f->SetWindowState(wsMinimized);
  }
  for (TMenuItem* i : {pCut, pCopy, pDelete}) i->SetEnabled(false);
  pPaste->SetEnabled(TClipboard::HasText() || edi->UndoBuffer()->CurrentIndex() >= 0);
}

void TMDIChild::FormClose(TCloseAction& Action) {
  MainForm->RemoveHistoryEntry(Caption());
  if (FChanged && Tag() == 2) {
    const int answer = MessageDlg("Die Datei wurde ge\xE4ndert , sollen die \xC4nderungen gespeichert werden ?",
                                  mtWarning, mbYes | mbNo);
    if (answer == mrYes && edi->Tag() == 1) MainForm->SaveDocumentAs(this);
  }
  if (edi->Tag() == 0) edi->Lines()->SaveToFile(MainForm->ProgramDir + "DATEN\\" + FWorkName);
  FChanged = false;
  Action = caFree;
}
