// The control layer driven under Wine: windows made from controls, painting read back as
// pixels, graphic children's clicks, the exception firewall, timers, the clipboard, the
// owner-drawn list box and the control found from a window.
#include <gtest/gtest.h>

#include <memory>

#include "child_process.h"
#include "clipboard.h"
#include "controls.h"
#include "listbox.h"
#include "timer.h"
#include "window_driver.h"
#include "test_host.h"

namespace {

// A top-level window to hold the controls under test.
class TRedBox : public TCustomControl {
public:
  explicit TRedBox(TComponent* o) : TCustomControl(o) {}
  const char* ClassName() const override { return "TRedBox"; }
  bool ThrowInPaint = false;
  int Clicks = 0;
  Word LastKey = 0;

protected:
  void Paint() override {
    if (ThrowInPaint) {
      ThrowInPaint = false;
      throw EInvalidOperation("Zeichnen fehlgeschlagen");
    }
    Canvas()->Brush()->SetColor(clRed);
    Canvas()->FillRect(TRect(0, 0, ClientWidth(), ClientHeight()));
  }
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override {
    ++Clicks;
    if (x == 13) throw Exception("Klick abgelehnt");
  }
  void KeyDown(Word& key, TShiftState s) override { LastKey = key; }
};

struct TMessages {
  std::vector<String> Shown;
  TMessages() { SetExceptionHandler([this](const String& m) { Shown.push_back(m); }); }
  ~TMessages() { SetExceptionHandler(nullptr); }
};

COLORREF ScreenPixel(HWND w, int x, int y) {
  HDC dc = GetDC(w);
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(w, dc);
  return c;
}

TEST(Controls, ChildPaintsAndFillsItsParentWhenAlignedToClient) {
  TTestHost host{50, 50, 300, 200};
  TRedBox box(&host);
  box.SetParent(&host);
  box.SetAlign(alClient);
  host.Handle();
  ProcessMessages();
  EXPECT_EQ(box.Width(), host.ClientWidth());
  EXPECT_EQ(box.Height(), host.ClientHeight());
  box.Repaint();
  EXPECT_EQ(ScreenPixel(box.Handle(), 5, 5), RGB(255, 0, 0));
  host.SetBounds(50, 50, 400, 300);
  ProcessMessages();
  EXPECT_EQ(box.Width(), host.ClientWidth());
}

TEST(Controls, ExceptionInAHandlerIsShownAndTheWindowGoesOn) {
  TMessages messages;
  TTestHost host{50, 50, 300, 200};
  TRedBox box(&host);
  box.SetParent(&host);
  box.SetBounds(0, 0, 100, 100);
  host.Handle();
  box.ThrowInPaint = true;
  box.Repaint();
  ASSERT_EQ(messages.Shown.size(), 1u);
  EXPECT_EQ(messages.Shown[0], "Zeichnen fehlgeschlagen");
  SendMessageA(box.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(13, 5));
  SendMessageA(box.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(13, 5));
  ASSERT_EQ(messages.Shown.size(), 2u);
  EXPECT_EQ(messages.Shown[1], "Klick abgelehnt");
  // The window still works.
  SendMessageA(box.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
  EXPECT_EQ(box.Clicks, 2);
  SendMessageA(box.Handle(), WM_KEYDOWN, VK_LEFT, 0);
  EXPECT_EQ(box.LastKey, VK_LEFT);
  box.Repaint();
  EXPECT_EQ(ScreenPixel(box.Handle(), 5, 5), RGB(255, 0, 0));
}

TEST(Controls, TimerTicksAndAFailingTickIsShown) {
  TMessages messages;
  TTimer timer;
  int ticks = 0;
  timer.OnTimer = [&](TObject*) {
    if (++ticks == 1) throw Exception("Zeitgeber fehlgeschlagen");
  };
  timer.SetInterval(10);
  timer.SetEnabled(false);
  timer.SetEnabled(true);
  const DWORD start = GetTickCount();
  while (ticks < 2 && GetTickCount() - start < 5000) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    ProcessMessages();
  }
  timer.SetEnabled(false);
  EXPECT_GE(ticks, 2);
  ASSERT_FALSE(messages.Shown.empty());
  EXPECT_EQ(messages.Shown[0], "Zeitgeber fehlgeschlagen");
}

TEST(Controls, ClipboardTextRoundTrip) {
  ASSERT_TRUE(TClipboard::SetText("Grüße\r\nzwei"));
  String text;
  ASSERT_TRUE(TClipboard::GetText(text));
  EXPECT_EQ(text, "Grüße\r\nzwei");
  EXPECT_TRUE(TClipboard::HasText());
}

TEST(Controls, OwnerDrawnListBoxDrawsThroughItsEvent) {
  TTestHost host{50, 50, 300, 200};
  TListBox list(&host);
  list.SetParent(&host);
  list.SetBounds(0, 0, 200, 100);
  list.SetStyle(lbOwnerDrawFixed);
  list.SetItemHeight(20);
  std::vector<int> drawn;
  list.OnDrawItem = [&](TWinControl*, int index, const TRect& r, TOwnerDrawState state) {
    drawn.push_back(index);
    list.Canvas()->Brush()->SetColor(index == 1 ? clBlue : clWhite);
    list.Canvas()->FillRect(r);
  };
  list.Items()->Add("eins");
  list.Items()->Add("zwei");
  host.Handle();
  list.SetItemIndex(0);
  list.Repaint();
  EXPECT_NE(std::find(drawn.begin(), drawn.end(), 1), drawn.end());
  const TRect r = list.ItemRect(1);
  EXPECT_EQ(r.Height(), 20);
  EXPECT_EQ(ScreenPixel(list.Handle(), r.left + 5, r.top + 5), RGB(0, 0, 255));
  EXPECT_EQ(list.ItemAtPos(5, 25), 1);
  EXPECT_EQ(list.ItemIndex(), 0);
}

// A graphic child clicks as a button does: only when the left press and the release fall on it.
TEST(Controls, GraphicChildClicksOnlyWhenPressedAndReleasedOnIt) {
  struct TCase {
    const char* Name;
    int PressX, ReleaseX;  // 10: child A, 60: child B, 150: beside both
    int ClicksA, ClicksB;
  };
  const TCase cases[] = {
      {"auf A gedrückt und losgelassen", 10, 10, 1, 0},
      {"auf A gedrückt, auf B losgelassen", 10, 60, 0, 0},
      {"daneben gedrückt, auf B losgelassen", 150, 60, 0, 0},
      {"auf B gedrückt, daneben losgelassen", 60, 150, 0, 0},
  };
  for (const TCase& c : cases) {
    TTestHost host{50, 50, 300, 200};
    TCustomControl box(&host);
    box.SetParent(&host);
    box.SetBounds(0, 0, 200, 100);
    TGraphicControl a(&box), b(&box);
    a.SetParent(&box);
    a.SetBounds(0, 0, 40, 40);
    b.SetParent(&box);
    b.SetBounds(50, 0, 40, 40);
    int clicksA = 0, clicksB = 0;
    a.OnClick = [&](TObject*) { ++clicksA; };
    b.OnClick = [&](TObject*) { ++clicksB; };
    SendMessageA(box.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(c.PressX, 10));
    SendMessageA(box.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(c.ReleaseX, 10));
    EXPECT_EQ(clicksA, c.ClicksA) << c.Name;
    EXPECT_EQ(clicksB, c.ClicksB) << c.Name;
  }
}

// A child taken away between press and release leaves no press behind for the next child there.
TEST(Controls, GraphicChildTakenAwayAfterThePressGetsNoClick) {
  TTestHost host{50, 50, 300, 200};
  TCustomControl box(&host);
  box.SetParent(&host);
  box.SetBounds(0, 0, 200, 100);
  int clicks = 0;
  auto first = std::make_unique<TGraphicControl>(&box);
  first->SetParent(&box);
  first->SetBounds(0, 0, 40, 40);
  SendMessageA(box.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  first.reset();
  TGraphicControl second(&box);
  second.SetParent(&box);
  second.SetBounds(0, 0, 40, 40);
  second.OnClick = [&](TObject*) { ++clicks; };
  SendMessageA(box.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(clicks, 0);
  SendMessageA(box.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
  SendMessageA(box.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
  EXPECT_EQ(clicks, 1);
}

}  // namespace

// A window is taken for a control only when it is one of this process's: the property of another
// program's window holds an address in that program.
TEST(Controls, FromHandleFindsOnlyThisProcesssControls) {
  TTestHost host(0, 0, 100, 100);
  EXPECT_EQ(TWinControl::FromHandle(host.Handle()), &host);
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string exe = self;
  exe = exe.substr(0, exe.find_last_of('\\') + 1) + "forms_foreign_window.exe";
  PROCESS_INFORMATION pi = {};
  ASSERT_TRUE(testsupport::StartProcess(exe, "", "", pi)) << exe;
  // The other program sets the property after its window is made: wait for both.
  HWND other = nullptr;
  testsupport::WaitFor([&] {
    other = FindWindowA(nullptr, "Fremdes Steuerelement");
    return other && GetPropA(other, "AstrelControl");
  }, 10000, 50);
  ASSERT_NE(other, nullptr);
  EXPECT_NE(GetPropA(other, "AstrelControl"), nullptr);
  EXPECT_EQ(TWinControl::FromHandle(other), nullptr);
  testsupport::EndProcess(pi, 0, 5000);
}
