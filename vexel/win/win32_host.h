// The archive walk's surroundings in the installer program: the own file, list box 301 of the
// main dialog, message boxes and dialogs, and the Windows file functions.
#pragma once
#include <windows.h>

#include "walk_host.h"

namespace vexel {

class Win32Host : public WalkHost {
 public:
  Win32Host(HWND dialog, int listId) : dialog_(dialog), listId_(listId) {}

  bool ArchiveOpen() override;
  uint64_t ArchiveSize() override;
  bool ArchiveSeek(uint64_t position) override;
  size_t ArchiveRead(void* buf, size_t n) override;

  void ListReset() override;
  void ListAdd(const char* name) override;
  int ListFind(int after, const char* name) override;
  bool ListSelected(int index) override;
  void ListDeselect(int index) override;
  int ListSelCount() override;
  int ListCount() override;

  void Message(const char* text, const char* caption) override;
  size_t AskPassword(char* buf, size_t size) override;
  bool AskOverwrite(const char* path) override;
  int OverwriteMode() override;
  void Status(const char* text) override;

  bool FileExists(const char* path) override;
  bool FolderExists(const char* path) override;
  bool CreateFolder(const char* path) override;
  void* CreateOutput(const char* path) override;
  bool WriteOutput(void* file, const unsigned char* buf, size_t n) override;
  bool CloseOutput(void* file) override;
  bool ReplaceFile(const char* from, const char* to) override;
  void RemoveFile(const char* path) override;

 private:
  LRESULT List(UINT message, WPARAM wParam, LPARAM lParam) {
    return SendDlgItemMessageA(dialog_, listId_, message, wParam, lParam);
  }
  HWND dialog_;
  int listId_;
};

}  // namespace vexel
