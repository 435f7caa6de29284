#include "test_support.h"

std::vector<String> RecordingView::Only(std::initializer_list<const char*> prefixes) const {
  std::vector<String> r;
  for (const String& s : log)
    for (const char* p : prefixes)
      if (s.compare(0, String(p).size(), p) == 0) {
        r.push_back(s);
        break;
      }
  return r;
}

EditorTest::EditorTest() {
  ed.SetView(&view);
  ed.SetClipboard(&clip);
  ed.SetVisibleCounts(80, 25);
  ed.OnChange = [this](TObject*) { view.log.push_back("OnChange"); };
  ed.OnChangeStatus = [this](TObject*) { view.log.push_back("OnChangeStatus"); };
  ed.OnSelectionChange = [this](TObject*) { view.log.push_back("OnSelectionChange"); };
}

void EditorTest::SetText(const String& text) {
  ed.Lines()->SetText(text);
  view.log.clear();
}

void EditorTest::Type(const String& chars) {
  for (char c : chars) ed.ExecCommand(static_cast<unsigned char>(c));
}

void EditorTest::Cmds(std::initializer_list<int> commands) {
  for (int c : commands) ed.ExecCommand(c);
}

void EditorTest::Press(Word key, TShiftState shift, char ch) {
  Word k = key;
  ed.KeyDown(k, shift);
  if (ch) ed.KeyPress(ch);
}

void EditorTest::ExpectCaret(int x, int y) const {
  EXPECT_EQ(ed.CaretX(), x);
  EXPECT_EQ(ed.CaretY(), y);
}

std::vector<String> EditorTest::UndoClasses() const {
  std::vector<String> r;
  for (int i = 0; i < ed.UndoBuffer()->Count(); ++i) r.push_back(ed.UndoBuffer()->Record(i)->ClassName());
  return r;
}
