#include "browsedr.h"

#include <shlwapi.h>

#include "findfiles.h"
#include "forms.h"
#include "statusfit.h"

namespace {
std::wstring AnsiToWide(const String& s) {
  const int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
  std::wstring w(size_t(n > 0 ? n : 1), L'\0');
  MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, &w[0], n);
  return w;
}

void FreeList(LPITEMIDLIST List) {
  if (List) CoTaskMemFree(List);  // the shell's allocator
}

String PathOf(LPCITEMIDLIST List) {
  char path[MAX_PATH] = {};
  return List && SHGetPathFromIDListA(List, path) ? String(path) : String();
}

// A folder or a drive root that exists ("C:" and "C:\" for drive C).
bool FolderOrDriveExists(const String& s) {
  if (s.size() >= 2 && s.size() <= 3 && s[1] == ':' && (s.size() == 2 || s[2] == '\\'))
    return GetDriveTypeA((s.substr(0, 2) + "\\").c_str()) > DRIVE_NO_ROOT_DIR;
  return DirectoryExists(s);
}

bool IsWindowsNT() {
  OSVERSIONINFOA v = {};
  v.dwOSVersionInfoSize = sizeof v;
  return GetVersionExA(&v) && v.dwPlatformId == VER_PLATFORM_WIN32_NT;
}
}  // namespace

int RootFolderId(TRootID Root, bool WindowsNT) {
  static const int kIds[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 16, 17, 18, 19, 20, 21,
                             22, 23, 24, 25, 26, 27, 0xFEFE};
  if (!WindowsNT) {
    switch (Root) {
      case idCommonStartMenu: return 11;
      case idCommonPrograms: return 2;
      case idCommonStartup: return 7;
      case idCommonDesktopDirectory: return 16;
      default: break;
    }
  }
  return kIds[Root];
}

UINT BrowseInfoFlags(TBrowseFlags Options, bool StatusLine) {
  static const UINT kFlags[] = {0x1, 0x2, 0x8, 0x1000, 0x2000, 0x4000};
  UINT f = 0;
  for (int i = 0; i <= bfIncludeFiles; ++i)
    if (Options & (1u << i)) f |= kFlags[i];
  if (StatusLine) f |= 0x4;
  return f;
}

TBrowseDirectoryDlg::TBrowseDirectoryDlg(TComponent* AOwner) : TComponent(AOwner) {}

TBrowseDirectoryDlg::~TBrowseDirectoryDlg() { FreeList(FSelectionPIDL); }

void TBrowseDirectoryDlg::SetSelection(const String& Value) {
  FSelection = Value;
  if (!Value.empty() && Value.back() != '\\' && FolderOrDriveExists(Value)) FSelection += '\\';
}

void TBrowseDirectoryDlg::SetStatusText(const String& Value) {
  FStatusText = Value;
  SendStatusText();
}

void TBrowseDirectoryDlg::SetFitStatusText(bool Value) {
  FFitStatusText = Value;
  SendStatusText();
}

void TBrowseDirectoryDlg::SetEnableOKButton(bool Value) {
  FEnableOK = Value;
  if (FDlgWnd) SendMessageA(FDlgWnd, BFFM_ENABLEOK, 0, Value ? 1 : 0);
}

String TBrowseDirectoryDlg::Caption() const {
  if (!FDlgWnd) return FCaption;
  char text[512] = {};
  GetWindowTextA(FDlgWnd, text, sizeof text);
  return text;
}

void TBrowseDirectoryDlg::SetCaption(const String& Value) {
  FCaption = Value;
  if (FDlgWnd) SetWindowTextA(FDlgWnd, Value.c_str());
}

void TBrowseDirectoryDlg::SendStatusText() {
  if (!FDlgWnd) return;
  String text = FStatusText;
  HWND status = GetDlgItem(FDlgWnd, StatusControlId);
  if (FFitStatusText && status) {
    RECT r;
    GetClientRect(status, &r);
    HDC dc = GetDC(status);
    HGDIOBJ old = SelectObject(dc, HGDIOBJ(SendMessageA(status, WM_GETFONT, 0, 0)));
    const TTextWidth width = [dc](const String& t) {
      SIZE sz = {0, 0};
      GetTextExtentPoint32A(dc, t.c_str(), int(t.size()), &sz);
      return int(sz.cx);
    };
    text = ::FitStatusText(text, FolderOrDriveExists(text), width, r.right);
    SelectObject(dc, old);
    ReleaseDC(status, dc);
  }
  SendMessageA(FDlgWnd, BFFM_SETSTATUSTEXTA, 0, LPARAM(text.c_str()));
}

void TBrowseDirectoryDlg::KeepList(LPITEMIDLIST List) {
  if (List == FSelectionPIDL) return;
  FreeList(FSelectionPIDL);
  FSelectionPIDL = List;
}

