#include "lists.h"

#include <algorithm>

#include "streams.h"

static String IndexMessage(int Index) { return Format("Listenindex außerhalb des gültigen Bereichs (%d)", Index); }

// ---- TList -------------------------------------------------------------------------------

TList::~TList() {
  // A derived list's Notify is gone by now; what it owns it frees in its own destructor.
  FItems.clear();
}

void TList::CheckIndex(int Index, int Limit) const {
  if (Index < 0 || Index >= Limit) throw EListError(IndexMessage(Index));
}

void* TList::Get(int Index) const {
  CheckIndex(Index, Count());
  return FItems[static_cast<size_t>(Index)];
}

void TList::Put(int Index, void* Item) {
  CheckIndex(Index, Count());
  void* old = FItems[static_cast<size_t>(Index)];
  FItems[static_cast<size_t>(Index)] = Item;
  if (old != Item) {
    if (old) Notify(old, lnDeleted);
    if (Item) Notify(Item, lnAdded);
  }
}

int TList::Add(void* Item) {
  FItems.push_back(Item);
  if (Item) Notify(Item, lnAdded);
  return Count() - 1;
}

void TList::Insert(int Index, void* Item) {
  CheckIndex(Index, Count() + 1);
  FItems.insert(FItems.begin() + Index, Item);
  if (Item) Notify(Item, lnAdded);
}

void TList::Delete(int Index) {
  CheckIndex(Index, Count());
  void* p = FItems[static_cast<size_t>(Index)];
  FItems.erase(FItems.begin() + Index);
  if (p) Notify(p, lnDeleted);
}

int TList::Remove(void* Item) {
  int i = IndexOf(Item);
  if (i >= 0) Delete(i);
  return i;
}

void* TList::Extract(void* Item) {
  int i = IndexOf(Item);
  if (i < 0) return nullptr;
  FItems.erase(FItems.begin() + i);
  if (Item) Notify(Item, lnExtracted);
  return Item;
}

int TList::IndexOf(void* Item) const {
  auto it = std::find(FItems.begin(), FItems.end(), Item);
  return it == FItems.end() ? -1 : static_cast<int>(it - FItems.begin());
}

void TList::Exchange(int Index1, int Index2) {
  CheckIndex(Index1, Count());
  CheckIndex(Index2, Count());
  std::swap(FItems[static_cast<size_t>(Index1)], FItems[static_cast<size_t>(Index2)]);
}

void TList::Move(int CurIndex, int NewIndex) {
  if (CurIndex == NewIndex) return;
  CheckIndex(CurIndex, Count());
  CheckIndex(NewIndex, Count());
  void* p = FItems[static_cast<size_t>(CurIndex)];
  FItems.erase(FItems.begin() + CurIndex);
  FItems.insert(FItems.begin() + NewIndex, p);
}

void TList::Clear() {
  while (!FItems.empty()) Delete(Count() - 1);
  FItems.shrink_to_fit();
}

// ---- TStrings ----------------------------------------------------------------------------

int TStrings::Add(const String& S) {
  int r = GetCount();
  Insert(r, S);
  return r;
}

int TStrings::AddObject(const String& S, TObject* AObject) {
  int r = Add(S);
  PutObject(r, AObject);
  return r;
}

void TStrings::AddStrings(TStrings* Strings) {
  TUpdateScope update(*this);
  for (int i = 0; i < Strings->Count(); ++i) AddObject(Strings->Get(i), Strings->GetObject(i));
}

void TStrings::Assign(TPersistent* Source) {
  if (auto* src = dynamic_cast<TStrings*>(Source)) {
    if (src == this) return;
    TUpdateScope update(*this);
    Clear();
    AddStrings(src);
    return;
  }
  TPersistent::Assign(Source);
}

bool TStrings::Equals(const TStrings* Other) const {
  if (Other->Count() != Count()) return false;
  for (int i = 0; i < Count(); ++i)
    if (Get(i) != Other->Get(i)) return false;
  return true;
}

