// State and entry points of the installer program (one run, one modal main dialog).
#pragma once
#include <windows.h>

#include "config_block.h"
#include "zip_walker.h"

namespace vexel {

struct InstallerState {
  HINSTANCE instance;
  HANDLE file;  // the installer's own file
  char ownPath[MAX_PATH];
  ConfigBlock config;
  int overwriteMode;       // 0 overwrite, 1 leave alone, 2 ask
  char targetFolder[261];
  PasswordStore password;  // remembered between entries
  HWND mainWindow;
  bool allExtracted;
  bool busy;               // an extraction is running (its message pump must not start another)
};

extern InstallerState g_installer;

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// The dialogs of installer_dialogs.cpp.
void CentreWindow(HWND window);
// Folder chooser "DLGSEL", starting at folder; true (and the chosen folder, with a trailing "\",
// in folder) when it ends with OK. folder holds 261 characters.
bool ChooseFolder(HWND owner, char* folder);
// Overwrite question "FileExist" for path; true for "Ja".
bool AskOverwriteQuestion(HWND owner, const char* path);
// Password prompt "PASSWD"; the answer (at most 80 characters) in buf, its length returned.
size_t AskPasswordPrompt(HWND owner, char* buf, size_t size);

}  // namespace vexel
