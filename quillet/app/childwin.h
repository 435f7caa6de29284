// TMDIChild: a document window of Quillet, one HTML page in the highlighting editor `edi`.
#pragma once

#include "codehleditor.h"
#include "forms.h"
#include "menus.h"
#include "stdctrls.h"

class TMDIChild : public TForm {
public:
  explicit TMDIChild(TComponent* AOwner);
  ~TMDIChild() override;
  const char* ClassName() const override { return "TMDIChild"; }

  TCodeHLEditor* edi;
  TLabel* fina;  // invisible: the full path of the file the window was opened from
  TPopupMenu* PopupMenu1;
  TMenuItem *pUndo, *pCut, *pPaste, *pCopy, *pDelete, *pSelectAll;

  // Whether this page has changes not yet saved (or previewed, or asked about on close).
  bool Changed() const { return FChanged; }
  void SetChanged(bool v) { FChanged = v; }
  // The name of this window's working copy in DATEN\ (unique among the open windows).
  const String& WorkName() const { return FWorkName; }
  void SetWorkName(const String& v) { FWorkName = v; }
  // While the program fills the editor (a loaded file, the page skeleton) it is no change.
  void BeginFill() { ++FFilling; }
  void EndFill() { --FFilling; }

  void UndoClick();
  void CutClick();
  void CopyClick();
  void PasteClick();
  void DeleteClick();
  void SelectAllClick();

  static bool MouseHeld;

private:
  void ediChange();
  void ediSelectionChange();
  void FormClose(TCloseAction& Action);
  void FormPaint();
  bool FChanged = false;
  int FFilling = 0;
  String FWorkName;
};
