// TBrowseDirectoryDlg: the shell's browse-for-folder dialog (SHBrowseForFolderA) as a component,
// with a root folder from a list, centring, an initial selection, a status line whose text is
// shortened to fit, control of the OK button, a caption, and events when the dialog opens and when
// the selection changes.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <functional>

#include "controls.h"

enum TRootID {
  idDesktop, idInternet, idPrograms, idControlPanel, idPrinters, idPersonal, idFavorites, idStartup, idRecent,
  idSendTo, idRecycleBin, idStartMenu, idDesktopDirectory, idDrives, idNetwork, idNetHood, idFonts, idTemplates,
  idCommonStartMenu, idCommonPrograms, idCommonStartup, idCommonDesktopDirectory, idAppData, idPrintHood,
  idDesktopExpanded
};
enum TBrowseFlag { bfDirectoriesOnly, bfDomainOnly, bfAncestors, bfComputers, bfPrinters, bfIncludeFiles };
using TBrowseFlags = unsigned;  // bits 1 << TBrowseFlag
constexpr TBrowseFlags BrowseFlag(TBrowseFlag f) { return 1u << f; }

// The shell folder id (CSIDL) of a root; on systems other than Windows NT the four common folders
// are the user's own.
int RootFolderId(TRootID Root, bool WindowsNT);
// The browse-info flags of a set of options, with the status line when wanted.
UINT BrowseInfoFlags(TBrowseFlags Options, bool StatusLine);

using TBDSelChangedEvent = std::function<void(TObject* Sender, const String& NewSel, LPCITEMIDLIST NewSelPIDL)>;

class TBrowseDirectoryDlg : public TComponent {
public:
  // The status control of the shell's dialog.
  static constexpr int StatusControlId = 14147;

  explicit TBrowseDirectoryDlg(TComponent* AOwner);
  ~TBrowseDirectoryDlg() override;
  const char* ClassName() const override { return "TBrowseDirectoryDlg"; }

  const String& Selection() const { return FSelection; }
  // An existing folder (or drive root) given without a trailing backslash gets one.
  void SetSelection(const String& Value);
  String Title;
  TRootID Root = idDesktop;
  TBrowseFlags Options = 0;
  bool Center = true;
  const String& StatusText() const { return FStatusText; }
  void SetStatusText(const String& Value);
  bool FitStatusText() const { return FFitStatusText; }
  void SetFitStatusText(bool Value);
  bool EnableOKButton() const { return FEnableOK; }
  void SetEnableOKButton(bool Value);
  int ImageIndex() const { return FImageIndex; }
  String Caption() const;
  void SetCaption(const String& Value);
  bool ShowSelectionInStatus = false;
  TBDSelChangedEvent OnSelChanged;
  TNotifyEvent OnCreate;
  // The open dialog's window (null while it is closed).
  HWND DialogWindow() const { return FDlgWnd; }

  // Runs the dialog; true when a folder (or another item) was chosen, which then is Selection.
  // Cancelled: false, and Selection is empty.
  virtual bool Execute();
  // The chosen item's parse name (its path), else its display name, else Selection.
  String GetSelectedPath() const;

protected:
  virtual void DoInitialized(HWND Wnd);
  virtual void DoSelChanged(HWND Wnd, LPCITEMIDLIST ItemIDList);

private:
  static int CALLBACK Callback(HWND Wnd, UINT Msg, LPARAM Param, LPARAM Data);
  void SendStatusText();
  void SelectCurrent();
  void KeepList(LPITEMIDLIST List);
  String FSelection, FStatusText, FCaption, FDisplayName;
  bool FFitStatusText = true, FEnableOK = true;
  int FImageIndex = 0;
  HWND FDlgWnd = nullptr;
  LPITEMIDLIST FSelectionPIDL = nullptr;
};
