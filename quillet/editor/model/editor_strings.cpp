#include "editor_strings.h"

#include <algorithm>

namespace {
// Marks a write: which line it changes (for the position table) and whether the owner hears
// of it.
struct RawWrite {
  RawWrite(int& rawLine, int& quiet, int line, bool silent) : FRawLine(rawLine), FQuiet(quiet), FSilent(silent) {
    FOld = FRawLine;
    FRawLine = line;
    if (FSilent) ++FQuiet;
  }
  ~RawWrite() {
    FRawLine = FOld;
    if (FSilent) --FQuiet;
  }
  int& FRawLine;
  int& FQuiet;
  bool FSilent;
  int FOld;
};
}  // namespace

int TEditorStrings::Add(const String& S) { return TStringList::Add(FOwner->ExpandTabs(S)); }

void TEditorStrings::Insert(int Index, const String& S) { TStringList::Insert(Index, FOwner->ExpandTabs(S)); }

void TEditorStrings::Put(int Index, const String& S) {
  CheckIndex(Index, Count());
  size_t end = S.size();
  if (!FOwner->KeepTrailingBlanks()) {
    while (end > 0 && S[end - 1] == ' ') --end;
    if (end < S.size()) FOwner->TrailingBlanksCut(Index, static_cast<int>(S.size()), String(S.size() - end, ' '));
  }
  RawWrite w(FRawLine, FQuiet, Index, false);
  TStringList::Put(Index, end < S.size() ? S.substr(0, end) : S);
}

void TEditorStrings::SetTextStr(const String& Value) {
  {
    RawWrite w(FRawLine, FQuiet, 0, true);
    String expanded;
    bool tabs = Value.find('\t') != String::npos;
    if (tabs) expanded = FOwner->ExpandTabs(Value);
    std::vector<String> lines;
    SplitLines(tabs ? expanded : Value, lines);
    TUpdateScope update(*this);
    Clear();
    for (String& s : lines) TStringList::Add(s);
  }
  FOwner->TextSet();
}

void TEditorStrings::RawSetText(const String& Text) {
  RawWrite w(FRawLine, FQuiet, 0, true);
  std::vector<String> lines;
  SplitLines(Text, lines);
  BeginUpdate();
  Clear();
  for (String& s : lines) TStringList::Add(s);
  EndUpdate();
}

void TEditorStrings::RawPut(int Index, const String& S) {
  RawWrite w(FRawLine, FQuiet, Index, true);
  TStringList::Put(Index, S);
}

void TEditorStrings::RawInsert(int Index, const String& S) {
  RawWrite w(FRawLine, FQuiet, Index, true);
  TStringList::Insert(Index, S);
}

void TEditorStrings::RawDelete(int Index) {
  RawWrite w(FRawLine, FQuiet, Index, true);
  TStringList::Delete(Index);
}

void TEditorStrings::RawDelete(int Index, int N) {
  RawWrite w(FRawLine, FQuiet, Index, true);
  for (int i = 0; i < N; ++i) TStringList::Delete(Index);
}

void TEditorStrings::Invalidate(int FromLine) {
  if (FromLine < 0) FromLine = 0;
  if (FStarts.size() > static_cast<size_t>(FromLine) + 1) FStarts.resize(static_cast<size_t>(FromLine) + 1);
}

void TEditorStrings::Changing() {
  // A change of line i moves the starts of the lines after it; a write of unknown place moves all.
  Invalidate(FRawLine >= 0 ? FRawLine : 0);
  TStringList::Changing();
}

void TEditorStrings::Changed() {
  if (UpdateCount() != 0) return;
  TStringList::Changed();
  if (FQuiet == 0) FOwner->LinesChanged();
}

int TEditorStrings::LineStart(int Index) {
  int n = Count();
  if (Index > n) Index = n;
  if (Index < 0) Index = 0;
  while (static_cast<int>(FStarts.size()) <= Index) {
    size_t i = FStarts.size() - 1;
    FStarts.push_back(FStarts[i] + LineLength(static_cast<int>(i)) + 2);
  }
  return FStarts[static_cast<size_t>(Index)];
}

int TEditorStrings::LineOfPosition(int P) {
  int n = Count();
  if (n == 0) return 0;
  // Extend the table until it passes P.
  while (FStarts.back() <= P && static_cast<int>(FStarts.size()) <= n) LineStart(static_cast<int>(FStarts.size()));
  auto it = std::upper_bound(FStarts.begin(), FStarts.end(), P);
  int line = static_cast<int>(it - FStarts.begin()) - 1;
  return std::min(std::max(line, 0), n - 1);
}
