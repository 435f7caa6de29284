// Arrays of the library: CObArray / CPtrArray hold pointers they do not own; CTypedPtrArray
// gives them a typed face. Elements stay in the order they were added or inserted.
#pragma once

#include <vector>

#include "AfxTypes.h"
#include "CObject.h"
#include "CString.h"

template <class T>
class CPtrArrayOf {
 public:
  int GetSize() const { return static_cast<int>(v_.size()); }
  int GetCount() const { return GetSize(); }
  int GetUpperBound() const { return GetSize() - 1; }
  BOOL IsEmpty() const { return v_.empty(); }
  T GetAt(int i) const { return v_[static_cast<size_t>(i)]; }
  T& ElementAt(int i) { return v_[static_cast<size_t>(i)]; }
  T operator[](int i) const { return GetAt(i); }
  T& operator[](int i) { return ElementAt(i); }
  void SetAt(int i, T p) { v_[static_cast<size_t>(i)] = p; }
  int Add(T p) {
    v_.push_back(p);
    return GetSize() - 1;
  }
  void InsertAt(int i, T p) {
    if (i >= GetSize()) v_.push_back(p);
    else v_.insert(v_.begin() + (i < 0 ? 0 : i), p);
  }
  void RemoveAt(int i, int count = 1) {
    v_.erase(v_.begin() + i, v_.begin() + i + count);
  }
  void RemoveAll() { v_.clear(); }
  void SetSize(int n) { v_.resize(static_cast<size_t>(n)); }

 private:
  std::vector<T> v_;
};

class CObArray : public CPtrArrayOf<CObject*> {};
class CPtrArray : public CPtrArrayOf<void*> {};

template <class Base, class T>
class CTypedPtrArray : public CPtrArrayOf<T> {};

class CStringArray {
 public:
  int GetSize() const { return static_cast<int>(v_.size()); }
  const CString& GetAt(int i) const { return v_[static_cast<size_t>(i)]; }
  CString& operator[](int i) { return v_[static_cast<size_t>(i)]; }
  const CString& operator[](int i) const { return GetAt(i); }
  int Add(const CString& s) {
    v_.push_back(s);
    return GetSize() - 1;
  }
  void InsertAt(int i, const CString& s) { v_.insert(v_.begin() + i, s); }
  void RemoveAt(int i) { v_.erase(v_.begin() + i); }
  void RemoveAll() { v_.clear(); }

 private:
  std::vector<CString> v_;
};
