// The installer program: opens its own file, reads the configuration block behind its program
// image, shows the main dialog that lists the appended archive, extracts the selected entries
// into the chosen folder and may start the configured program afterwards.
#include <windows.h>
// windows.h first: the others build on it.
#include <shellapi.h>

#include "crc32.h"
#include "entry_path.h"
#include "installer.h"
#include "installer_ids.h"
#include "win32_host.h"

namespace vexel {

InstallerState g_installer;

namespace {

const char kCaptionCannotRun[] = "Programm kann nicht gestartet werden .";
const char kTextBadBlock[] = "Der Konfigurationsblock ist beschädigt . Es gelten die Voreinstellungen .";

void ReadOwnConfigBlock() {
  InstallerState& s = g_installer;
  unsigned char block[kBlockLength];
  DWORD got = 0;
  if (SetFilePointer(s.file, (LONG)kImageLength, 0, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
      !ReadFile(s.file, block, sizeof block, &got, 0))
    got = 0;
  if (ReadConfigBlock(block, got, s.config) == kConfigDamaged) MessageBoxA(0, kTextBadBlock, kCaptionError, MB_OK);
  if (s.config.folderIsTemp) {
    const DWORD n = GetTempPathA(sizeof s.config.folder, s.config.folder);
    if (n == 0 || n >= sizeof s.config.folder) s.config.folder[0] = '\0';
    s.config.hasFolder = s.config.folder[0] != '\0';
  }
}

// The run command's part with the target folder filled in, then in its short form where the
// system has one (the long form stays when the conversion fails or would not fit).
void RunCommandPart(int part, char* out, size_t size) {
  if (!SplitRunCommand(g_installer.config.run, part, g_installer.targetFolder, out, size)) return;
  if (!out[0]) return;
  char shortForm[MAX_PATH * 2];
  const DWORD n = GetShortPathNameA(out, shortForm, sizeof shortForm);
  if (n > 0 && n < sizeof shortForm && n < size) lstrcpyA(out, shortForm);
}

void RunAfterExtract(UINT checked) {
  if (checked != BST_CHECKED || !g_installer.config.hasRun) return;
  char program[MAX_PATH * 2], parameters[MAX_PATH * 2];
  RunCommandPart(1, program, sizeof program);
  RunCommandPart(2, parameters, sizeof parameters);
  if (!program[0]) return;
  // ShellExecute reports failure as a value of 32 or less.
  if ((INT_PTR)ShellExecuteA(0, "open", program, parameters, "", SW_SHOW) <= 32)
    MessageBoxA(0, program, kCaptionCannotRun, MB_OK);
}

void CopyEntriesToPlainList(HWND dialog) {
  SendDlgItemMessageA(dialog, IDC_PLAIN_ENTRIES, LB_RESETCONTENT, 0, 0);
  const int n = (int)SendDlgItemMessageA(dialog, IDC_ENTRIES, LB_GETCOUNT, 0, 0);
  char name[kNameBufferLength];
  for (int i = 0; i < n; ++i) {
    if (SendDlgItemMessageA(dialog, IDC_ENTRIES, LB_GETTEXTLEN, i, 0) >= (LRESULT)sizeof name) continue;
    SendDlgItemMessageA(dialog, IDC_ENTRIES, LB_GETTEXT, i, (LPARAM)name);
    SendDlgItemMessageA(dialog, IDC_PLAIN_ENTRIES, LB_ADDSTRING, 0, (LPARAM)name);
  }
}

WalkOptions Options() {
  WalkOptions o;
  o.zipOrigin = g_installer.config.zipOrigin;
  o.targetFolder = g_installer.targetFolder;
  o.password = &g_installer.password;
  return o;
}

void InitMainDialog(HWND dialog) {
  InstallerState& s = g_installer;
  const ConfigBlock& c = s.config;
  s.mainWindow = dialog;
  const HICON icon = LoadIconA(s.instance, "MnIcon");
  SetClassLongPtrA(dialog, GCLP_HICON, (LONG_PTR)icon);
  SendMessageA(dialog, WM_SETICON, ICON_BIG, (LPARAM)icon);

  if (c.hasFolder)
    lstrcpynA(s.targetFolder, c.folder, sizeof s.targetFolder);
  else
    GetCurrentDirectoryA(sizeof s.targetFolder, s.targetFolder);
  const HWND run = GetDlgItem(dialog, IDC_RUN);
  if (!c.hasRun) {
    ShowWindow(run, SW_HIDE);
  } else {
    CheckDlgButton(dialog, IDC_RUN, BST_CHECKED);
    if (!c.offerRun) ShowWindow(run, SW_HIDE);  // still ticked: the program starts without asking
  }
  SetDlgItemTextA(dialog, IDC_FOLDER, s.targetFolder);
  SendDlgItemMessageA(dialog, IDC_FOLDER, EM_SETSEL, 0, -1);
  CheckRadioButton(dialog, IDC_OVERWRITE, IDC_CONFIRM_OVERWRITE, c.defaultRule);
  s.overwriteMode = c.defaultRule - kRuleOverwrite;
  if (c.removeOverwriteControls) {
    const int ids[] = {IDC_OVERWRITE, IDC_DONT_OVERWRITE, IDC_CONFIRM_OVERWRITE, IDC_OVERWRITE_GROUP};
    for (int id : ids) DestroyWindow(GetDlgItem(dialog, id));
  }
  if (c.hasTitle) SetWindowTextA(dialog, c.title);
  CentreWindow(dialog);

  Win32Host host(dialog, IDC_ENTRIES);
  WalkArchive(host, Options(), true);
  if (!c.selectableList) {
    ShowWindow(GetDlgItem(dialog, IDC_ENTRIES), SW_HIDE);
    CopyEntriesToPlainList(dialog);
  } else {
    ShowWindow(GetDlgItem(dialog, IDC_PLAIN_ENTRIES), SW_HIDE);
  }
  SendDlgItemMessageA(dialog, IDC_ENTRIES, LB_SETSEL, TRUE, -1);
  SetFocus(GetDlgItem(dialog, IDC_FOLDER));
}

void OnStart(HWND dialog) {
  InstallerState& s = g_installer;
  if (!s.config.selectableList) {
    SendDlgItemMessageA(dialog, IDC_ENTRIES, LB_SETSEL, TRUE, -1);
    ShowWindow(GetDlgItem(dialog, IDC_PLAIN_ENTRIES), SW_HIDE);
    ShowWindow(GetDlgItem(dialog, IDC_ENTRIES), SW_SHOW);
  }
  GetDlgItemTextA(dialog, IDC_FOLDER, s.targetFolder, 257);
  StripTrailingBackslash(s.targetFolder);
  if (!s.targetFolder[0]) {
    GetCurrentDirectoryA(sizeof s.targetFolder, s.targetFolder);
    SetDlgItemTextA(dialog, IDC_FOLDER, s.targetFolder);
  }
  Win32Host host(dialog, IDC_ENTRIES);
  if (host.ListCount() == 0) {  // nothing was listed: the archive could not be read
    host.Message(kTextCannotRead, kCaptionError);
    return;
  }
  s.busy = true;
  s.allExtracted = WalkArchive(host, Options(), false);
  s.busy = false;
  if (s.allExtracted) {
    RunAfterExtract(IsDlgButtonChecked(dialog, IDC_RUN));
    EndDialog(dialog, 1);
  }
}

void OnExit(HWND dialog) {
  char folder[261];
  GetDlgItemTextA(dialog, IDC_FOLDER, folder, 257);
  const DWORD a = GetFileAttributesA(folder);
  if (folder[0] && a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY)) SetCurrentDirectoryA(folder);
  EndDialog(dialog, 2);
}

}  // namespace

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      InitMainDialog(dialog);
      return FALSE;  // the focus is set on the folder edit
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          if (!g_installer.busy) OnStart(dialog);
          return TRUE;
        case IDCANCEL:
          if (!g_installer.busy) OnExit(dialog);
          return TRUE;
        case IDC_OVERWRITE:
        case IDC_DONT_OVERWRITE:
        case IDC_CONFIRM_OVERWRITE:
          if (HIWORD(wParam) == BN_CLICKED) g_installer.overwriteMode = LOWORD(wParam) - IDC_OVERWRITE;
          return TRUE;
        case IDC_BROWSE: {
          if (g_installer.busy) return TRUE;
          char folder[261];
          GetDlgItemTextA(dialog, IDC_FOLDER, folder, 257);
          if (ChooseFolder(dialog, folder)) SetDlgItemTextA(dialog, IDC_FOLDER, folder);
          return TRUE;
        }
      }
      break;
  }
  return FALSE;
}

}  // namespace vexel

// The program's entry point. The installer has no C or C++ run-time start-up (it must stay small):
// there are no static constructors, and the process ends with the main dialog's result.
extern "C" void VexelStart() {
  using namespace vexel;
  InstallerState& s = g_installer;
  s.instance = GetModuleHandleA(0);
  GetModuleFileNameA(0, s.ownPath, sizeof s.ownPath);
  s.file = CreateFileA(s.ownPath, GENERIC_READ, FILE_SHARE_READ, 0, OPEN_EXISTING, 0, 0);
  if (s.file == INVALID_HANDLE_VALUE) {
    MessageBoxA(0, s.ownPath, "Cannot open file ..", MB_OK);
    ExitProcess(3);
  }
  BuildCrcTable();
  ReadOwnConfigBlock();
  const INT_PTR result = DialogBoxParamA(s.instance, "MainDialog", 0, MainDialogProc, 0);
  if (!CloseHandle(s.file)) MessageBoxA(0, "Cannot close the file", "Error", MB_OK);
  ExitProcess(result < 0 ? 3 : (UINT)result);
}
