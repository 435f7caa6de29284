#include "win32_host.h"

#include "installer.h"
#include "installer_ids.h"

namespace vexel {

bool Win32Host::ArchiveOpen() { return g_installer.file != INVALID_HANDLE_VALUE && g_installer.file != 0; }

uint64_t Win32Host::ArchiveSize() {
  DWORD high = 0;
  const DWORD low = GetFileSize(g_installer.file, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != NO_ERROR) return 0;
  return ((uint64_t)high << 32) | low;
}

bool Win32Host::ArchiveSeek(uint64_t position) {
  LONG high = (LONG)(position >> 32);
  const DWORD low = SetFilePointer(g_installer.file, (LONG)(position & 0xFFFFFFFFu), &high, FILE_BEGIN);
  return !(low == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR);
}

size_t Win32Host::ArchiveRead(void* buf, size_t n) {
  DWORD got = 0;
  if (!ReadFile(g_installer.file, buf, (DWORD)n, &got, 0)) return 0;
  return got;
}

void Win32Host::ListReset() { List(LB_RESETCONTENT, 0, 0); }
void Win32Host::ListAdd(const char* name) { List(LB_ADDSTRING, 0, (LPARAM)name); }
int Win32Host::ListFind(int after, const char* name) {
  const LRESULT i = List(LB_FINDSTRINGEXACT, (WPARAM)after, (LPARAM)name);
  return i == LB_ERR ? -1 : (int)i;
}
bool Win32Host::ListSelected(int index) { return List(LB_GETSEL, (WPARAM)index, 0) > 0; }
void Win32Host::ListDeselect(int index) { List(LB_SETSEL, FALSE, (LPARAM)index); }
int Win32Host::ListSelCount() {
  const LRESULT n = List(LB_GETSELCOUNT, 0, 0);
  return n == LB_ERR ? 0 : (int)n;
}
int Win32Host::ListCount() {
  const LRESULT n = List(LB_GETCOUNT, 0, 0);
  return n == LB_ERR ? 0 : (int)n;
}

void Win32Host::Message(const char* text, const char* caption) { MessageBoxA(0, text, caption, MB_OK); }
size_t Win32Host::AskPassword(char* buf, size_t size) { return AskPasswordPrompt(dialog_, buf, size); }
bool Win32Host::AskOverwrite(const char* path) { return AskOverwriteQuestion(dialog_, path); }
int Win32Host::OverwriteMode() { return g_installer.overwriteMode; }

void Win32Host::Status(const char* text) {
  SetDlgItemTextA(dialog_, IDC_STATUS, text);
  MSG msg;
  if (PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) {
    if (!IsDialogMessageA(dialog_, &msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

bool Win32Host::FileExists(const char* path) {
  const DWORD a = GetFileAttributesA(path);
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Host::FolderExists(const char* path) {
  const DWORD a = GetFileAttributesA(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Host::CreateFolder(const char* path) { return CreateDirectoryA(path, 0) != 0; }

void* Win32Host::CreateOutput(const char* path) {
  const HANDLE h = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_WRITE, 0, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, 0);
  return h == INVALID_HANDLE_VALUE ? 0 : (void*)h;
}

bool Win32Host::WriteOutput(void* file, const unsigned char* buf, size_t n) {
  DWORD written = 0;
  return WriteFile((HANDLE)file, buf, (DWORD)n, &written, 0) && written == n;
}

bool Win32Host::CloseOutput(void* file) { return CloseHandle((HANDLE)file) != 0; }

bool Win32Host::ReplaceFile(const char* from, const char* to) {
  if (MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING)) return true;
  // Systems without MoveFileEx: the old file goes only once the new one is complete.
  if (GetLastError() == ERROR_CALL_NOT_IMPLEMENTED) {
    DeleteFileA(to);
    return MoveFileA(from, to) != 0;
  }
  return false;
}

void Win32Host::RemoveFile(const char* path) { DeleteFileA(path); }

}  // namespace vexel
