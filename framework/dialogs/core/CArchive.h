// A buffered binary archive over a CFile, in the persistent object format of the library:
// little-endian numbers; objects introduced by the new-class tag 0xFFFF, the schema WORD, the
// class-name length WORD and the name, or by a class reference 0x8000 | class index; indices are
// handed out in order of appearance, classes and objects alike, starting at 1 (0 is NULL).
#pragma once

#include <map>
#include <string>
#include <type_traits>
#include <vector>

#include "AfxTypes.h"
#include "CFile.h"
#include "CObject.h"

class CArchive {
 public:
  enum Mode { store = 0, load = 1 };
  // Tags of the object format.
  static const WORD kNullTag = 0;
  static const WORD kNewClassTag = 0xFFFF;
  static const WORD kClassTag = 0x8000;
  static const DWORD kBigClassTag = 0x80000000;
  static const WORD kBigObjectTag = 0x7FFF;

  CArchive(CFile* file, UINT mode, int bufferSize = 4096);
  ~CArchive();  // flushes a storing archive (errors dropped); call Close() to see them
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  BOOL IsLoading() const { return mode_ == load; }
  BOOL IsStoring() const { return mode_ == store; }
  void Close();
  void Flush();
  CFile* GetFile() const { return file_; }

  void Write(const void* data, UINT count);
  // Reads exactly count bytes or throws CArchiveException(endOfFile).
  void ReadExact(void* data, UINT count);
  // Reads up to count bytes and returns how many.
  UINT Read(void* data, UINT count);

  CArchive& operator<<(BYTE v) { Write(&v, 1); return *this; }
  CArchive& operator<<(WORD v);
  CArchive& operator<<(LONG v);
  CArchive& operator<<(DWORD v);
  // An int is stored as a LONG (where the two are not the same type already).
  template <class T, typename std::enable_if<std::is_same<T, int>::value && !std::is_same<int, LONG>::value, int>::type = 0>
  CArchive& operator<<(T v) { return *this << static_cast<LONG>(v); }
  CArchive& operator<<(float v);
  CArchive& operator<<(double v);
  CArchive& operator>>(BYTE& v) { ReadExact(&v, 1); return *this; }
  CArchive& operator>>(WORD& v);
  CArchive& operator>>(LONG& v);
  CArchive& operator>>(DWORD& v);
  template <class T, typename std::enable_if<std::is_same<T, int>::value && !std::is_same<int, LONG>::value, int>::type = 0>
  CArchive& operator>>(T& v) {
    LONG l;
    *this >> l;
    v = static_cast<int>(l);
    return *this;
  }
  CArchive& operator>>(float& v);
  CArchive& operator>>(double& v);

  // The element count of a collection: a WORD, or 0xFFFF and a DWORD from 65535 on.
  void WriteCount(DWORD count);
  DWORD ReadCount();

  // Writes an object (NULL as tag 0) with its class on first appearance.
  void WriteObject(const CObject* obj);
  // Reads an object, creating it by its class name; with `required` the class must be or derive
  // from it. An object read this way belongs to the caller. A reference to an object read
  // earlier is refused (badIndex): every object of the library's files is stored once.
  CObject* ReadObject(const CRuntimeClass* required);
  // The schema of the class of the object being read.
  UINT GetObjectSchema() const { return schema_; }

 private:
  void FillBuffer();
  void WriteClass(const CRuntimeClass* cls);
  const CRuntimeClass* ReadClass(UINT* schema);

  CFile* file_;
  UINT mode_;
  std::vector<BYTE> buf_;
  size_t pos_ = 0, len_ = 0;  // load: read position and filled length; store: fill
  bool closed_ = false;
  // Store: index of each class and object written; load: classes by index.
  std::map<const void*, DWORD> storeMap_;
  std::vector<const CRuntimeClass*> loadClasses_;  // index -> class (null for object slots)
  DWORD nextIndex_ = 1;
  UINT schema_ = 0xFFFF;
};

template <class T>
CArchive& operator<<(CArchive& ar, const T* obj) {
  ar.WriteObject(obj);
  return ar;
}
