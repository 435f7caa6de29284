#include "CArchive.h"

#include <cstring>
#include <memory>

#include "CString.h"

CArchive::CArchive(CFile* file, UINT mode, int bufferSize)
    : file_(file), mode_(mode), buf_(static_cast<size_t>(bufferSize < 128 ? 128 : bufferSize)) {
  loadClasses_.push_back(nullptr);  // index 0 is NULL
}

CArchive::~CArchive() {
  if (!closed_ && IsStoring()) {
    try {
      Flush();
    } catch (...) {
    }
  }
}

void CArchive::Close() {
  if (!closed_ && IsStoring()) Flush();
  closed_ = true;
}

void CArchive::Flush() {
  if (IsStoring() && len_) {
    file_->Write(buf_.data(), static_cast<UINT>(len_));
    len_ = 0;
  }
}

void CArchive::Write(const void* data, UINT count) {
  const BYTE* p = static_cast<const BYTE*>(data);
  while (count) {
    if (len_ == buf_.size()) Flush();
    size_t n = buf_.size() - len_;
    if (n > count) n = count;
    std::memcpy(buf_.data() + len_, p, n);
    len_ += n;
    p += n;
    count -= static_cast<UINT>(n);
  }
}

void CArchive::FillBuffer() {
  pos_ = 0;
  len_ = file_->Read(buf_.data(), static_cast<UINT>(buf_.size()));
}

UINT CArchive::Read(void* data, UINT count) {
  BYTE* p = static_cast<BYTE*>(data);
  UINT done = 0;
  while (done < count) {
    if (pos_ == len_) {
      FillBuffer();
      if (len_ == 0) break;
    }
    size_t n = len_ - pos_;
    if (n > count - done) n = count - done;
    std::memcpy(p + done, buf_.data() + pos_, n);
    pos_ += n;
    done += static_cast<UINT>(n);
  }
  return done;
}

void CArchive::ReadExact(void* data, UINT count) {
  if (Read(data, count) != count) throw CArchiveException(CArchiveException::endOfFile);
}

namespace {
template <class T>
void PutLE(CArchive& ar, T v, int size) {
  BYTE b[8];
  unsigned long long u = static_cast<unsigned long long>(v);
  for (int i = 0; i < size; ++i) b[i] = static_cast<BYTE>(u >> (8 * i));
  ar.Write(b, static_cast<UINT>(size));
}
unsigned long long GetLE(CArchive& ar, int size) {
  BYTE b[8];
  ar.ReadExact(b, static_cast<UINT>(size));
  unsigned long long u = 0;
  for (int i = 0; i < size; ++i) u |= static_cast<unsigned long long>(b[i]) << (8 * i);
  return u;
}
}  // namespace

CArchive& CArchive::operator<<(WORD v) { PutLE(*this, v, 2); return *this; }
CArchive& CArchive::operator<<(LONG v) { PutLE(*this, static_cast<DWORD>(v), 4); return *this; }
CArchive& CArchive::operator<<(DWORD v) { PutLE(*this, v, 4); return *this; }
CArchive& CArchive::operator<<(float v) {
  std::uint32_t u;
  std::memcpy(&u, &v, 4);
  PutLE(*this, u, 4);
  return *this;
}
CArchive& CArchive::operator<<(double v) {
  std::uint64_t u;
  std::memcpy(&u, &v, 8);
  PutLE(*this, u, 8);
  return *this;
}
CArchive& CArchive::operator>>(WORD& v) { v = static_cast<WORD>(GetLE(*this, 2)); return *this; }
CArchive& CArchive::operator>>(LONG& v) {
  v = static_cast<LONG>(static_cast<std::int32_t>(static_cast<std::uint32_t>(GetLE(*this, 4))));
  return *this;
}
CArchive& CArchive::operator>>(DWORD& v) { v = static_cast<DWORD>(GetLE(*this, 4)); return *this; }
CArchive& CArchive::operator>>(float& v) {
  std::uint32_t u = static_cast<std::uint32_t>(GetLE(*this, 4));
  std::memcpy(&v, &u, 4);
  return *this;
}
CArchive& CArchive::operator>>(double& v) {
  std::uint64_t u = GetLE(*this, 8);
  std::memcpy(&v, &u, 8);
  return *this;
}

void CArchive::WriteCount(DWORD count) {
  if (count < 0xFFFF) {
    *this << static_cast<WORD>(count);
  } else {
    *this << static_cast<WORD>(0xFFFF) << count;
  }
}

DWORD CArchive::ReadCount() {
  WORD w;
  *this >> w;
  if (w != 0xFFFF) return w;
  DWORD d;
  *this >> d;
  return d;
}

