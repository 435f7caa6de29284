// TColorButton in a real window under Wine: bevel colours read back from the painted pixels,
// the pressed look, keys (only those that went down on the button click it), mouse, accelerator
// and the disabled button.
#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

#include "bitmap.h"
#include "colorbutton.h"
#include "stdctrls.h"
#include "test_host.h"

namespace {

constexpr TColor Face = TColor(100 | 150 << 8 | 200 << 16);  // RGB(100, 150, 200)

class ColorButton : public ::testing::Test {
protected:
  TTestHost Host{30, 30, 300, 200};
  TColorButton* B = nullptr;
  int Clicks = 0;

  void SetUp() override {
    B = new TColorButton(&Host);
    B->SetParent(&Host);
    B->SetBounds(10, 10, 120, 40);
    B->SetColor(Face);
    B->OnClick = [this](TObject*) { ++Clicks; };
    Host.Handle();
    Pump();
  }
  void TearDown() override { delete B; }
  void Pump() {
    ProcessMessages();
    B->Update();
  }
  COLORREF Pixel(int x, int y) {
    Pump();
    HDC dc = GetDC(B->Handle());
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(B->Handle(), dc);
    return c;
  }
  std::set<COLORREF> Colours(int x0, int y0, int x1, int y1) {
    Pump();
    std::set<COLORREF> s;
    HDC dc = GetDC(B->Handle());
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) s.insert(GetPixel(dc, x, y));
    ReleaseDC(B->Handle(), dc);
    return s;
  }
  void Key(UINT msg, WPARAM vk) { SendMessageA(B->Handle(), msg, vk, 1); }
};

TEST(ColorButtonColours, LighterAndDarkerAreCapped) {
  EXPECT_EQ(TColorButton::Lighter(Face), TColor(164 | 214 << 8 | 255 << 16));
  EXPECT_EQ(TColorButton::Darker(Face), TColor(36 | 86 << 8 | 136 << 16));
  EXPECT_EQ(TColorButton::Lighter(clWhite), clWhite);
  EXPECT_EQ(TColorButton::Darker(TColor(0x203F40)), TColor(0x000000));
}

TEST_F(ColorButton, DefaultsAndClampedValues) {
  TColorButton b(nullptr);
  EXPECT_EQ(b.Width(), 75);
  EXPECT_EQ(b.Height(), 25);
  EXPECT_EQ(b.BevelSize(), 2);
  EXPECT_EQ(b.Spacing(), 2);
  EXPECT_EQ(b.Style(), bsCenter | bsShowFocus | bsShowKey);
  EXPECT_EQ(b.Alignment(), alMiddleCenter);
  EXPECT_EQ(b.BevelStyle(), bbRaised);
  b.SetBevelSize(0);
  EXPECT_EQ(b.BevelSize(), 1);
  b.SetBevelSize(-5);
  EXPECT_EQ(b.BevelSize(), 1);
  b.SetSpacing(-3);
  EXPECT_EQ(b.Spacing(), 0);
}

