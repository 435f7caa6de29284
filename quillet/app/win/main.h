// TMainForm: Quillet's main window, the MDI frame with the menus, tool bar and status bar, the
// file commands, the browser preview, the History menu, the fixed snippets and the road of the
// insert dialogs through the exchange list. Its menus and tool bar are made from tables in
// mainbars.cpp.
#pragma once

#include <map>

#include "childwin.h"
#include "dialogs.h"
#include "forms.h"
#include "insertdialogs.h"
#include "menus.h"
#include "pagelogic.h"
#include "stdctrls.h"
#include "streams.h"
#include "windowstates.h"

struct TPageEntry;

class TMainForm : public TForm, public TDocumentHost {
public:
  explicit TMainForm(TComponent* AOwner);
  ~TMainForm() override;
  const char* ClassName() const override { return "TMainForm"; }

  // ---- program-wide values ----
  TStringList* Exchange = nullptr;      // the exchange list of the insert dialogs
  TMemoryStream* Stream = nullptr;      // media copies of the new-page dialog
  String ProgramDir, BrowserPath, LastPreview, OpenedFolder;
  bool FileOpened = false;
  TMenuItem* LastHistory = nullptr;

  // ---- components ----
  TMainMenu* MainMenu1;
  TMenuItem *FileMenu, *FileNewItem, *FileOpenItem, *FileCloseItem, *FileSaveAsItem, *FileExitItem;
  TMenuItem *EditMenu, *EditUndo, *EditCut, *EditCopy, *EditPaste, *EditDelete, *EditSelectAll;
  TMenuItem *HtmlMenu, *JavaMenu, *HistoryMenu, *BrowserMenu, *HelpMenu;
  TToolBar* ToolBar1;
  TImageList* ImageList1;
  TStatusBar* StatusBar;
  TOpenDialog* OpenDialog;
  TSaveDialog* Sav;
  TOpenDialog* bro;

  // The insert dialogs the program creates at its start (after the main window and the info box).
  void CreateStartForms();
  TMDIChild* CreateDocumentWindow(const String& Name);
  // The active document window (an editor window; other MDI children do not count).
  TMDIChild* ActiveDocument() const;
  int DocumentCount() const;
  void RemoveHistoryEntry(const String& Caption);
  void RenameHistoryEntry(const String& Caption, const String& NewCaption);
  // "Speichern unter..." for a document window.
  bool SaveDocumentAs(TMDIChild* Doc) override;
  bool SaveDocument(TMDIChild* Doc) override;
  TEditEntries EditEntries() const override;
  void DocumentClosing(TMDIChild* Doc) override;
  String WorkFolder() const override;
  // Inserts text at the caret of the active editor.
  void InsertAtCaret(const String& Text);

  void FileNewItemClick();
  void FileOpenItemClick();
  // Opens a page in a new document window as "\xD6ffnen" does (also the program's file parameter).
  void OpenFile(const String& File);
  void FileCloseItemClick();
  void FileSaveAsItemClick();
  void FileExitItemClick();
  void Preview();
  void Browser1Click();
  void HelpClick();
  void InfoBoxClick();
  void LinkClick();
  void MailLinkClick();
  void RunInsertDialog(TInsertDialogKind Kind);
  void UpdateMenuItems();
  bool CommandEnabled(unsigned Command) const;

  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  bool CloseQuery() override;

private:
  void FormCreate();
  void BuildMenus();
  TMenuItem* AddMenu(const String& Caption, const String& Hint);
  void BuildFileMenu();
  void BuildEditMenu();
  void BuildHtmlMenu();
  void BuildJavaMenu();
  void BuildHistoryBrowserHelp();
  void AddPageEntries(TMenuItem* Menu, const TPageEntry* Begin, const TPageEntry* End);
  void BuildToolBar();
  // Enables each tool button as the tool-bar table says, Document telling whether a document
  // window is open.
  void UpdateToolButtons(bool Document);
  TMenuItem* AddItem(TMenuItem* Parent, const String& Caption, unsigned Command, const String& Hint,
                     std::function<void()> Action);
  void AddSnippet(TMenuItem* Parent, const String& Caption, unsigned Command, TSnippet S);
  void AddInputSnippet(TMenuItem* Parent, const String& Caption, unsigned Command, const String& BoxCaption,
                       String (*Make)(const String&));
  void AddDialogItem(TMenuItem* Parent, const String& Caption, unsigned Command, TInsertDialogKind Kind);
  void mClick(TMenuItem* Item);
  void ShowHintInStatusBar();
  bool StartBrowser(const String& File);
  void AddHistoryEntry(const String& Caption);
  // The context the insert dialogs and the new-page dialog get (the exchange list, the working
  // folder, the media stream), with the media folder of Page (the working folder for none).
  TDialogContext& DialogContext(const TMDIChild* Page = nullptr);
  void ShowInsertDialog(const TInsertDialog& Dialog, TMDIChild* Doc);
  void OpenInsertWindow(const TInsertDialog& Dialog);
  void DisableDocumentButtons();
  void EnableWindowButtons();
  void SideWindowClosed(TForm* Window);
  // Writes the page into File, which it then is; a failure is reported and leaves File whole.
  bool SavePageAs(TMDIChild* Doc, const String& File);
  TForm* FSideWindow = nullptr;  // the image browser while it is open
  TWindowStates FSteppedAside;  // the documents' states while the side window is open
  String UniqueWorkNameFor(const String& Caption, const TMDIChild* Except) const;
  std::map<unsigned, std::function<void()>> FActions;
  std::map<unsigned, TToolButton*> FButtons;
  std::map<unsigned, TInsertDialogKind> FDialogCommands;
  // The caption of the window each History entry stands for (the entry shows only its file name).
  std::map<TMenuItem*, String> FHistoryWindows;
  std::vector<TMenuItem*> FDocumentMenus;  // enabled while a document exists
  TDialogContext FDialogContext;
};

// The program start: creates the main window, the info box and the start-up dialogs (owned by
// the application), shows the main window and opens the page the command line names ("/neu": an
// empty page to type in).
void StartMainWindow(const String& CommandLine);
