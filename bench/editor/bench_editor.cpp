// Editing a large page costs what editing a small one costs: the editor model with the HTML
// highlighter (as the document windows use it) opens a page of 50 KB and one of 5 MB, types 1000
// characters at the end and in the middle, breaks lines, pastes 100 KB and undoes everything.
// Each figure is printed for both pages with the ratio. The verdict is the row of the benchmark
// table: a keystroke, measured in both pages in turns, must cost about the same in both.
#include "bench_timing.h"
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>

#include "editor_model.h"
#include "highlighter.h"

namespace {

using bench::Seconds;

// The model as the highlighting editor drives it: line states follow every change, and the
// changed line is coloured as painting would.
class PageLines : public THighlightLines {
public:
  explicit PageLines(TEditorStrings* l) : FLines(l) {}
  int LineCount() const override { return FLines->Count(); }
  const std::string& LineText(int index) const override { return FLines->Line(index); }

private:
  TEditorStrings* FLines;
};

class Editor : public TEditorModel {
public:
  Editor() : FAdapter(Lines()) {
    FHighlighter.Colors().SetDocumentWindowColors();
    FHighlighter.SetHighLighter(hlHtml, FAdapter);
  }
  void TextReplaced(bool ClearSelectionFlag) override {
    FReplacing = true;
    TEditorModel::TextReplaced(ClearSelectionFlag);
    FReplacing = false;
    FHighlighter.Rescan(FAdapter);
    FCount = Lines()->Count();
  }
  void TextModified(int Pos, TTextAction Action, const String& Text) override {
    TEditorModel::TextModified(Pos, Action, Text);
    if (FReplacing) return;
    int count = Lines()->Count();
    int delta = count - FCount;
    FCount = count;
    int breaks = 0;
    for (char c : Text) breaks += c == '\r';
    if (count == 0 || std::abs(delta) > breaks) {
      FHighlighter.Rescan(FAdapter);
      return;
    }
    int line = Lines()->LineOfPosition(std::max(Pos, 0));
    FHighlighter.LinesChanged(FAdapter, std::max(line - breaks - 1, 0), delta, std::min(line + breaks + 1, count - 1));
  }
  void Changed() override {
    TEditorModel::Changed();
    // Painting the caret line.
    if (CaretY() < Lines()->Count())
      FHighlighter.GetAttr(CaretY(), Lines()->Line(CaretY()), clBlack, TFontStyles(), clWindow, FAttrs);
  }

private:
  PageLines FAdapter;
  TSyntaxHighlighter FHighlighter;
  TLineAttrs FAttrs;
  int FCount = 0;
  bool FReplacing = false;
};

String MakePage(size_t bytes) {
  const char* lines[] = {
      "<tr><td class=\"zelle\">Zeile %d</td><td align=right>&amp; %d Pfg</td></tr>",
      "  <p>Ein Absatz mit <b>fettem</b> Text und einem <a href=\"seite%d.htm\">Verweis</a>.</p>",
      "<img src=\"bild%d.gif\" width=100 height=80",
      "     alt=\"Bild %d\" border=0>",
      "Text ohne Auszeichnung, Nummer %d, mit Umlauten.",
  };
  String page = "<html>\r\n<head><title>Test</title></head>\r\n<body bgcolor=\"#FFFFFF\">\r\n";
  for (int i = 0; page.size() < bytes; ++i) {
    page += Format(lines[i % 5], i, i * 7);
    page += "\r\n";
  }
  page += "</body>\r\n</html>\r\n";
  return page;
}

struct Figures {
  double open = 0, keyEnd = 0, keyMiddle = 0, enter = 0, paste = 0, undo = 0;
  int lines = 0;
};

// The best per-keystroke time of several batches (the machine is shared).
double PerKeystroke(Editor& ed, int total, const std::function<void(int)>& one) {
  const int batches = 5, per = total / batches;
  double best = 1e9;
  for (int b = 0; b < batches; ++b) {
    double t = Seconds([&] {
      for (int i = 0; i < per; ++i) one(b * per + i);
    });
    best = std::min(best, t / per);
  }
  return best;
}

Figures Run(size_t bytes) {
  Figures f;
  Editor ed;
  ed.SetVisibleCounts(100, 40);
  String page = MakePage(bytes);
  f.open = Seconds([&] { ed.Lines()->SetText(page); });
  f.lines = ed.Lines()->Count();
  const String opened = ed.Lines()->Text();
  auto type = [&ed](int i) { ed.ExecCommand('a' + i % 26); };
  ed.ExecCommand(ecEndDoc);
  ed.ExecCommand(ecUp);
  ed.ExecCommand(ecEndLine);
  f.keyEnd = PerKeystroke(ed, 1000, type);
  // The middle: a line of the same kind in both pages (the lines repeat in fives after three).
  ed.SetCaret(10, 3 + (f.lines / 2) / 5 * 5 + 1);
  f.keyMiddle = PerKeystroke(ed, 1000, type);
  f.enter = PerKeystroke(ed, 100, [&ed](int) { ed.ExecCommand(ecInsertPara); });
  String paste;
  while (paste.size() < 100 * 1024) paste += "<td>eingefuegt</td>\r\n";
  TMemoryClipboard clip;
  clip.SetText(paste);
  ed.SetClipboard(&clip);
  f.paste = Seconds([&] { ed.ExecCommand(ecClipboardPaste); });
  f.undo = Seconds([&] {
    while (ed.UndoBuffer()->CurrentIndex() >= 0) ed.ExecCommand(ecUndo);
  });
  if (ed.Lines()->Text() != opened)
    std::printf("Fehler: nach dem Rueckgaengigmachen weicht die Seite ab (%d statt %d Zeilen)\n", ed.Lines()->Count(), f.lines);
  return f;
}

// Per-keystroke time in a 50 KB page over that in a 5 MB page (as the table's ratios: the peer's
// time over ours), the lower of typing at the end and in the middle: both pages open at once and
// typed into in turns, batch by batch, so that a change in the machine's load falls on both.
double KeystrokeRatioInTurns() {
  Editor small, large;
  for (Editor* ed : {&small, &large}) {
    ed->SetVisibleCounts(100, 40);
    ed->Lines()->SetText(MakePage(ed == &small ? 50 * 1024 : 5 * 1024 * 1024));
  }
  auto type = [](Editor& ed, int i) { ed.ExecCommand('a' + i % 26); };
  auto atEnd = [](Editor& ed) {
    ed.ExecCommand(ecEndDoc);
    ed.ExecCommand(ecUp);
    ed.ExecCommand(ecEndLine);
  };
  auto inMiddle = [](Editor& ed) { ed.SetCaret(10, 3 + (ed.Lines()->Count() / 2) / 5 * 5 + 1); };
  double ratio = 1e9;
  const std::function<void(Editor&)> places[] = {atEnd, inMiddle};
  for (const std::function<void(Editor&)>& place : places) {
    place(small);
    place(large);
    double bestSmall = 1e9, bestLarge = 1e9;
    for (int round = 0, i = 0; round < 20; ++round) {
      for (Editor* ed : {&small, &large}) {
        const double t = Seconds([&] {
          for (int k = 0; k < 100; ++k) type(*ed, i + k);
        });
        double& best = ed == &small ? bestSmall : bestLarge;
        best = std::min(best, t / 100);
      }
      i += 100;
    }
    ratio = std::min(ratio, bestSmall / bestLarge);
  }
  return ratio;
}

}  // namespace

