// TColorButton in a real window under Wine: bevel colours read back from the painted pixels,
// the pressed look, keys, mouse, accelerator and the disabled button.
#include <gtest/gtest.h>

#include <set>

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

}  // namespace
