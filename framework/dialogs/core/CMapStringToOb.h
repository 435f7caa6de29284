// A map from text to object pointer (not owned). Iteration runs in insertion order, so that a
// map written to an archive gives the same file every time; replacing the value of a key keeps
// its place; removing a key closes the gap.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "AfxTypes.h"
#include "CObject.h"
#include "CString.h"

class CMapStringToOb : public CObject {
  DECLARE_SERIAL(CMapStringToOb)

 public:
  CMapStringToOb() = default;
  explicit CMapStringToOb(int blockSize) {}

  int GetCount() const { return static_cast<int>(entries_.size()); }
  int GetSize() const { return GetCount(); }
  BOOL IsEmpty() const { return entries_.empty(); }
  BOOL Lookup(const char* key, CObject*& value) const;
  void SetAt(const char* key, CObject* value);
  CObject*& operator[](const char* key);
  BOOL RemoveKey(const char* key);
  void RemoveAll();
  void InitHashTable(UINT size) { index_.reserve(size); }

  POSITION GetStartPosition() const;
  void GetNextAssoc(POSITION& pos, CString& key, CObject*& value) const;

  // Store: count, then per entry the key text and the object. Load: the same; the objects are
  // created from the archive and belong to the map's owner.
  void Serialize(CArchive& ar) override;

 private:
  struct Entry {
    CString key;
    CObject* value;
  };
  std::vector<Entry> entries_;
  std::unordered_map<std::string, size_t> index_;
};
