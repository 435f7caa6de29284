// TList and the string lists: index errors, the text rules and which virtual each base
// operation reaches.
#include <gtest/gtest.h>

#include <vector>

#include "lists.h"
#include "streams.h"

TEST(List, AddInsertDeleteAndIndexErrors) {
  TList l;
  int a = 1, b = 2, c = 3;
  l.Add(&a);
  l.Add(&c);
  l.Insert(1, &b);
  ASSERT_EQ(l.Count(), 3);
  EXPECT_EQ(l[1], &b);
  EXPECT_EQ(l.IndexOf(&c), 2);
  l.Move(2, 0);
  EXPECT_EQ(l.First(), &c);
  EXPECT_EQ(l.Remove(&a), 1);
  EXPECT_EQ(l.Count(), 2);
  try {
    l.Get(2);
    FAIL();
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "Listenindex außerhalb des gültigen Bereichs (2)");
  }
  EXPECT_THROW(l.Insert(3, &a), EListError);
  EXPECT_THROW(l.Delete(-1), EListError);
}

TEST(List, DerivedListIsToldOfEveryDeletion) {
  struct Owning : TList {
    std::vector<void*> freed;
    void Notify(void* p, TListNotification a) override {
      if (a == lnDeleted) freed.push_back(p);
    }
  } l;
  int a, b, c;
  l.Add(&a);
  l.Add(&b);
  l.Add(&c);
  l.Delete(0);
  EXPECT_EQ(l.Extract(&b), &b);  // extracted: not freed
  l.Clear();
  EXPECT_EQ(l.freed, (std::vector<void*>{&a, &c}));
}

TEST(StringList, TextPutsCrLfAfterEveryLine) {
  TStringList l;
  EXPECT_EQ(l.Text(), "");
  l.Add("a");
  l.Add("");
  l.Add("b");
  EXPECT_EQ(l.Text(), "a\r\n\r\nb\r\n");
}

TEST(StringList, SettingTextSplitsAtEveryKindOfBreak) {
  struct Case { const char* text; std::vector<String> lines; };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\n", {"a"}},                       // a final break adds no line
      {"a\r\n\r\n", {"a", ""}},
      {"a\rb\nc\r\nd", {"a", "b", "c", "d"}},  // lone CR, lone LF, CR LF
      {"\r\r", {"", ""}},
      {"a\n\rb", {"a", "", "b"}},             // LF CR is two breaks
      {"x\r\n\ry", {"x", "", "y"}},
  };
  for (const Case& c : cases) {
    TStringList l;
    l.SetText(c.text);
    std::vector<String> got;
    for (int i = 0; i < l.Count(); ++i) got.push_back(l[i]);
    EXPECT_EQ(got, c.lines) << "text: " << c.text;
  }
}

// Records which virtual each base operation reaches, as the editor's line store relies on it.
struct Spy : TStringList {
  std::vector<String> calls;
  int Add(const String& S) override {
    calls.push_back("Add " + S);
    return TStringList::Add(S);
  }
  void Insert(int Index, const String& S) override {
    calls.push_back("Insert " + S);
    TStringList::Insert(Index, S);
  }
  void SetTextStr(const String& V) override {
    calls.push_back("SetTextStr");
    TStringList::SetTextStr(V);
  }
  void Put(int Index, const String& S) override {
    calls.push_back("Put " + S);
    TStringList::Put(Index, S);
  }
};

TEST(StringList, BaseOperationsReachTheVirtuals) {
  Spy s;
  s.SetText("x\r\ny");
  EXPECT_EQ(s.calls, (std::vector<String>{"SetTextStr", "Add x", "Add y"}));

  s.calls.clear();
  TMemoryStream m;
  m.WriteBuffer("p\rq", 3);
  m.SetPosition(0);
  s.LoadFromStream(m);
  EXPECT_EQ(s.calls, (std::vector<String>{"SetTextStr", "Add p", "Add q"}));

  s.calls.clear();
  TStringList src;
  src.Add("1");
  src.Add("2");
  s.Assign(&src);
  EXPECT_EQ(s.calls, (std::vector<String>{"Add 1", "Add 2"}));

  s.calls.clear();
  s.SetStrings(0, "z");
  EXPECT_EQ(s.calls, (std::vector<String>{"Put z"}));
}

TEST(StringList, ChangeEventsFireOncePerUpdate) {
  TStringList l;
  int changing = 0, changed = 0;
  l.OnChanging = [&](TObject*) { ++changing; };
  l.OnChange = [&](TObject* sender) {
    EXPECT_EQ(sender, &l);
    ++changed;
  };
  l.Add("a");
  EXPECT_EQ(changed, 1);
  l.SetText("a\r\nb\r\nc");
  EXPECT_EQ(changed, 2);
  EXPECT_EQ(changing, 2);
  l.BeginUpdate();
  l.Delete(0);
  l.SetStrings(0, "x");
  EXPECT_EQ(changed, 2);
  l.EndUpdate();
  EXPECT_EQ(changed, 3);
}

TEST(StringList, IndexErrorsAndSorting) {
  TStringList l;
  try {
    l.Delete(0);
    FAIL();
  } catch (const EStringListError& e) {
    EXPECT_EQ(e.Message(), "Listenindex außerhalb des gültigen Bereichs (0)");
  }
  l.SetText("b\r\nC\r\na");
  EXPECT_EQ(l.IndexOf("c"), 1);  // without regard to case
  l.SetSorted(true);
  EXPECT_EQ(l.Text(), "a\r\nb\r\nC\r\n");
  EXPECT_EQ(l.Add("B"), 1);  // duplicates ignored by default
  EXPECT_EQ(l.Count(), 3);
  l.SetDuplicates(dupError);
  EXPECT_THROW(l.Add("a"), EStringListError);
  EXPECT_THROW(l.Insert(0, "z"), EStringListError);
  l.SetDuplicates(dupAccept);
  l.Add("ab");
  EXPECT_EQ(l.Text(), "a\r\nab\r\nb\r\nC\r\n");
}

TEST(StringList, NamesAndValues) {
  TStringList l;
  l.SetText("Browser=C:\\netscape.exe\r\nZoom=2");
  EXPECT_EQ(l.Values("browser"), "C:\\netscape.exe");
  EXPECT_EQ(l.Names(1), "Zoom");
  l.SetValues("Zoom", "3");
  l.SetValues("Neu", "x");
  EXPECT_EQ(l.Text(), "Browser=C:\\netscape.exe\r\nZoom=3\r\nNeu=x\r\n");
  l.SetValues("Browser", "");
  EXPECT_EQ(l.Count(), 2);
}

TEST(StringList, ManyInsertionsAtMovingPlacesKeepOrder) {
  // The storage has a gap that follows the edits; check it against a plain vector.
  TStringList l;
  std::vector<String> ref;
  unsigned seed = 12345;
  for (int i = 0; i < 3000; ++i) {
    seed = seed * 1103515245 + 12345;
    int n = static_cast<int>(ref.size());
    int op = (seed >> 16) % 4;
    int at = n ? static_cast<int>((seed >> 8) % static_cast<unsigned>(n + 1)) : 0;
    if (op < 3 || n == 0) {
      l.Insert(at, IntToStr(i));
      ref.insert(ref.begin() + at, IntToStr(i));
    } else {
      if (at == n) --at;
      l.Delete(at);
      ref.erase(ref.begin() + at);
    }
  }
  ASSERT_EQ(l.Count(), static_cast<int>(ref.size()));
  for (int i = 0; i < l.Count(); ++i) ASSERT_EQ(l[i], ref[static_cast<size_t>(i)]) << i;
}