TEST_F(ColorButton, BevelFollowsStateAndStyle) {
  const COLORREF light = COLORREF(TColorButton::Lighter(Face)), dark = COLORREF(TColorButton::Darker(Face));
  // Raised and up: light top-left, dark bottom-right.
  EXPECT_EQ(Pixel(0, 0), light);
  EXPECT_EQ(Pixel(119, 39), dark);
  EXPECT_EQ(Pixel(1, 20), light);
  // Pressed: the sunken look.
  SendMessageA(B->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  EXPECT_EQ(B->State(), TColorButton::bsDown);
  EXPECT_EQ(Pixel(0, 0), dark);
  EXPECT_EQ(Pixel(119, 39), light);
  // A lowered bevel pressed shows the raised look.
  B->SetBevelStyle(bbLowered);
  EXPECT_EQ(Pixel(0, 0), light);
  SendMessageA(B->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(Pixel(0, 0), dark);
  // No bevel: the face colour up to the edge.
  B->SetBevelStyle(bbNone);
  EXPECT_EQ(Pixel(0, 0), COLORREF(Face));
}

TEST_F(ColorButton, KeysMouseAndAccelerator) {
  B->SetCaption("&Klick");
  Key(WM_KEYDOWN, VK_SPACE);
  EXPECT_EQ(B->State(), TColorButton::bsDown);
  EXPECT_EQ(Clicks, 0);
  Key(WM_KEYUP, VK_SPACE);
  EXPECT_EQ(Clicks, 1);
  Key(WM_KEYDOWN, VK_RETURN);
  EXPECT_EQ(Clicks, 1);
  Key(WM_KEYUP, VK_RETURN);
  EXPECT_EQ(Clicks, 2);
  SendMessageA(B->Handle(), WM_SYSCHAR, 'k', 1);
  EXPECT_EQ(Clicks, 3);
  SendMessageA(B->Handle(), WM_SYSCHAR, 'x', 1);
  EXPECT_EQ(Clicks, 3);
  // A release outside the button is no click.
  SendMessageA(B->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(B->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(500, 5));
  EXPECT_EQ(Clicks, 3);

  B->SetEnabled(false);
  EXPECT_EQ(B->State(), TColorButton::bsDisabled);
  Key(WM_KEYDOWN, VK_SPACE);
  Key(WM_KEYDOWN, VK_RETURN);
  Key(WM_KEYUP, VK_SPACE);
  Key(WM_KEYUP, VK_RETURN);
  SendMessageA(B->Handle(), WM_SYSCHAR, 'k', 1);
  SendMessageA(B->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  SendMessageA(B->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(Clicks, 3);
  B->SetEnabled(true);
  EXPECT_EQ(B->State(), TColorButton::bsUp);
}

TEST_F(ColorButton, PictureOfThePictureContainerIsDrawnCentred) {
  // A 10 x 6 red bitmap, centred on the 120 x 40 button: (55, 17) .. (64, 22); the face around it.
  TBitmap red;
  red.SetPixelFormat(pf24bit);
  red.SetSize(10, 6);
  red.Fill(TColor(0x0000FF));
  B->SetStyle(bsCenter);
  TPicture pic;
  pic.SetGraphic(&red);
  B->SetPicture(&pic);
  EXPECT_EQ(10, B->Picture()->Width());
  EXPECT_EQ(RGB(255, 0, 0), Pixel(55, 17));
  EXPECT_EQ(RGB(255, 0, 0), Pixel(64, 22));
  EXPECT_EQ(COLORREF(Face), Pixel(54, 17));
  EXPECT_EQ(COLORREF(Face), Pixel(65, 23));
}

TEST_F(ColorButton, DisabledCaptionIsEngraved) {
  B->SetCaption("WWWW");
  B->Font()->SetColor(clBlack);
  const auto enabled = Colours(4, 4, 116, 36);
  EXPECT_TRUE(enabled.count(RGB(0, 0, 0)));
  EXPECT_FALSE(enabled.count(COLORREF(TColorButton::Darker(Face))));
  B->SetEnabled(false);
  const auto disabled = Colours(4, 4, 116, 36);
  EXPECT_FALSE(disabled.count(RGB(0, 0, 0)));
  EXPECT_TRUE(disabled.count(COLORREF(TColorButton::Lighter(Face))));
  EXPECT_TRUE(disabled.count(COLORREF(TColorButton::Darker(Face))));
}

TEST_F(ColorButton, AcceleratorUnderlinedOnlyWithShowKey) {
  B->Font()->SetColor(clBlack);
  B->SetCaption("&W");
  auto count = [&] {
    Pump();
    HDC dc = GetDC(B->Handle());
    int black = 0;
    for (int y = 4; y < 36; ++y)
      for (int x = 4; x < 116; ++x) black += GetPixel(dc, x, y) == RGB(0, 0, 0);
    ReleaseDC(B->Handle(), dc);
    return black;
  };
  const int withKey = count();
  B->SetStyle(bsCenter);
  const int withoutKey = count();
  EXPECT_GT(withKey, withoutKey);
  B->SetCaption("W");
  EXPECT_EQ(count(), withoutKey);  // the "&" itself is never drawn
}

TEST(ColorButtonOnAForm, AltAndTheAcceleratorClicksFromAnyControl) {
  TApplication app;
  app.Initialize();
  TForm form(nullptr);
  form.SetBorderStyle(fbSingle);
  form.Show();
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  auto* b = new TColorButton(&form);
  b->SetCaption("\xDC" "&bernehmen");
  b->SetBounds(10, 40, 100, 25);
  b->SetParent(&form);
  int clicks = 0;
  b->OnClick = [&](TObject*) { ++clicks; };
  form.Handle();
  SetActiveWindow(form.Handle());
  edit->SetFocus();
  app.ProcessMessages();
  PostMessageA(edit->Handle(), WM_SYSCHAR, 'B', 1 << 29);
  app.ProcessMessages();
  EXPECT_EQ(clicks, 1);
  PostMessageA(edit->Handle(), WM_SYSCHAR, 'x', 1 << 29);
  app.ProcessMessages();
  EXPECT_EQ(clicks, 1);
  b->SetEnabled(false);
  PostMessageA(edit->Handle(), WM_SYSCHAR, 'b', 1 << 29);
  app.ProcessMessages();
  EXPECT_EQ(clicks, 1);
}

// A key clicks only when it went down on the button: the release of a Return or Space that
// went down elsewhere (in a dialog the button opened, which that key closed) does nothing, and
// a press is forgotten when the focus leaves. Return on the focused button is the button's own,
// not the dialog's default command.
TEST_F(ColorButton, AKeyClicksOnlyWhenItWentDownOnTheButton) {
  struct TCase {
    const char* Name;
    std::vector<std::pair<UINT, WPARAM>> Keys;
    bool LoseFocusBeforeRelease;
    int Clicks;
  } cases[] = {
      {"Return released only", {{WM_KEYUP, VK_RETURN}}, false, 0},
      {"Space released only", {{WM_KEYUP, VK_SPACE}}, false, 0},
      {"Return pressed and released", {{WM_KEYDOWN, VK_RETURN}, {WM_KEYUP, VK_RETURN}}, false, 1},
      {"Return held (repeated) and released",
       {{WM_KEYDOWN, VK_RETURN}, {WM_KEYDOWN, VK_RETURN}, {WM_KEYUP, VK_RETURN}}, false, 1},
      {"Space pressed, Return released", {{WM_KEYDOWN, VK_SPACE}, {WM_KEYUP, VK_RETURN}}, false, 0},
      {"Return pressed, focus gone, released", {{WM_KEYDOWN, VK_RETURN}, {WM_KEYUP, VK_RETURN}}, true, 0},
      {"Return released twice", {{WM_KEYDOWN, VK_RETURN}, {WM_KEYUP, VK_RETURN}, {WM_KEYUP, VK_RETURN}}, false, 1},
  };
  auto* other = new TEdit(&Host);
  other->SetBounds(10, 80, 100, 22);
  other->SetParent(&Host);
  for (const TCase& c : cases) {
    B->SetFocus();
    Clicks = 0;
    for (size_t i = 0; i < c.Keys.size(); ++i) {
      if (c.LoseFocusBeforeRelease && c.Keys[i].first == WM_KEYUP) {
        other->SetFocus();
        B->SetFocus();
      }
      Key(c.Keys[i].first, c.Keys[i].second);
    }
    Key(WM_KEYUP, VK_SPACE);  // what is left of a press ends here
    EXPECT_EQ(Clicks, c.Clicks) << c.Name;
    Clicks = 0;
  }
  // The dialog's key handling leaves Return on the focused button to the button.
  MSG m = {B->Handle(), WM_KEYDOWN, VK_RETURN, 1, 0, {0, 0}};
  EXPECT_TRUE(SendMessageA(B->Handle(), WM_GETDLGCODE, VK_RETURN, LPARAM(&m)) & DLGC_WANTMESSAGE);
  m.wParam = VK_TAB;
  EXPECT_FALSE(SendMessageA(B->Handle(), WM_GETDLGCODE, VK_TAB, LPARAM(&m)) & DLGC_WANTMESSAGE);
}

}  // namespace
