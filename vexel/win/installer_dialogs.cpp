// The installer's smaller dialogs: the folder chooser "DLGSEL" with the new-folder dialog
// "DLGNEW", the overwrite question "FileExist" and the password prompt "PASSWD".
#include <windows.h>
// windows.h first: the others build on it.
#include <commctrl.h>
#include <shellapi.h>
#include <winnetwk.h>

#include <string.h>

#include "entry_path.h"
#include "installer.h"
#include "installer_ids.h"
#include "win32_host.h"

namespace vexel {

namespace {

const char kTextCannotCreateFolder[] = "Verzeichnis kann nicht erstellt werden ";
const char kTextExists[] = "...existiert schon , überschreiben ?";
const DWORD kFolderListKinds = DDL_EXCLUSIVE | DDL_DRIVES | DDL_DIRECTORY;  // 0xC010

// The folder being chosen, always with a trailing "\".
char g_folder[261];
// The overwrite question's answer and the password prompt's answer.
bool g_overwriteAnswer;
char g_passwordAnswer[81];

void EnsureTrailingBackslash(char* path, size_t size) {
  const size_t n = lstrlenA(path);
  if (n > 0 && path[n - 1] != '\\' && n + 1 < size) {
    path[n] = '\\';
    path[n + 1] = '\0';
  }
}

bool IsFolder(const char* path) {
  const DWORD a = GetFileAttributesA(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// The folder with each of its parts in its long form, looked up one by one.
void LongFolderName(const char* folder, char* out, size_t size) {
  lstrcpynA(out, folder, (int)size);
  char built[MAX_PATH * 2];
  size_t n = 0, i = 0;
  const size_t len = lstrlenA(folder);
  // The root ("C:\" or "\\server\share\") stays as it is.
  if (len >= 2 && folder[1] == ':') {
    i = len >= 3 && folder[2] == '\\' ? 3 : 2;
  } else if (len >= 2 && folder[0] == '\\' && folder[1] == '\\') {
    int slashes = 0;
    for (i = 2; i < len && slashes < 2; ++i)
      if (folder[i] == '\\') ++slashes;
  } else {
    return;
  }
  if (i >= sizeof built) return;
  memcpy(built, folder, i);
  n = i;
  while (i < len) {
    size_t end = i;
    while (end < len && folder[end] != '\\') ++end;
    if (n + (end - i) + 2 >= sizeof built) return;
    memcpy(built + n, folder + i, end - i);
    built[n + (end - i)] = '\0';
    WIN32_FIND_DATAA found;
    const HANDLE h = FindFirstFileA(built, &found);
    if (h != INVALID_HANDLE_VALUE) {
      FindClose(h);
      const size_t l = lstrlenA(found.cFileName);
      if (n + l + 2 >= sizeof built) return;
      memcpy(built + n, found.cFileName, l);
      n += l;
    } else {
      n += end - i;
    }
    if (end < len) built[n++] = '\\';
    built[n] = '\0';
    i = end + 1;
  }
  lstrcpynA(out, built, (int)size);
}

void FillFolderList(HWND dialog) {
  EnsureTrailingBackslash(g_folder, sizeof g_folder);
  char spec[MAX_PATH + 8];
  lstrcpynA(spec, g_folder, MAX_PATH);
  lstrcatA(spec, "*.*");
  DlgDirListA(dialog, spec, IDC_SEL_LIST, IDC_SEL_CURRENT, kFolderListKinds);
  // DlgDirList made the folder the current directory; that is the folder chosen now.
  GetCurrentDirectoryA(sizeof g_folder - 1, g_folder);
  EnsureTrailingBackslash(g_folder, sizeof g_folder);
  char shown[MAX_PATH * 2];
  LongFolderName(g_folder, shown, sizeof shown);
  SetDlgItemTextA(dialog, IDC_SEL_CURRENT, shown);

  const HWND list = GetDlgItem(dialog, IDC_SEL_LIST);
  const LRESULT up = SendMessageA(list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM) "[..]");
  if (up != LB_ERR && up != 0) {
    SendMessageA(list, LB_DELETESTRING, up, 0);
    SendMessageA(list, LB_INSERTSTRING, 0, (LPARAM) "[..]");
  }
  SetFocus(list);
  SendMessageA(list, LB_SETCURSEL, 0, 0);
}

void DrawFolderItem(const DRAWITEMSTRUCT& d) {
  if (d.itemID == (UINT)-1) return;
  char text[MAX_PATH];
  const LRESULT len = SendMessageA(d.hwndItem, LB_GETTEXTLEN, d.itemID, 0);
  if (len == LB_ERR || len >= (LRESULT)sizeof text) return;
  SendMessageA(d.hwndItem, LB_GETTEXT, d.itemID, (LPARAM)text);
  // "[name]" for a folder, "[-c-]" for a drive.
  char name[MAX_PATH];
  lstrcpynA(name, text[0] == '[' ? text + 1 : text, sizeof name);
  const int n = lstrlenA(name);
  if (n > 0 && name[n - 1] == ']') name[n - 1] = '\0';
  char path[MAX_PATH * 2];
  const bool drive = lstrlenA(name) == 3 && name[0] == '-' && name[2] == '-';
  if (drive) {
    path[0] = name[1];
    lstrcpyA(path + 1, ":\\");
  } else {
    lstrcpynA(path, g_folder, MAX_PATH);
    lstrcatA(path, name);
  }
  SHFILEINFOA info;
  ZeroMemory(&info, sizeof info);
  const HIMAGELIST images = (HIMAGELIST)SHGetFileInfoA(path, 0, &info, sizeof info,
                                                       SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_DISPLAYNAME);
  const bool selected = (d.itemState & ODS_SELECTED) != 0;
  SetBkColor(d.hDC, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetTextColor(d.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  const char* shown = drive && info.szDisplayName[0] ? info.szDisplayName : name;
  const int iconSize = GetSystemMetrics(SM_CXSMICON);
  RECT r = d.rcItem;
  ExtTextOutA(d.hDC, r.left + iconSize + 4, r.top + 1, ETO_OPAQUE, &r, shown, lstrlenA(shown), 0);
  if (images) ImageList_Draw(images, info.iIcon, d.hDC, r.left + 1, r.top + 1, ILD_TRANSPARENT);
  if (d.itemState & ODS_FOCUS) DrawFocusRect(d.hDC, &r);
}

INT_PTR CALLBACK NewFolderProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      EnsureTrailingBackslash(g_folder, sizeof g_folder);
      CentreWindow(dialog);
      SetDlgItemTextA(dialog, IDC_NEW_CURRENT, g_folder);
      SetFocus(GetDlgItem(dialog, IDC_NEW_NAME));
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        char name[261];
        GetDlgItemTextA(dialog, IDC_NEW_NAME, name, sizeof name);
        if (!name[0]) return TRUE;
        const char* n = name;
        bool refused = false;
        for (const char* p = name; *p; ++p)
          if (*p == ':') refused = true;
        while (*n == '\\') ++n;
        if (!refused && *n) {
          char path[MAX_PATH * 2];
          lstrcpynA(path, g_folder, MAX_PATH);
          if (lstrlenA(path) + lstrlenA(n) < (int)sizeof path) lstrcatA(path, n);
          Win32Host host(dialog, 0);
          if (CreateFolderTree(host, path) && IsFolder(path)) {
            SetCurrentDirectoryA(path);
            if (lstrlenA(g_folder) + lstrlenA(n) <= 254) lstrcatA(g_folder, n);
            EndDialog(dialog, IDOK);
            return TRUE;
          }
        }
        MessageBoxA(dialog, kTextCannotCreateFolder, kCaptionError, MB_OK | MB_ICONERROR);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

INT_PTR CALLBACK ChooseFolderProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      EnsureTrailingBackslash(g_folder, sizeof g_folder);
      if (!IsFolder(g_folder)) {
        GetCurrentDirectoryA(sizeof g_folder - 1, g_folder);
        EnsureTrailingBackslash(g_folder, sizeof g_folder);
      }
      CentreWindow(dialog);
      FillFolderList(dialog);
      return FALSE;
    case WM_MEASUREITEM:
      ((MEASUREITEMSTRUCT*)lParam)->itemHeight = GetSystemMetrics(SM_CYSMICON) + 2;
      return TRUE;
    case WM_DRAWITEM:
      DrawFolderItem(*(const DRAWITEMSTRUCT*)lParam);
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_SEL_LIST:
          if (HIWORD(wParam) == LBN_DBLCLK) {
            char picked[MAX_PATH];
            if (DlgDirSelectExA(dialog, picked, 256, IDC_SEL_LIST)) {
              lstrcpynA(g_folder, picked, sizeof g_folder - 1);
              EnsureTrailingBackslash(g_folder, sizeof g_folder);
              FillFolderList(dialog);
            }
          } else if (HIWORD(wParam) == LBN_SETFOCUS || HIWORD(wParam) == LBN_KILLFOCUS) {
            InvalidateRect((HWND)lParam, 0, TRUE);
          }
          return TRUE;
        case IDC_SEL_NETWORK:
          if (WNetConnectionDialog(dialog, RESOURCETYPE_DISK) == NO_ERROR) FillFolderList(dialog);
          return TRUE;
        case IDC_SEL_NEW:
          if (DialogBoxParamA(g_installer.instance, "DLGNEW", dialog, NewFolderProc, 0) == IDOK)
            FillFolderList(dialog);
          return TRUE;
        case IDOK:
          EnsureTrailingBackslash(g_folder, sizeof g_folder);
          EndDialog(dialog, 1);
          return TRUE;
        case IDCANCEL:
          EndDialog(dialog, 2);
          return TRUE;
      }
      break;
  }
  return FALSE;
}

INT_PTR CALLBACK OverwriteProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: {
      CentreWindow(dialog);
      char text[MAX_PATH * 2 + 64];
      lstrcpynA(text, (const char*)lParam, MAX_PATH * 2);
      lstrcatA(text, kTextExists);
      SetDlgItemTextA(dialog, IDC_EXIST_TEXT, text);
      return TRUE;
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        const bool yes = LOWORD(wParam) == IDOK;
        if (IsDlgButtonChecked(dialog, IDC_EXIST_DONT_ASK) == BST_CHECKED) {
          CheckRadioButton(g_installer.mainWindow, IDC_OVERWRITE, IDC_CONFIRM_OVERWRITE,
                           yes ? IDC_OVERWRITE : IDC_DONT_OVERWRITE);
          g_installer.overwriteMode = yes ? 0 : 1;
        }
        g_overwriteAnswer = yes;
        EndDialog(dialog, yes ? IDOK : IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

INT_PTR CALLBACK PasswordProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      CentreWindow(dialog);
      SetFocus(GetDlgItem(dialog, IDC_PASSWORD));
      return FALSE;
    case WM_COMMAND:
      // There is only "Ok"; Escape and the close box give the text as it stands.
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
        g_passwordAnswer[0] = '\0';
        GetDlgItemTextA(dialog, IDC_PASSWORD, g_passwordAnswer, sizeof g_passwordAnswer);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

}  // namespace

void CentreWindow(HWND window) {
  RECT r;
  GetWindowRect(window, &r);
  const int x = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
  SetWindowPos(window, 0, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

bool ChooseFolder(HWND owner, char* folder) {
  lstrcpynA(g_folder, folder, sizeof g_folder - 1);
  if (DialogBoxParamA(g_installer.instance, "DLGSEL", owner, ChooseFolderProc, 0) != 1) return false;
  lstrcpynA(folder, g_folder, 261);
  return true;
}

bool AskOverwriteQuestion(HWND owner, const char* path) {
  g_overwriteAnswer = false;
  DialogBoxParamA(g_installer.instance, "FileExist", owner, OverwriteProc, (LPARAM)path);
  return g_overwriteAnswer;
}

size_t AskPasswordPrompt(HWND owner, char* buf, size_t size) {
  g_passwordAnswer[0] = '\0';
  DialogBoxParamA(g_installer.instance, "PASSWD", owner, PasswordProc, 0);
  lstrcpynA(buf, g_passwordAnswer, (int)size);
  return lstrlenA(buf);
}

}  // namespace vexel
