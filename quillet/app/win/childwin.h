// TMDIChild: a document window of Quillet, one HTML page in the highlighting editor `edi`.
#pragma once

#include "codehleditor.h"
#include "forms.h"
#include "menus.h"
#include "stdctrls.h"

class TMDIChild;

// What a document window needs of the frame that holds it.
class TDocumentHost {
public:
  virtual ~TDocumentHost() = default;
  // The frame's edit entries, kept in step with the window's own pop-up menu.
  struct TEditEntries {
    TMenuItem *Undo, *Cut, *Copy, *Paste, *Delete;
  };
  virtual TEditEntries EditEntries() const = 0;
  // The window closes: its History entry goes.
  virtual void DocumentClosing(TMDIChild* Doc) = 0;
  // "Speichern unter..." for the window; false when the user cancelled or the save failed (the
  // failure has then been reported).
  virtual bool SaveDocumentAs(TMDIChild* Doc) = 0;
  // Saves the window's page into its own file; false when that failed (reported; the file is
  // then as it was).
  virtual bool SaveDocument(TMDIChild* Doc) = 0;
  // Where a new page's working copy is kept (with its trailing backslash).
  virtual String WorkFolder() const = 0;
};

class TMDIChild : public TForm {
public:
  TMDIChild(TComponent* AOwner, TDocumentHost& Host);
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
  // Whether the page has a file of its own (opened, or saved with "Speichern unter"): `fina`
  // names it. A page without one keeps its text in a working copy in DATEN\.
  bool HasOwnFile() const { return !fina->Caption().empty(); }
  // Asks about unsaved changes; "Ja" saves a page into its own file, a page without one through
  // "Speichern unter".
  enum TSaveAnswer { saNothingToSave, saSaved, saNotWanted, saCancelled };
  TSaveAnswer QuerySave();
  // The question has been answered already (by "Beenden", which asks every page before it
  // closes any): closing does not ask again.
  void SetAnswered(bool v) { FAnswered = v; }
  // While the program fills the editor (a loaded file, the page skeleton) it is no change.
  void BeginFill() { ++FFilling; }
  void EndFill() { --FFilling; }

  void UndoClick();
  void CutClick();
  void CopyClick();
  void PasteClick();
  void DeleteClick();
  void SelectAllClick();
  // "Undo" of the pop-up menu and of the frame follow whether this page has a change to undo.
  void UpdateUndoEntries();

  static bool MouseHeld;

private:
  void ediChange();
  void ediSelectionChange();
  void FormClose(TCloseAction& Action);
  void FormPaint();
  // Writes a new page's working copy into the working folder; a failure is reported.
  bool SaveWorkingCopy();
  TDocumentHost& FHost;
  bool FChanged = false;
  bool FAnswered = false;
  int FFilling = 0;
  String FWorkName;
};
