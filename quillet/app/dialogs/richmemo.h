// TRichMemo: a read-only rich edit 2.0 box ("RichEdit20A") with a vertical scroll bar, for the
// font dialog's list of installed fonts: lines are appended one by one, each in its own face.
#pragma once

#include "stdctrls.h"

class TRichMemo : public TStdControl {
public:
  explicit TRichMemo(TComponent* AOwner);
  const char* ClassName() const override { return "TRichMemo"; }
  void Clear();
  // Sets the face of the current text attributes: the selection's when text is selected, else
  // the default attributes.
  void SetCurrentFace(const String& Face);
  void AppendLine(const String& Line);
  int LineCount() const;
  String Line(int Index) const;
  // The line that holds the caret.
  int CaretLine() const;

protected:
  void CreateParams(TCreateParams& p) override;

private:
  int FLines = 0;
};