void CArchive::WriteClass(const CRuntimeClass* cls) {
  auto it = storeMap_.find(cls);
  if (it != storeMap_.end()) {
    if (it->second < kBigObjectTag) {
      *this << static_cast<WORD>(kClassTag | it->second);
    } else {
      *this << kBigObjectTag << static_cast<DWORD>(kBigClassTag | it->second);
    }
    return;
  }
  WORD nameLen = static_cast<WORD>(std::strlen(cls->m_lpszClassName));
  *this << kNewClassTag << static_cast<WORD>(cls->m_wSchema) << nameLen;
  Write(cls->m_lpszClassName, nameLen);
  storeMap_[cls] = nextIndex_++;
}

void CArchive::WriteObject(const CObject* obj) {
  if (!obj) {
    *this << kNullTag;
    return;
  }
  auto it = storeMap_.find(obj);
  if (it != storeMap_.end()) {
    if (it->second < kBigObjectTag) {
      *this << static_cast<WORD>(it->second);
    } else {
      *this << kBigObjectTag << it->second;
    }
    return;
  }
  WriteClass(obj->GetRuntimeClass());
  storeMap_[obj] = nextIndex_++;
  const_cast<CObject*>(obj)->Serialize(*this);
}

const CRuntimeClass* CArchive::ReadClass(UINT* schema) {
  WORD tag;
  *this >> tag;
  DWORD classIndex;
  if (tag == kNewClassTag) {
    WORD wSchema, nameLen;
    *this >> wSchema >> nameLen;
    // Class names are short; a long one is not a class of this library.
    if (nameLen == 0 || nameLen > 64) throw CArchiveException(CArchiveException::badClass);
    char name[64];
    ReadExact(name, nameLen);
    const CRuntimeClass* cls = CRuntimeClass::FromName(name, nameLen);
    if (!cls) throw CArchiveException(CArchiveException::badClass);
    if (cls->m_wSchema != wSchema) throw CArchiveException(CArchiveException::badSchema);
    loadClasses_.push_back(cls);
    nextIndex_++;
    *schema = wSchema;
    return cls;
  }
  if (tag == kBigObjectTag) {
    DWORD big;
    *this >> big;
    if (!(big & kBigClassTag)) throw CArchiveException(CArchiveException::badIndex);
    classIndex = big & ~kBigClassTag;
  } else if (tag & kClassTag) {
    classIndex = tag & ~kClassTag;
  } else {
    // NULL or a reference to an object read before: neither occurs where this library
    // expects an object of its own.
    throw CArchiveException(CArchiveException::badIndex);
  }
  if (classIndex == 0 || classIndex >= loadClasses_.size() || !loadClasses_[classIndex])
    throw CArchiveException(CArchiveException::badIndex);
  const CRuntimeClass* cls = loadClasses_[classIndex];
  *schema = cls->m_wSchema;
  return cls;
}

CObject* CArchive::ReadObject(const CRuntimeClass* required) {
  UINT schema = 0;
  const CRuntimeClass* cls = ReadClass(&schema);
  if (required && !cls->IsDerivedFrom(required)) throw CArchiveException(CArchiveException::badClass);
  std::unique_ptr<CObject> obj(cls->CreateObject());
  if (!obj) throw CArchiveException(CArchiveException::badClass);
  loadClasses_.push_back(nullptr);  // the object's own index
  nextIndex_++;
  schema_ = schema;
  obj->Serialize(*this);
  return obj.release();
}

CArchive& operator<<(CArchive& ar, const CString& s) {
  DWORD len = static_cast<DWORD>(s.GetLength());
  if (len < 255) {
    ar << static_cast<BYTE>(len);
  } else if (len < 0xFFFE) {
    ar << static_cast<BYTE>(0xFF) << static_cast<WORD>(len);
  } else {
    ar << static_cast<BYTE>(0xFF) << static_cast<WORD>(0xFFFF) << len;
  }
  ar.Write(s.c_str(), len);
  return ar;
}

CArchive& operator>>(CArchive& ar, CString& s) {
  BYTE b;
  ar >> b;
  DWORD len = b;
  if (b == 0xFF) {
    WORD w;
    ar >> w;
    len = w;
    if (w == 0xFFFE) throw CArchiveException(CArchiveException::badFormat);  // a wide text
    if (w == 0xFFFF) ar >> len;
  }
  // Read in pieces so that a hostile length costs no more memory than the file holds.
  std::string text;
  char chunk[4096];
  while (len) {
    UINT n = len < sizeof chunk ? len : static_cast<UINT>(sizeof chunk);
    ar.ReadExact(chunk, n);
    text.append(chunk, n);
    len -= n;
  }
  s = CString(text);
  return ar;
}
