// A model with a recording view and a memory clipboard, and helpers to drive it.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "editor_model.h"

// Logs every notification of the model in order: "TextModified 3 0 x", "OnChange",
// "OnChangeStatus", "Beep", "Post 363", ... and counts hidden carets.
struct RecordingView : IEditorView {
  std::vector<String> log;
  int hidden = 0;
  bool postLater = false;  // keep posted commands in `posted` instead of running them
  std::vector<int> posted;
  // When set: the undo buffer's size each TextModified saw (records come first).
  TEditorModel* model = nullptr;
  std::vector<int> undoCountAtTextModified;

  void HideCaret() override { ++hidden; }
  void ShowCaret() override { --hidden; }
  void Beep() override { log.push_back("Beep"); }
  void UpdateGeometry() override { log.push_back("Geometry"); }
  void ViewScrolled(int, int) override { log.push_back("Scrolled"); }
  void RepaintGutter() override { log.push_back("Gutter"); }
  bool PostCommand(int c) override {
    log.push_back("Post " + IntToStr(c));
    if (!postLater) return false;
    posted.push_back(c);
    return true;
  }
  void CompletionCharTyped(char c, bool after) override {
    log.push_back(String("Completion ") + c + (after ? " after" : " before"));
  }
  void CompletionCommand(int c) override { log.push_back("CompletionCommand " + IntToStr(c)); }
  void TextModified(int pos, TTextAction a, const String& text) override {
    log.push_back("TextModified " + IntToStr(pos) + " " + IntToStr(a) + " " + text);
    if (model) undoCountAtTextModified.push_back(model->UndoBuffer()->Count());
  }
  // Only the entries that start with one of the prefixes.
  std::vector<String> Only(std::initializer_list<const char*> prefixes) const;
};

class EditorTest : public ::testing::Test {
protected:
  EditorTest();
  void SetText(const String& text);           // Lines.Text, then the log is cleared
  String Text() const { return ed.Lines()->Text(); }
  String Line(int y) const { return ed.Lines()->Strings(y); }
  void Type(const String& chars);             // each character through ExecCommand
  void Cmd(int command) { ed.ExecCommand(command); }
  void Cmds(std::initializer_list<int> commands);
  // A key down (and the character it would produce, when not 0) as the window delivers them.
  void Press(Word key, TShiftState shift = {}, char ch = 0);
  void Select(int bx, int by, int ex, int ey) { ed.SetSelection(bx, by, ex, ey); }
  void ExpectCaret(int x, int y) const;
  std::vector<String> UndoClasses() const;    // class names of the buffer's records

  TEditorModel ed;
  RecordingView view;
  TMemoryClipboard clip;
};
