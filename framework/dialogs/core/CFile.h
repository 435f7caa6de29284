// Files: CFile over the C library's streams, CSaveFile for a file written whole, CMemFile over a
// buffer in memory. Paths use the program's "\" separators; natively they are turned into "/" so
// the same path texts work.
#pragma once

#include <cstdio>
#include <string>

#include "AfxTypes.h"
#include "CException.h"
#include "CString.h"

// Thrown by CFile's Read/Write on a failing stream and by CArchive on a short or malformed
// archive. The causes are those the archive code distinguishes.
class CFileException : public CException {
 public:
  enum Cause { none, generic, endOfFile, badFormat, badClass, badSchema, badIndex };
  explicit CFileException(Cause c) : m_cause(c) {}
  CString GetErrorMessage() const override;
  Cause m_cause;
};
typedef CFileException CArchiveException;

class CFile {
 public:
  enum OpenFlags {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeBinary = 0x8000,
  };
  enum SeekPosition { begin = 0, current = 1, end = 2 };

  CFile() = default;
  virtual ~CFile();
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  // FALSE when the file cannot be opened in that mode.
  virtual BOOL Open(const char* path, UINT flags);
  virtual void Close();
  // Number of bytes read (less than count at the end of the file).
  virtual UINT Read(void* buf, UINT count);
  virtual void Write(const void* buf, UINT count);
  virtual long Seek(long offset, UINT from);
  virtual long GetLength() const;
  virtual void Flush();
  // Cuts or extends the file to `length` bytes (after flushing what is buffered); FALSE on failure.
  virtual BOOL SetLength(long length);
  BOOL IsOpen() const { return f_ != nullptr; }

  // Helpers of the programs' file handling.
  static BOOL Exists(const char* path);
  static BOOL Remove(const char* path);
  // Puts `from` in the place of `to` in one step: `to` is either the old file or the new one,
  // never missing. FALSE (both files as they were) when that fails; a read-only `to` is not
  // replaced, on either system.
  static BOOL Replace(const char* from, const char* to);
  static std::string NativePath(const char* path);

 protected:
  std::FILE* f_ = nullptr;
};

// A file written whole or not at all. Open creates a temporary beside the file (the given
// temporary name, else the file's name with ".sic" added); Write throws CFileException when the
// disk takes less than given; Commit puts the bytes on the disk, closes the temporary (checked as
// well) and lets it take the file's place in one step. Without a successful Commit (Close, the
// destructor, a failed write) the temporary is removed and the file stays exactly as it was.
class CSaveFile : public CFile {
 public:
  CSaveFile() = default;
  ~CSaveFile() override;
  BOOL Open(const char* path, UINT flags = modeCreate | modeWrite) override;
  BOOL Open(const char* path, const char* tempPath);
  void Write(const void* buf, UINT count) override;
  void Close() override;
  // FALSE when a write, the flush, the close or the replacing step failed.
  BOOL Commit();

 private:
  std::string target_, temp_;
  bool failed_ = false;
};

class CMemFile : public CFile {
 public:
  CMemFile() = default;
  CMemFile(const void* data, size_t size);
  BOOL Open(const char*, UINT) override { return TRUE; }
  void Close() override {}
  UINT Read(void* buf, UINT count) override;
  void Write(const void* buf, UINT count) override;
  long Seek(long offset, UINT from) override;
  long GetLength() const override { return static_cast<long>(data_.size()); }
  void Flush() override {}
  BOOL SetLength(long length) override {
    if (length < 0) return FALSE;
    data_.resize(static_cast<size_t>(length));
    return TRUE;
  }
  const std::string& Data() const { return data_; }

 private:
  std::string data_;
  size_t pos_ = 0;
};

// No limit on the length of a file ReadWholeFile reads.
constexpr size_t kNoReadLimit = static_cast<size_t>(-1);
// Reads a whole file into `out`; FALSE (and `out` empty) when it cannot be opened or read, or when
// it is longer than `limit` bytes (checked before reading and while reading).
BOOL ReadWholeFile(const char* path, std::string& out, size_t limit = kNoReadLimit);
// Writes `data` as the whole new content of the file through a CSaveFile (temporary `tempPath`,
// else the file's name with ".sic"); FALSE on any failure, the file then as it was.
BOOL WriteWholeFile(const char* path, const std::string& data, const char* tempPath = nullptr);