int main() {
  Run(50 * 1024);  // warms caches and the allocator
  Figures small = Run(50 * 1024), large = Run(5 * 1024 * 1024);
  std::printf("Editor-Modell mit HTML-Hervorhebung: Seite 50 KB (%d Zeilen) gegen 5 MB (%d Zeilen)\n", small.lines,
              large.lines);
  std::printf("%-34s %12s %12s %8s\n", "", "50 KB", "5 MB", "5MB/50KB");
  auto row = [](const char* what, double a, double b, double scale, const char* unit) {
    std::printf("%-34s %9.2f %-2s %9.2f %-2s %8.2f\n", what, a * scale, unit, b * scale, unit, b / a);
  };
  row("Oeffnen", small.open, large.open, 1e3, "ms");
  row("Tastenanschlag am Ende", small.keyEnd, large.keyEnd, 1e6, "us");
  row("Tastenanschlag in der Mitte", small.keyMiddle, large.keyMiddle, 1e6, "us");
  row("Zeilenumbruch (Enter)", small.enter, large.enter, 1e6, "us");
  row("100 KB einfuegen", small.paste, large.paste, 1e3, "ms");
  row("alles rueckgaengig", small.undo, large.undo, 1e3, "ms");
  // The verdict is the table's: its ratio, to the two places the table shows, against its aim.
  const double aim = 0.9, ratio = std::round(KeystrokeRatioInTurns() * 100) / 100;
  std::printf("Tastenanschlag 50 KB / 5 MB, beide Seiten abwechselnd gemessen: %.2f (Ziel %.2f): %s\n", ratio, aim,
              ratio >= aim ? "ok" : "VERFEHLT");
  bench::Row("keystroke in a 5 MB page against a 50 KB page", "itself", ratio, aim);
  // The figures are a report: a busy machine must not stop the other benchmarks.
  return 0;
}
