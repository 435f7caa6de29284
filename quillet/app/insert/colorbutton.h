// TColorButton: an owner-drawn push button with its own face colour, a bevel whose light and
// dark edges follow that colour, an optional picture and a caption in one of nine places.
#pragma once

#include "controls.h"
#include "forms.h"
#include "picture.h"

enum TAlignment {
  alTopLeft, alTopCenter, alTopRight, alMiddleLeft, alMiddleCenter, alMiddleRight,
  alBottomLeft, alBottomCenter, alBottomRight
};
enum TButtonBevel { bbLowered, bbNone, bbRaised };
enum TButtonStyles { bsAutoSize = 1, bsCenter = 2, bsStretch = 4, bsShowFocus = 8, bsShowKey = 16 };
using TButtonStyle = int;  // a set of TButtonStyles

class TColorButton : public TCustomControl, public TDialogCharTarget {
public:
  explicit TColorButton(TComponent* AOwner);
  const char* ClassName() const override { return "TColorButton"; }

  enum TButtonState { bsUp = 0, bsDown = 1, bsDisabled = 2 };

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment v) { FAlignment = v; Invalidate(); }
  TButtonBevel BevelStyle() const { return FBevelStyle; }
  void SetBevelStyle(TButtonBevel v) { FBevelStyle = v; Invalidate(); }
  int BevelSize() const { return FBevelSize; }
  void SetBevelSize(int v) { FBevelSize = v < 1 ? 1 : v; Invalidate(); }
  void SetColor(TColor v) override { TCustomControl::SetColor(v); Invalidate(); }
  TPicture* Picture() { return &FPicture; }
  void SetPicture(TPicture* v) { if (v != &FPicture) FPicture.Assign(v); Invalidate(); }
  int Spacing() const { return FSpacing; }
  void SetSpacing(int v);
  TButtonStyle Style() const { return FStyle; }
  void SetStyle(TButtonStyle v) { if (v != FStyle) { FStyle = v; Invalidate(); } }
  const String& Caption() const { return FCaption; }
  void SetCaption(const String& v) { FCaption = v; Invalidate(); }
  void SetEnabled(bool v) override;
  TButtonState State() const { return FState; }
  bool IsFocused() const { return FFocused; }
  void Click() { FireEvent(OnClick, this); }
  // The form's default button: Return in the form (outside a control that takes Return itself)
  // clicks it.
  bool Default = false;
  bool AnswersDialogCommand(int Id) const override { return Id == IDOK && Default && Enabled(); }
  bool CommandNotify(int Code, int Id) override;

  // The lighter and darker colours of the bevel and the engraved caption.
  static TColor Lighter(TColor C);
  static TColor Darker(TColor C);

  LRESULT WndProc(UINT msg, WPARAM w, LPARAM l) override;
  bool DialogChar(char Ch) override;

protected:
  void Paint() override;
  void Loaded() override;
  void OnSetFocus() override;
  void OnKillFocus() override;
  void KeyDown(Word& Key, TShiftState Shift) override;
  void KeyUp(Word& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void FontChanged() override { TCustomControl::FontChanged(); Invalidate(); }
  UINT DialogCode() override { return DLGC_WANTCHARS | DLGC_BUTTON; }

private:
  void DrawCaption(int Offset);
  char Accelerator() const;
  TAlignment FAlignment = alMiddleCenter;
  TButtonBevel FBevelStyle = bbRaised;
  int FBevelSize = 2;
  TPicture FPicture;
  int FSpacing = 2;
  TButtonStyle FStyle = bsCenter | bsShowFocus | bsShowKey;
  String FCaption;
  bool FFocused = false;
  TButtonState FState = bsUp;
  Word FKeyDown = 0;  // the Space or Return that went down on the button, 0 when none
};
