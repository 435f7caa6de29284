// Lists of the component library: TList of pointers, the abstract string list TStrings and the
// string list TStringList.
//
// Text rules of the string lists (the editor's line store relies on them):
// - reading Text gives every line followed by CR LF (an empty list gives "");
// - setting Text splits at CR LF, at a lone CR and at a lone LF, each one break; a final break
//   adds no empty line ("a\r\n" is one line, "a\r\n\r\n" two);
// - which operation calls which virtual: SetText, LoadFromStream and LoadFromFile all reach the
//   virtual SetTextStr; Add calls the virtual Insert (TStringList overrides Add, which then goes
//   straight to its storage unless the list is sorted); AddObject calls Add then PutObject;
//   AddStrings and Assign call AddObject for each line inside BeginUpdate/EndUpdate; the text
//   getter, SaveToStream and SaveToFile go through GetTextStr; Put of the base deletes and inserts.
#pragma once

#include <functional>
#include <vector>

#include "classes.h"
#include "split_vector.h"

class TStream;

enum TListNotification { lnAdded, lnExtracted, lnDeleted };

// An ordered list of untyped pointers. It does not own what they point to; a derived list that
// does frees an item in Notify(Ptr, lnDeleted), which Delete, Remove and Clear call.
class TList : public TObject {
public:
  ~TList() override;
  const char* ClassName() const override { return "TList"; }

  int Count() const { return static_cast<int>(FItems.size()); }
  void* Get(int Index) const;
  void Put(int Index, void* Item);
  void* operator[](int Index) const { return Get(Index); }
  void* First() const { return Get(0); }
  void* Last() const { return Get(Count() - 1); }

  int Add(void* Item);
  void Insert(int Index, void* Item);
  void Delete(int Index);
  int Remove(void* Item);
  void* Extract(void* Item);
  int IndexOf(void* Item) const;
  void Exchange(int Index1, int Index2);
  void Move(int CurIndex, int NewIndex);
  virtual void Clear();

protected:
  virtual void Notify(void* Ptr, TListNotification Action) {}
  void CheckIndex(int Index, int Limit) const;

private:
  std::vector<void*> FItems;
};

// The abstract list of strings, each with an associated object pointer.
class TStrings : public TPersistent {
public:
  const char* ClassName() const override { return "TStrings"; }

  int Count() const { return GetCount(); }
  String Strings(int Index) const { return Get(Index); }
  void SetStrings(int Index, const String& S) { Put(Index, S); }
  String operator[](int Index) const { return Get(Index); }
  TObject* Objects(int Index) const { return GetObject(Index); }
  void SetObjects(int Index, TObject* AObject) { PutObject(Index, AObject); }
  String Text() const { return GetTextStr(); }
  void SetText(const String& Value) { SetTextStr(Value); }

  // "Name=Value" lines.
  String Names(int Index) const;
  String Values(const String& Name) const;
  void SetValues(const String& Name, const String& Value);
  int IndexOfName(const String& Name) const;

  virtual int Add(const String& S);
  virtual int AddObject(const String& S, TObject* AObject);
  virtual void AddStrings(TStrings* Strings);
  void Append(const String& S) { Add(S); }
  virtual void Insert(int Index, const String& S) = 0;
  virtual void Delete(int Index) = 0;
  virtual void Clear() = 0;
  virtual int IndexOf(const String& S) const;   // without regard to case
  int IndexOfObject(TObject* AObject) const;
  void Assign(TPersistent* Source) override;
  bool Equals(const TStrings* Other) const;

  void BeginUpdate();
  void EndUpdate();
  int UpdateCount() const { return FUpdateCount; }

  virtual void LoadFromFile(const String& FileName);
  virtual void LoadFromStream(TStream& Stream);
  // The file is replaced whole through a TSaveFileStream, or stays as it was (its errors pass).
  virtual void SaveToFile(const String& FileName) const;
  virtual void SaveToStream(TStream& Stream) const;

protected:
  virtual String Get(int Index) const = 0;
  virtual int GetCount() const = 0;
  virtual TObject* GetObject(int Index) const { return nullptr; }
  virtual void Put(int Index, const String& S);
  virtual void PutObject(int Index, TObject* AObject) {}
  virtual String GetTextStr() const;
  virtual void SetTextStr(const String& Value);
  virtual void SetUpdateState(bool Updating) {}

public:
  // Splits a text at its line breaks as Text does (for lists that store text their own way).
  static void SplitLines(const String& Value, std::vector<String>& Lines);

private:
  int FUpdateCount = 0;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

// The string list: its own storage, change events, optional sorting.
class TStringList : public TStrings {
public:
  const char* ClassName() const override { return "TStringList"; }

  int Add(const String& S) override;
  void Insert(int Index, const String& S) override;
  void Delete(int Index) override;
  void Clear() override;
  int IndexOf(const String& S) const override;
  // Binary search in a sorted list; Index receives the place where S is or would go.
  bool Find(const String& S, int& Index) const;
  void Sort();
  void Exchange(int Index1, int Index2);

  bool Sorted() const { return FSorted; }
  void SetSorted(bool Value);
  TDuplicates Duplicates() const { return FDuplicates; }
  void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }

  // The stored string without a copy.
  const String& StringRef(int Index) const;

  TNotifyEvent OnChange;     // after every change, once per outermost BeginUpdate/EndUpdate
  TNotifyEvent OnChanging;   // before every change, likewise

protected:
  String Get(int Index) const override;
  int GetCount() const override { return static_cast<int>(FList.size()); }
  TObject* GetObject(int Index) const override;
  void Put(int Index, const String& S) override;
  void PutObject(int Index, TObject* AObject) override;
  void SetTextStr(const String& Value) override;
  void SetUpdateState(bool Updating) override;
  virtual void Changed();
  virtual void Changing();
  void InsertItem(int Index, const String& S, TObject* AObject = nullptr);
  void CheckIndex(int Index, int Limit) const;

private:
  struct Item {
    String S;
    TObject* Object = nullptr;
  };
  TSplitVector<Item> FList;
  bool FSorted = false;
  TDuplicates FDuplicates = dupIgnore;
};
