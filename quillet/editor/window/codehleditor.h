// TCodeHLEditor: the code editor with per-language colouring. The colouring of each painted
// line and the per-line states of multi-line constructs are the highlighter's
// (TSyntaxHighlighter); this class connects it to the editor's text and notifications.
#pragma once

#include "codeeditor.h"
#include "highlighter.h"

using TOnReservedWord = std::function<void(TObject* Sender, const String& Token, bool& Reserved)>;

class TCodeHLEditor : public TCodeEditor {
public:
  explicit TCodeHLEditor(TComponent* AOwner);
  const char* ClassName() const override { return "TCodeHLEditor"; }

  THighLighter HighLighter() const { return FHighlighter.HighLighter(); }
  void SetHighLighter(THighLighter Value);
  TColors* Colors() { return &FHighlighter.Colors(); }
  void SetColors(TColors* Value) { FHighlighter.Colors().Assign(Value); Invalidate(); }
  bool LongTokens() const { return FHighlighter.LongTokens(); }
  void SetLongTokens(bool Value);
  TOnReservedWord OnReservedWord;

  // When OnReservedWord is assigned: Reserved = false, the handler decides, true returned.
  virtual bool DoReservedWord(const String& Token, bool& Reserved);
  virtual bool IsReservedWordHandler() const { return bool(OnReservedWord); }

  // The state at the start of a line (for tests and the application).
  uint8_t LineState(int Line) const { return FHighlighter.LineState(Line); }

  void TextModified(int Pos, TTextAction Action, const String& Text) override;
  void TextReplaced(bool ClearSelectionFlag) override;

protected:
  void GetAttr(int Line, int First, int Last) override;
  void Loaded() override;

private:
  class TLinesAdapter : public THighlightLines {
  public:
    explicit TLinesAdapter(TCodeHLEditor* e) : E(e) {}
    int LineCount() const override { return E->Lines()->Count(); }
    const std::string& LineText(int i) const override { return E->Lines()->Line(i); }

  private:
    TCodeHLEditor* E;
  };
  class THighlighter : public TSyntaxHighlighter {
  public:
    explicit THighlighter(TCodeHLEditor* e) : E(e) {}
    bool DoReservedWord(const std::string& token, bool& reserved) override {
      return E->DoReservedWord(token, reserved);
    }
    bool HasReservedWordHandler() const override { return E->IsReservedWordHandler(); }

  private:
    TCodeHLEditor* E;
  };
  void Rescan();

  TLinesAdapter FLinesAdapter{this};
  THighlighter FHighlighter{this};
  int FLineCount = 0;       // the line count at the last notification
  bool FReplacing = false;  // inside TextReplaced: the whole text is rescanned there
};
