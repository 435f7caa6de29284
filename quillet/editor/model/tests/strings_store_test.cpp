// The line store: trimming, tab expansion, undo clearing, text replacement, linear positions
// and the line-level text changes checked against the joined text.
#include <cstdio>

#include "editor_utils.h"
#include "test_support.h"

using Store = EditorTest;

TEST_F(Store, PutCutsTrailingBlanksAndRecordsThem) {
  SetText("abc\r\ndef");
  ed.ClearUndo();
  ed.Lines()->SetStrings(1, "xy   ");
  EXPECT_EQ(Line(1), "xy");
  ASSERT_EQ(UndoClasses(), (std::vector<String>{"TDeleteTrailUndo"}));
  auto* u = static_cast<TDeleteTrailUndo*>(ed.UndoBuffer()->Record(0));
  EXPECT_EQ(u->CaretX(), 5);  // length before cutting
  EXPECT_EQ(u->CaretY(), 1);
  EXPECT_EQ(u->Text(), "   ");

  ed.SetKeepTrailingBlanks(true);
  ed.Lines()->SetStrings(0, "a  ");
  EXPECT_EQ(Line(0), "a  ");
}

TEST_F(Store, SettingTextExpandsTabsClearsUndoAndReplacesTheText) {
  SetText("x");
  Type("abc");
  Select(0, 0, 1, 0);
  ASSERT_GT(ed.UndoBuffer()->Count(), 0);
  view.log.clear();
  ed.Lines()->SetText("\ta\r\n\t\tb");
  EXPECT_EQ(Line(0), "  a");
  EXPECT_EQ(Line(1), "    b");
  EXPECT_EQ(ed.UndoBuffer()->Count(), 0);
  EXPECT_FALSE(ed.HasSelection());
  EXPECT_EQ(view.Only({"TextModified"}), (std::vector<String>{"TextModified 0 0   a\r\n    b\r\n"}));
  // Add and Insert expand tabs as well.
  ed.Lines()->Add("\tc");
  ed.Lines()->Insert(0, "d\t");
  EXPECT_EQ(Line(0), "d  ");
  EXPECT_EQ(Line(3), "  c");
}

TEST_F(Store, LoadingAFileReachesTheStoresTextSetter) {
  String name = String(ASTREL_BINARY_DIR) + "/editor_model_load.txt";
  std::FILE* f = std::fopen(name.c_str(), "wb");
  ASSERT_TRUE(f);
  std::fputs("<p>\tEins\r\nZwei\rDrei\n", f);
  std::fclose(f);
  Type("abc");
  ed.Lines()->LoadFromFile(name);
  std::remove(name.c_str());
  EXPECT_EQ(Text(), "<p>  Eins\r\nZwei\r\nDrei\r\n");
  EXPECT_EQ(ed.UndoBuffer()->Count(), 0);
}

TEST_F(Store, AssigningLinesCopiesAndClearsUndo) {
  Type("abc");
  TStringList src;
  src.Add("eins\tzwei");
  src.Add("drei");
  ed.SetLines(&src);
  EXPECT_EQ(Text(), "eins  zwei\r\ndrei\r\n");
  EXPECT_EQ(ed.UndoBuffer()->Count(), 0);
}

TEST_F(Store, LinearPositionsAndBack) {
  SetText("abc\r\n\r\nxy");
  struct Case { int x, y, pos; };
  const Case cases[] = {
      {0, 0, 0}, {2, 0, 2}, {3, 0, 3}, {9, 0, 3},  // beyond the line end counts as its end
      {0, 1, 5}, {5, 1, 5}, {0, 2, 7}, {2, 2, 9},
      {0, -1, -1}, {0, 3, -1},
  };
  for (const Case& c : cases) EXPECT_EQ(ed.LinePos(c.x, c.y), c.pos) << c.x << "," << c.y;
  struct Back { int pos, x, y; };
  const Back back[] = {{0, 0, 0}, {3, 3, 0}, {4, 0, 1}, {5, 0, 1}, {9, 2, 2}, {11, 0, 3}, {12, -1, -1}, {-1, -1, -1}};
  for (const Back& b : back) {
    int x, y;
    ed.CaretFromPos(b.pos, x, y);
    EXPECT_EQ(x, b.x) << b.pos;
    EXPECT_EQ(y, b.y) << b.pos;
    // The utility routine on the joined text agrees.
    CaretFromPosInText(Text(), b.pos, x, y);
    EXPECT_EQ(x, b.x) << "text " << b.pos;
    EXPECT_EQ(y, b.y) << "text " << b.pos;
  }
}

// The model changes only the lines concerned; the result must be what joining the text,
// changing it and splitting it again gives, and positions must stay right after each change.
TEST_F(Store, LineLevelChangesMatchTheJoinedText) {
  SetText("<html>\r\n<body>\r\n\r\ntext\r\n</body>");
  unsigned seed = 7;
  auto rnd = [&seed](unsigned n) {
    seed = seed * 1103515245u + 12345u;
    return n ? (seed >> 8) % n : 0;
  };
  const char* pieces[] = {"a", "\r\n", "\r", "x\ry", "\r\n\r\n", "<b>", "z\r\nw"};
  for (int step = 0; step < 400; ++step) {
    String joined = Text();
    // TStrings' own rules give the reference.
    TStringList ref;
    int total = static_cast<int>(joined.size());
    if (rnd(3) != 0 || total == 0) {
      String ins = pieces[rnd(7)];
      // Positions inside a CR LF pair are not places the model inserts at.
      int p = static_cast<int>(rnd(static_cast<unsigned>(total) + 1));
      if (p > 0 && p < total && joined[static_cast<size_t>(p)] == '\n') --p;
      ed.InsertAtPos(p, ins);
      ref.SetText(joined.substr(0, static_cast<size_t>(p)) + ins + joined.substr(static_cast<size_t>(p)));
    } else {
      int p = static_cast<int>(rnd(static_cast<unsigned>(total)));
      int n = static_cast<int>(rnd(6)) + 1;
      if (joined[static_cast<size_t>(p)] == '\n') --p;
      if (p + n > total) n = total - p;
      ed.DeleteAtPos(p, n);
      String rest = joined;
      rest.erase(static_cast<size_t>(p), static_cast<size_t>(n));
      ref.SetText(rest);
    }
    ASSERT_EQ(Text(), ref.Text()) << "step " << step;
    for (int y = 0; y < ed.Lines()->Count(); y += 3) {
      int expect = 0;
      for (int i = 0; i < y; ++i) expect += static_cast<int>(ref[i].size()) + 2;
      ASSERT_EQ(ed.LinePos(0, y), expect) << "step " << step << " line " << y;
    }
  }
}
