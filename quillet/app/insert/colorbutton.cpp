#include "colorbutton.h"

#include <algorithm>

TColorButton::TColorButton(TComponent* AOwner) : TCustomControl(AOwner) {
  FColor = clBtnFace;
  FWidth = 75;
  FHeight = 25;
  FEnabled = true;
  FTabStop = true;
}

void TColorButton::SetSpacing(int v) {
  v = std::max(v, 0);
  if (v == FSpacing) return;
  FSpacing = v;
  Invalidate();
}

void TColorButton::SetEnabled(bool v) {
  TCustomControl::SetEnabled(v);
  FState = v ? bsUp : bsDisabled;
  Invalidate();
}

void TColorButton::Loaded() {
  TCustomControl::Loaded();
  FState = Enabled() ? bsUp : bsDisabled;
}

TColor TColorButton::Lighter(TColor C) {
  const uint32_t c = uint32_t(ColorToRGB(C));
  auto up = [](uint32_t v) { return std::min<uint32_t>(v + 64, 255); };
  return TColor(up(c & 0xFF) | up((c >> 8) & 0xFF) << 8 | up((c >> 16) & 0xFF) << 16);
}

TColor TColorButton::Darker(TColor C) {
  const uint32_t c = uint32_t(ColorToRGB(C));
  auto down = [](uint32_t v) { return v >= 64 ? v - 64 : 0; };
  return TColor(down(c & 0xFF) | down((c >> 8) & 0xFF) << 8 | down((c >> 16) & 0xFF) << 16);
}

char TColorButton::Accelerator() const {
  const size_t p = FCaption.find('&');
  if (p == String::npos || p + 1 >= FCaption.size()) return 0;
  return AnsiUpperChar(FCaption[p + 1]);
}

void TColorButton::OnSetFocus() {
  TCustomControl::OnSetFocus();
  FFocused = true;
  Invalidate();
}

void TColorButton::OnKillFocus() {
  TCustomControl::OnKillFocus();
  FFocused = false;
  FKeyDown = 0;
  if (FState == bsDown) FState = bsUp;
  Invalidate();
}

// A key clicks the button only when it also went down on it: the release of a Return that closed
// a dialog (one this button opened, or a message box) lands on the button, which must not open
// that dialog again.
void TColorButton::KeyDown(Word& Key, TShiftState Shift) {
  TCustomControl::KeyDown(Key, Shift);
  if ((Key == VK_SPACE || Key == VK_RETURN) && Enabled()) FKeyDown = Key;
  if (Key == VK_SPACE && Enabled()) {
    FState = bsDown;
    Invalidate();
  }
}

void TColorButton::KeyUp(Word& Key, TShiftState Shift) {
  TCustomControl::KeyUp(Key, Shift);
  const bool pressedHere = Key == FKeyDown;
  if (Key == VK_SPACE || Key == VK_RETURN) FKeyDown = 0;
  if (Key == VK_SPACE && Enabled()) {
    FState = bsUp;
    Invalidate();
    if (pressedHere) Click();
  } else if (Key == VK_RETURN && FState != bsDisabled && pressedHere) {
    Click();
  }
}

void TColorButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Enabled()) {
    FState = bsDown;
    Invalidate();
  }
  TCustomControl::MouseDown(Button, Shift, X, Y);
}

void TColorButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Enabled()) {
    FState = bsUp;
    Invalidate();
  }
  TCustomControl::MouseUp(Button, Shift, X, Y);
}

bool TColorButton::CommandNotify(int Code, int Id) {
  if (Code != BN_CLICKED || Id != IDOK || !Default || !Enabled()) return false;
  Click();
  return true;
}

bool TColorButton::DialogChar(char Ch) {
  if (!Accelerator() || AnsiUpperChar(Ch) != Accelerator() || !Enabled()) return false;
  Click();
  return true;
}

LRESULT TColorButton::WndProc(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_LBUTTONUP: {
      // A click is a release over the button after a press on it.
      const bool wasDown = FState == bsDown;
      const int x = short(LOWORD(l)), y = short(HIWORD(l));
      if (GetCapture() == FHandle) ReleaseCapture();
      MouseUp(mbLeft, MouseShiftState(w), x, y);
      if (wasDown && Enabled() && x >= 0 && y >= 0 && x < Width() && y < Height()) Click();
      return 0;
    }
    case WM_MOUSEACTIVATE:
      break;
    case WM_LBUTTONDOWN:
      if (FHandle && Enabled() && GetFocus() != FHandle) SetFocus();
      break;
    case WM_SYSCHAR:
    case WM_CHAR:
      if ((msg == WM_SYSCHAR || (GetKeyState(VK_MENU) & 0x8000)) && DialogChar(char(w))) return 0;
      break;
    case WM_GETDLGCODE: {
      // Return on the focused button is the button's own: the dialog's key handling would turn
      // its press into the default button's command, and the button would see only the release.
      LRESULT code = TCustomControl::WndProc(msg, w, l);
      const MSG* m = reinterpret_cast<const MSG*>(l);
      if (m && m->message == WM_KEYDOWN && m->wParam == VK_RETURN && Enabled()) code |= DLGC_WANTMESSAGE;
      return code;
    }
    case WM_ENABLE:
      FState = w ? bsUp : bsDisabled;
      Invalidate();
      break;
    default:
      break;
  }
  return TCustomControl::WndProc(msg, w, l);
}

