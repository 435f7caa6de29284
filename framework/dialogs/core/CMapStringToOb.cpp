#include "CMapStringToOb.h"

#include <cstdint>

#include "CArchive.h"

IMPLEMENT_SERIAL(CMapStringToOb, CObject, 0)

BOOL CMapStringToOb::Lookup(const char* key, CObject*& value) const {
  auto it = index_.find(key ? key : "");
  if (it == index_.end()) return FALSE;
  value = entries_[it->second].value;
  return TRUE;
}

void CMapStringToOb::SetAt(const char* key, CObject* value) { (*this)[key] = value; }

CObject*& CMapStringToOb::operator[](const char* key) {
  std::string k(key ? key : "");
  auto it = index_.find(k);
  if (it != index_.end()) return entries_[it->second].value;
  index_[k] = entries_.size();
  entries_.push_back(Entry{CString(k), nullptr});
  return entries_.back().value;
}

BOOL CMapStringToOb::RemoveKey(const char* key) {
  auto it = index_.find(key ? key : "");
  if (it == index_.end()) return FALSE;
  size_t at = it->second;
  index_.erase(it);
  entries_.erase(entries_.begin() + static_cast<long>(at));
  for (auto& kv : index_)
    if (kv.second > at) kv.second--;
  return TRUE;
}

void CMapStringToOb::RemoveAll() {
  entries_.clear();
  index_.clear();
}

// A position is the index of the next entry plus one.
POSITION CMapStringToOb::GetStartPosition() const {
  return entries_.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<std::uintptr_t>(1));
}

void CMapStringToOb::GetNextAssoc(POSITION& pos, CString& key, CObject*& value) const {
  size_t i = reinterpret_cast<std::uintptr_t>(pos) - 1;
  key = entries_[i].key;
  value = entries_[i].value;
  pos = (i + 1 < entries_.size()) ? reinterpret_cast<POSITION>(static_cast<std::uintptr_t>(i + 2)) : nullptr;
}

void CMapStringToOb::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar.WriteCount(static_cast<DWORD>(entries_.size()));
    for (const Entry& e : entries_) {
      ar << e.key;
      ar.WriteObject(e.value);
    }
    return;
  }
  DWORD count = ar.ReadCount();
  for (DWORD i = 0; i < count; ++i) {
    CString key;
    ar >> key;
    CObject* obj = ar.ReadObject(nullptr);
    SetAt(key, obj);
  }
}