void TBrowseDirectoryDlg::SelectCurrent() {
  if (FSelection.empty() && FSelectionPIDL) {
    FSelection = PathOf(FSelectionPIDL);
    if (FSelection.empty()) return;
  }
  IShellFolder* desktop = nullptr;
  if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop) return;
  std::wstring name = AnsiToWide(FSelection);
  LPITEMIDLIST list = nullptr;
  ULONG eaten = 0;
  if (SUCCEEDED(desktop->ParseDisplayName(FDlgWnd, nullptr, &name[0], &eaten, &list, nullptr)) && list) {
    KeepList(list);
    SendMessageA(FDlgWnd, BFFM_SETSELECTIONA, FALSE, LPARAM(list));
  }
  desktop->Release();
}

void TBrowseDirectoryDlg::DoInitialized(HWND Wnd) {
  FDlgWnd = Wnd;
  if (Center) {
    RECT r;
    GetWindowRect(Wnd, &r);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2;
    SetWindowPos(Wnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  SendMessageA(Wnd, BFFM_ENABLEOK, 0, FEnableOK ? 1 : 0);
  if (!FStatusText.empty()) SendStatusText();
  if (!FSelection.empty() || FSelectionPIDL) SelectCurrent();
  if (!FCaption.empty()) SetWindowTextA(Wnd, FCaption.c_str());
  FireEvent(OnCreate, this);
}

void TBrowseDirectoryDlg::DoSelChanged(HWND Wnd, LPCITEMIDLIST ItemIDList) {
  if (!ShowSelectionInStatus && !OnSelChanged) return;
  const String path = PathOf(ItemIDList);
  if (ShowSelectionInStatus) SetStatusText(path);
  if (OnSelChanged) OnSelChanged(this, path, ItemIDList);
}

int CALLBACK TBrowseDirectoryDlg::Callback(HWND Wnd, UINT Msg, LPARAM Param, LPARAM Data) {
  auto* self = reinterpret_cast<TBrowseDirectoryDlg*>(Data);
  try {
    if (Msg == BFFM_INITIALIZED) self->DoInitialized(Wnd);
    else if (Msg == BFFM_SELCHANGED) self->DoSelChanged(Wnd, LPCITEMIDLIST(Param));
  } catch (...) {
    HandleException();
  }
  return 0;
}

bool TBrowseDirectoryDlg::Execute() {
  FDisplayName.clear();
  HWND owner = nullptr;
  if (!(Options & BrowseFlag(bfPrinters))) {
    if (auto* w = dynamic_cast<TWinControl*>(Owner())) owner = w->Handle();
    else if (Application && Application->MainForm()) owner = Application->MainForm()->Handle();
  }
  const HRESULT com = CoInitialize(nullptr);
  char* name = static_cast<char*>(CoTaskMemAlloc(MAX_PATH));
  if (name) name[0] = 0;
  LPITEMIDLIST root = nullptr;
  if (FAILED(SHGetSpecialFolderLocation(owner, RootFolderId(Root, IsWindowsNT()), &root))) root = nullptr;
  BROWSEINFOA bi = {};
  bi.hwndOwner = owner;
  bi.pidlRoot = root;
  bi.pszDisplayName = name;
  bi.lpszTitle = Title.c_str();
  bi.ulFlags = BrowseInfoFlags(Options, !FStatusText.empty() || ShowSelectionInStatus);
  bi.lpfn = &Callback;
  bi.lParam = LPARAM(this);
  LPITEMIDLIST chosen = SHBrowseForFolderA(&bi);
  String result;
  bool valid = false;
  if (chosen) {
    if (Options & BrowseFlag(bfComputers)) {
      result = "\\\\" + String(name ? name : "");
      const String path = PathOf(chosen);
      if (!path.empty()) result = path;
    } else {
      result = PathOf(chosen);
    }
    // An item without a file-system path (a computer, a printer) counts as chosen too.
    valid = true;
    FImageIndex = bi.iImage;
    FDisplayName = name ? name : "";
  }
  FreeList(root);
  if (name) CoTaskMemFree(name);
  FDlgWnd = nullptr;
  if (valid) {
    SetSelection(result);
    KeepList(chosen);
  } else {
    FSelection.clear();
    KeepList(nullptr);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return valid;
}

String TBrowseDirectoryDlg::GetSelectedPath() const {
  if (FSelectionPIDL) {
    String parsed;
    IShellFolder* desktop = nullptr;
    if (SUCCEEDED(SHGetDesktopFolder(&desktop)) && desktop) {
      STRRET ret = {};
      if (SUCCEEDED(desktop->GetDisplayNameOf(FSelectionPIDL, SHGDN_FORPARSING, &ret))) {
        char buf[MAX_PATH * 2] = {};
        if (SUCCEEDED(StrRetToBufA(&ret, FSelectionPIDL, buf, sizeof buf))) parsed = buf;
      }
      desktop->Release();
    }
    if (!parsed.empty()) return parsed;
  }
  if (!FDisplayName.empty()) return FDisplayName;
  return FSelection;
}