void TColorButton::Paint() {
  TCanvas* c = Canvas();
  if (!Enabled()) FState = bsDisabled;
  else if (FState == bsDisabled) FState = bsUp;
  if (!FPicture.Empty() && (FStyle & bsAutoSize)) {
    const int w = FPicture.Width() + 2 * FBevelSize, h = FPicture.Height() + 2 * FBevelSize;
    if (w != Width() || h != Height()) SetBounds(Left(), Top(), w, h);
  }
  TRect r(0, 0, Width(), Height());
  c->Font()->Assign(Font());
  c->Brush()->SetStyle(bsSolid);
  c->Brush()->SetColor(Color());
  c->FillRect(r);
  if (FBevelStyle != bbNone) {
    const bool lightTopLeft = (FState == bsDown) == (FBevelStyle == bbLowered);
    const TColor light = Lighter(Color()), dark = Darker(Color());
    const TColor tl = lightTopLeft ? light : dark, br = lightTopLeft ? dark : light;
    for (int i = 0; i < FBevelSize; ++i) {
      c->Pen()->SetColor(tl);
      c->MoveTo(r.left + i, r.bottom - 1 - i);
      c->LineTo(r.left + i, r.top + i);
      c->LineTo(r.right - 1 - i, r.top + i);
      c->Pen()->SetColor(br);
      c->LineTo(r.right - 1 - i, r.bottom - 1 - i);
      c->LineTo(r.left + i, r.bottom - 1 - i);
    }
    r = TRect(r.left + FBevelSize, r.top + FBevelSize, r.right - FBevelSize, r.bottom - FBevelSize);
  }
  if (FFocused && (FStyle & bsShowFocus) && Enabled()) {
    RECT fr = {r.left + FSpacing - 1, r.top + FSpacing - 1, r.right - FSpacing + 1, r.bottom - FSpacing + 1};
    DrawFocusRect(c->Handle(), &fr);
  }
  const int M = FBevelSize + FSpacing;
  if (!FPicture.Empty()) {
    const int PW = FPicture.Width(), PH = FPicture.Height();
    TRect pr;
    if (FStyle & bsStretch) {
      pr = TRect(M, M, Width() - M, Height() - M);
    } else {
      int x = (Width() - PW) / 2, y = (Height() - PH) / 2;
      if (!(FStyle & bsCenter)) {
        switch (FAlignment) {
          case alTopLeft: case alTopCenter: case alTopRight: y = Height() - M - PH; break;
          case alMiddleLeft: x = Width() - M - PW; break;
          case alMiddleRight: x = M; break;
          case alBottomLeft: case alBottomCenter: case alBottomRight: y = M; break;
          default: break;
        }
      }
      pr = TRect(x, y, x + PW, y + PH);
    }
    c->StretchDraw(pr, FPicture.Graphic());
  } else {
    c->Brush()->SetColor(Color());
    c->FillRect(TRect(FBevelSize, FBevelSize, Width() - FBevelSize, Height() - FBevelSize));
  }
  if (!FCaption.empty()) {
    c->Brush()->SetStyle(bsClear);
    if (Enabled() || (ComponentState() & csDesigning)) {
      DrawCaption(0);
    } else {
      const TColor saved = c->Font()->Color();
      c->Font()->SetColor(Lighter(Color()));
      DrawCaption(1);
      c->Font()->SetColor(Darker(Color()));
      DrawCaption(0);
      c->Font()->SetColor(saved);
    }
  }
}

void TColorButton::DrawCaption(int O) {
  TCanvas* c = Canvas();
  String text = FCaption;
  const size_t amp = text.find('&');
  const int P = amp == String::npos ? 0 : int(amp) + 1;
  if (amp != String::npos) text.erase(amp, 1);
  const int TW = c->TextWidth(text), TH = c->TextHeight(text);
  const int M = FBevelSize + FSpacing;
  const int col = int(FAlignment) % 3, row = int(FAlignment) / 3;
  const int X = col == 0 ? M + O : col == 1 ? (Width() - 2 * M - TW) / 2 + M + O : Width() - M - TW + O;
  const int Y = row == 0 ? M + O : row == 1 ? (Height() - 2 * M - TH) / 2 + M + O : Height() - M - TH + O;
  SetBkMode(c->Handle(), TRANSPARENT);
  c->TextOut(X, Y, text);
  if (P > 0 && (FStyle & bsShowKey) && size_t(P) <= text.size()) {
    const int x1 = X + c->TextWidth(text.substr(0, size_t(P - 1)));
    const int x2 = X + c->TextWidth(text.substr(0, size_t(P)));
    const int y = Y + c->TextHeight("ABC");
    c->Pen()->SetColor(c->Font()->Color());
    c->MoveTo(x1, y);
    c->LineTo(x2, y);
  }
}
