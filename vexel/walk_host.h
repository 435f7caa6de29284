// What the archive walk needs from its surroundings: the installer's own file, the entry list of
// the main dialog, the questions and messages for the user, and the file system. The Windows
// program implements it with the dialog's list box and the Windows file functions; tests, the fuzz
// target and the benchmark use the POSIX implementation. Paths use "\" between folders.
#pragma once
#include <stddef.h>
#include <stdint.h>

namespace vexel {

class WalkHost {
 public:
  // The installer's own file.
  virtual bool ArchiveOpen() { return false; }
  virtual uint64_t ArchiveSize() { return 0; }
  virtual bool ArchiveSeek(uint64_t position) { return false; }
  virtual size_t ArchiveRead(void* buf, size_t n) { return 0; }

  // The entry list: names in archive order, some of them selected.
  virtual void ListReset() {}
  virtual void ListAdd(const char* name) {}
  // Index of the item equal to name (letter case ignored), searching after index `after` and
  // wrapping round to the start as a list box does; -1 when there is none.
  virtual int ListFind(int after, const char* name) { return -1; }
  virtual bool ListSelected(int index) { return false; }
  virtual void ListDeselect(int index) {}
  virtual int ListSelCount() { return 0; }
  virtual int ListCount() { return 0; }

  // The user.
  virtual void Message(const char* text, const char* caption) {}
  // Asks for the password; returns its length (the text in buf, NUL-terminated).
  virtual size_t AskPassword(char* buf, size_t size) { return 0; }
  // Asks whether the existing file may be overwritten. The question may change the overwrite
  // mode for the rest of the run ("Abfrage nicht wiederholen ...").
  virtual bool AskOverwrite(const char* path) { return false; }
  virtual int OverwriteMode() { return 2; }  // 0 overwrite, 1 leave alone, 2 ask
  // Shows the status line and lets one pending window message through.
  virtual void Status(const char* text) {}

  // The file system.
  virtual bool FileExists(const char* path) { return false; }
  virtual bool FolderExists(const char* path) { return false; }
  virtual bool CreateFolder(const char* path) { return false; }  // one level
  virtual void* CreateOutput(const char* path) { return 0; }     // 0 on failure
  virtual bool WriteOutput(void* file, const unsigned char* buf, size_t n) { return false; }
  virtual bool CloseOutput(void* file) { return false; }
  // Moves the finished file over the (possibly existing) target.
  virtual bool ReplaceFile(const char* from, const char* to) { return false; }
  virtual void RemoveFile(const char* path) {}

 protected:
  ~WalkHost() {}
};

}  // namespace vexel