int TStrings::IndexOf(const String& S) const {
  for (int i = 0; i < GetCount(); ++i)
    if (AnsiCompareText(Get(i), S) == 0) return i;
  return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const {
  for (int i = 0; i < GetCount(); ++i)
    if (GetObject(i) == AObject) return i;
  return -1;
}

String TStrings::Names(int Index) const {
  String s = Get(Index);
  size_t p = s.find('=');
  return p == String::npos ? String() : s.substr(0, p);
}

int TStrings::IndexOfName(const String& Name) const {
  for (int i = 0; i < GetCount(); ++i) {
    String s = Get(i);
    size_t p = s.find('=');
    if (p != String::npos && AnsiCompareText(s.substr(0, p), Name) == 0) return i;
  }
  return -1;
}

String TStrings::Values(const String& Name) const {
  int i = IndexOfName(Name);
  if (i < 0) return String();
  String s = Get(i);
  return s.substr(s.find('=') + 1);
}

void TStrings::SetValues(const String& Name, const String& Value) {
  int i = IndexOfName(Name);
  if (Value.empty()) {
    if (i >= 0) Delete(i);
  } else if (i < 0) {
    Add(Name + "=" + Value);
  } else {
    Put(i, Name + "=" + Value);
  }
}

void TStrings::Put(int Index, const String& S) {
  TObject* obj = GetObject(Index);
  Delete(Index);
  Insert(Index, S);
  PutObject(Index, obj);
}

String TStrings::GetTextStr() const {
  size_t total = 0;
  int n = GetCount();
  for (int i = 0; i < n; ++i) total += Get(i).size() + 2;
  String r;
  r.reserve(total);
  for (int i = 0; i < n; ++i) {
    r += Get(i);
    r += "\r\n";
  }
  return r;
}

void TStrings::SplitLines(const String& Value, std::vector<String>& Lines) {
  size_t i = 0, n = Value.size();
  while (i < n) {
    size_t start = i;
    while (i < n && Value[i] != '\r' && Value[i] != '\n') ++i;
    Lines.emplace_back(Value, start, i - start);
    if (i < n && Value[i] == '\r') {
      ++i;
      if (i < n && Value[i] == '\n') ++i;  // CR LF is one break
    } else if (i < n) {
      ++i;  // a lone LF
    }
  }
}

void TStrings::SetTextStr(const String& Value) {
  std::vector<String> lines;
  SplitLines(Value, lines);
  TUpdateScope update(*this);
  Clear();
  for (const String& s : lines) Add(s);
}

void TStrings::BeginUpdate() {
  if (FUpdateCount == 0) SetUpdateState(true);
  ++FUpdateCount;
}

void TStrings::EndUpdate() {
  if (FUpdateCount == 0) return;
  if (--FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::LoadFromFile(const String& FileName) {
  TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(f);
}

void TStrings::LoadFromStream(TStream& Stream) {
  int64_t pos = Stream.Position();
  int64_t size = Stream.Size() - pos;
  String s;
  if (size > 0) {
    s.resize(static_cast<size_t>(size));
    Stream.ReadBuffer(&s[0], size);
  }
  SetTextStr(s);
}

void TStrings::SaveToFile(const String& FileName) const {
  String s = GetTextStr();
  SaveBytesToFile(FileName, s.data(), static_cast<int64_t>(s.size()));
}

void TStrings::SaveToStream(TStream& Stream) const {
  String s = GetTextStr();
  Stream.WriteBuffer(s.data(), static_cast<int64_t>(s.size()));
}

// ---- TStringList -------------------------------------------------------------------------

void TStringList::CheckIndex(int Index, int Limit) const {
  if (Index < 0 || Index >= Limit) throw EStringListError(IndexMessage(Index));
}

String TStringList::Get(int Index) const { return StringRef(Index); }

const String& TStringList::StringRef(int Index) const {
  CheckIndex(Index, GetCount());
  return FList[static_cast<size_t>(Index)].S;
}

TObject* TStringList::GetObject(int Index) const {
  CheckIndex(Index, GetCount());
  return FList[static_cast<size_t>(Index)].Object;
}

void TStringList::Put(int Index, const String& S) {
  if (FSorted) throw EStringListError("Bei sortierten Listen nicht zulässig");
  CheckIndex(Index, GetCount());
  Changing();
  FList[static_cast<size_t>(Index)].S = S;
  Changed();
}

void TStringList::PutObject(int Index, TObject* AObject) {
  CheckIndex(Index, GetCount());
  Changing();
  FList[static_cast<size_t>(Index)].Object = AObject;
  Changed();
}

int TStringList::Add(const String& S) {
  int index = GetCount();
  if (FSorted) {
    if (Find(S, index)) {
      if (FDuplicates == dupIgnore) return index;
      if (FDuplicates == dupError) throw EStringListError("Die Stringliste erlaubt keine Duplikate");
    }
  }
  InsertItem(index, S);
  return index;
}

void TStringList::Insert(int Index, const String& S) {
  if (FSorted) throw EStringListError("Bei sortierten Listen nicht zulässig");
  CheckIndex(Index, GetCount() + 1);
  InsertItem(Index, S);
}

void TStringList::InsertItem(int Index, const String& S, TObject* AObject) {
  Changing();
  Item item;
  item.S = S;
  item.Object = AObject;
  FList.insert(static_cast<size_t>(Index), std::move(item));
  Changed();
}

void TStringList::Delete(int Index) {
  CheckIndex(Index, GetCount());
  Changing();
  FList.erase(static_cast<size_t>(Index));
  Changed();
}

void TStringList::Clear() {
  if (FList.empty()) return;
  Changing();
  FList.clear();
  Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
  CheckIndex(Index1, GetCount());
  CheckIndex(Index2, GetCount());
  Changing();
  std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
  Changed();
}

int TStringList::IndexOf(const String& S) const {
  if (!FSorted) return TStrings::IndexOf(S);
  int i = 0;
  return Find(S, i) ? i : -1;
}

bool TStringList::Find(const String& S, int& Index) const {
  int lo = 0, hi = GetCount() - 1;
  bool found = false;
  while (lo <= hi) {
    int mid = (lo + hi) / 2;
    int c = AnsiCompareText(FList[static_cast<size_t>(mid)].S, S);
    if (c < 0) {
      lo = mid + 1;
    } else {
      hi = mid - 1;
      if (c == 0) {
        found = true;
        if (FDuplicates != dupAccept) lo = mid;
      }
    }
  }
  Index = lo;
  return found;
}

void TStringList::Sort() {
  int n = GetCount();
  if (n < 2) return;
  std::vector<Item> items;
  items.reserve(static_cast<size_t>(n));
  for (int i = 0; i < n; ++i) items.push_back(std::move(FList[static_cast<size_t>(i)]));
  std::stable_sort(items.begin(), items.end(),
                   [](const Item& a, const Item& b) { return AnsiCompareText(a.S, b.S) < 0; });
  Changing();
  FList.clear();
  FList.reserve(items.size());
  for (Item& it : items) FList.push_back(std::move(it));
  Changed();
}

void TStringList::SetSorted(bool Value) {
  if (Value == FSorted) return;
  if (Value) Sort();
  FSorted = Value;
}

void TStringList::SetTextStr(const String& Value) { TStrings::SetTextStr(Value); }

void TStringList::SetUpdateState(bool Updating) {
  if (Updating)
    Changing();
  else
    Changed();
}

void TStringList::Changed() {
  if (UpdateCount() == 0) FireEvent(OnChange, this);
}

void TStringList::Changing() {
  if (UpdateCount() == 0) FireEvent(OnChanging, this);
}
