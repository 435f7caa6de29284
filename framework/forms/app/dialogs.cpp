#include "dialogs.h"

#include <shellapi.h>
#include <commdlg.h>

#include "forms.h"

namespace {
HWND OwnerWindow() {
  HWND w = GetActiveWindow();
  return w ? w : Application ? Application->Handle() : nullptr;
}
}  // namespace

bool TOpenDialog::Run(bool Save) {
  String filter = Filter;
  for (char& c : filter)
    if (c == '|') c = '\0';
  filter.push_back('\0');
  filter.push_back('\0');
  char file[MAX_PATH * 4] = {};
  FileName.copy(file, sizeof file - 1);
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = OwnerWindow();
  ofn.lpstrFilter = filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
  ofn.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
  ofn.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
  ofn.Flags = OFN_EXPLORER | OFN_NOCHANGEDIR | OFN_ENABLESIZING;
  if (HideReadOnly) ofn.Flags |= OFN_HIDEREADONLY;
  if (OverwritePrompt) ofn.Flags |= OFN_OVERWRITEPROMPT;
  const BOOL ok = Save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (!ok) return false;
  FileName = file;
  return true;
}

bool TOpenDialog::Execute() { return Run(false); }
bool TSaveDialog::Execute() { return Run(true); }

bool TColorDialog::Execute() {
  static COLORREF custom[16] = {};
  CHOOSECOLORA cc = {};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = OwnerWindow();
  cc.rgbResult = COLORREF(ColorToRGB(Color));
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT | (FullOpen ? CC_FULLOPEN : 0);
  if (!ChooseColorA(&cc)) return false;
  Color = TColor(cc.rgbResult);
  return true;
}

bool ShellExecuteFile(HWND Owner, const String& File, const String& Parameters, const String& Directory) {
  HINSTANCE r = ShellExecuteA(Owner, nullptr, File.c_str(), Parameters.c_str(),
                              Directory.empty() ? nullptr : Directory.c_str(), SW_SHOWNORMAL);
  return INT_PTR(r) > 32;
}
