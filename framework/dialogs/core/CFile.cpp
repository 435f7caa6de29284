#include "CFile.h"

#include <cstring>

#include "CFilePlatform.h"

CString CFileException::GetErrorMessage() const {
  switch (m_cause) {
    case endOfFile:
      return "Die Datei endet unerwartet";
    case badFormat:
    case badClass:
    case badSchema:
    case badIndex:
      return "Die Datei hat ein ungültiges Format";
    default:
      return "Die Datei konnte nicht geöffnet, gelesen oder geschrieben werden";
  }
}

CFile::~CFile() { Close(); }

std::string CFile::NativePath(const char* path) {
  std::string p(path ? path : "");
#ifndef _WIN32
  for (char& c : p)
    if (c == '\\') c = '/';
#endif
  return p;
}

BOOL CFile::Open(const char* path, UINT flags) {
  Close();
  std::string p = NativePath(path);
  const char* mode = "rb";
  if (flags & modeCreate) {
    if (flags & modeNoTruncate) {
      f_ = std::fopen(p.c_str(), "r+b");
      if (!f_) f_ = std::fopen(p.c_str(), "w+b");
      return f_ != nullptr;
    }
    mode = (flags & modeReadWrite) ? "w+b" : "wb";
  } else if (flags & (modeWrite | modeReadWrite)) {
    mode = "r+b";
  }
  f_ = std::fopen(p.c_str(), mode);
  return f_ != nullptr;
}

void CFile::Close() {
  if (f_) std::fclose(f_);
  f_ = nullptr;
}

UINT CFile::Read(void* buf, UINT count) {
  if (!f_) throw CFileException(CFileException::generic);
  return static_cast<UINT>(std::fread(buf, 1, count, f_));
}

void CFile::Write(const void* buf, UINT count) {
  if (!f_) throw CFileException(CFileException::generic);
  if (count && std::fwrite(buf, 1, count, f_) != count) throw CFileException(CFileException::generic);
}

long CFile::Seek(long offset, UINT from) {
  if (!f_) return -1;
  std::fseek(f_, offset, from == begin ? SEEK_SET : from == current ? SEEK_CUR : SEEK_END);
  return std::ftell(f_);
}

long CFile::GetLength() const {
  if (!f_) return 0;
  long here = std::ftell(f_);
  std::fseek(f_, 0, SEEK_END);
  long len = std::ftell(f_);
  std::fseek(f_, here, SEEK_SET);
  return len;
}

void CFile::Flush() {
  if (f_ && std::fflush(f_) != 0) throw CFileException(CFileException::generic);
}

BOOL CFile::SetLength(long length) {
  if (!f_ || length < 0) return FALSE;
  // What the buffer holds goes first (its failure is what may have to be cut away).
  std::fflush(f_);
  std::clearerr(f_);
  return SetFileLength(f_, length);
}

BOOL CFile::Exists(const char* path) {
  std::FILE* f = std::fopen(NativePath(path).c_str(), "rb");
  if (!f) return FALSE;
  std::fclose(f);
  return TRUE;
}

BOOL CFile::Remove(const char* path) { return std::remove(NativePath(path).c_str()) == 0; }

BOOL CFile::Replace(const char* from, const char* to) { return ReplaceInOneStep(NativePath(from), NativePath(to)); }

CSaveFile::~CSaveFile() { Close(); }

// A save file is only ever created and written whole; any other mode is refused.
BOOL CSaveFile::Open(const char* path, UINT flags) {
  if (flags != (modeCreate | modeWrite)) return FALSE;
  return Open(path, nullptr);
}

BOOL CSaveFile::Open(const char* path, const char* tempPath) {
  Close();
  target_ = path ? path : "";
  temp_ = tempPath ? std::string(tempPath) : target_ + ".sic";
  failed_ = false;
  if (target_.empty()) return FALSE;
  f_ = std::fopen(NativePath(temp_.c_str()).c_str(), "wb");
  return f_ != nullptr;
}

void CSaveFile::Write(const void* buf, UINT count) {
  try {
    CFile::Write(buf, count);
  } catch (const CFileException&) {
    failed_ = true;
    throw;
  }
}

void CSaveFile::Close() {
  if (!f_) return;
  std::fclose(f_);
  f_ = nullptr;
  Remove(temp_.c_str());
}

BOOL CSaveFile::Commit() {
  if (!f_) return FALSE;
  // A buffered write that fails shows only here, when the buffer reaches the disk.
  bool written = !failed_ && std::fflush(f_) == 0 && FlushToDisk(f_);
  written = std::fclose(f_) == 0 && written;
  f_ = nullptr;
  if (written && Replace(temp_.c_str(), target_.c_str())) return TRUE;
  Remove(temp_.c_str());
  return FALSE;
}

CMemFile::CMemFile(const void* data, size_t size)
    : data_(static_cast<const char*>(data), size) {}

UINT CMemFile::Read(void* buf, UINT count) {
  size_t avail = pos_ < data_.size() ? data_.size() - pos_ : 0;
  size_t n = count < avail ? count : avail;
  if (n) std::memcpy(buf, data_.data() + pos_, n);
  pos_ += n;
  return static_cast<UINT>(n);
}

void CMemFile::Write(const void* buf, UINT count) {
  if (pos_ > data_.size()) data_.resize(pos_);
  data_.replace(pos_, count < data_.size() - pos_ ? count : data_.size() - pos_,
                static_cast<const char*>(buf), count);
  pos_ += count;
}

long CMemFile::Seek(long offset, UINT from) {
  long base = from == begin ? 0 : from == current ? static_cast<long>(pos_) : GetLength();
  long p = base + offset;
  pos_ = p < 0 ? 0 : static_cast<size_t>(p);
  return static_cast<long>(pos_);
}

BOOL ReadWholeFile(const char* path, std::string& out, size_t limit) {
  out.clear();
  std::FILE* f = std::fopen(CFile::NativePath(path).c_str(), "rb");
  if (!f) return FALSE;
  bool ok = true;
  if (limit != kNoReadLimit) {
    // The length first, so that an oversized file costs nothing; a length that does not fit a
    // long (a file beyond 2 GB on Windows) is refused as well.
    long length = -1;
    if (std::fseek(f, 0, SEEK_END) == 0) length = std::ftell(f);
    if (length < 0 || static_cast<unsigned long>(length) > limit || std::fseek(f, 0, SEEK_SET) != 0) {
      std::fclose(f);
      return FALSE;
    }
    out.reserve(static_cast<size_t>(length));
  }
  char buf[65536];
  size_t n;
  // The limit holds for a file that grows while it is read, too.
  while (ok && (n = std::fread(buf, 1, sizeof buf, f)) > 0) {
    if (n > limit - out.size()) ok = false;
    else out.append(buf, n);
  }
  ok = ok && !std::ferror(f);
  std::fclose(f);
  if (!ok) {
    out.clear();
    out.shrink_to_fit();
  }
  return ok;
}

BOOL WriteWholeFile(const char* path, const std::string& data, const char* tempPath) {
  CSaveFile f;
  if (!f.Open(path, tempPath)) return FALSE;
  try {
    f.Write(data.data(), static_cast<UINT>(data.size()));
  } catch (const CFileException&) {
    return FALSE;
  }
  return f.Commit();
}
