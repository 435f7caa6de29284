// Virtual-key codes and shift states.
//
// The codes are the platform's; they are defined here (with the platform's spelling, so that
// <windows.h> may come before or after this header) for the portable code that maps keys.
// Digits and letters are their ASCII codes ('0'..'9', 'A'..'Z').
#pragma once

#include <cstdint>
#include <initializer_list>

#ifndef VK_BACK
#define VK_LBUTTON 0x01
#define VK_RBUTTON 0x02
#define VK_CANCEL 0x03
#define VK_MBUTTON 0x04
#define VK_BACK 0x08
#define VK_TAB 0x09
#define VK_CLEAR 0x0C
#define VK_RETURN 0x0D
#define VK_SHIFT 0x10
#define VK_CONTROL 0x11
#define VK_MENU 0x12
#define VK_PAUSE 0x13
#define VK_CAPITAL 0x14
#define VK_ESCAPE 0x1B
#define VK_SPACE 0x20
#define VK_PRIOR 0x21
#define VK_NEXT 0x22
#define VK_END 0x23
#define VK_HOME 0x24
#define VK_LEFT 0x25
#define VK_UP 0x26
#define VK_RIGHT 0x27
#define VK_DOWN 0x28
#define VK_SELECT 0x29
#define VK_PRINT 0x2A
#define VK_EXECUTE 0x2B
#define VK_SNAPSHOT 0x2C
#define VK_INSERT 0x2D
#define VK_DELETE 0x2E
#define VK_HELP 0x2F
#define VK_NUMPAD0 0x60
#define VK_NUMPAD1 0x61
#define VK_NUMPAD2 0x62
#define VK_NUMPAD3 0x63
#define VK_NUMPAD4 0x64
#define VK_NUMPAD5 0x65
#define VK_NUMPAD6 0x66
#define VK_NUMPAD7 0x67
#define VK_NUMPAD8 0x68
#define VK_NUMPAD9 0x69
#define VK_MULTIPLY 0x6A
#define VK_ADD 0x6B
#define VK_SEPARATOR 0x6C
#define VK_SUBTRACT 0x6D
#define VK_DECIMAL 0x6E
#define VK_DIVIDE 0x6F
#define VK_F1 0x70
#define VK_F2 0x71
#define VK_F3 0x72
#define VK_F4 0x73
#define VK_F5 0x74
#define VK_F6 0x75
#define VK_F7 0x76
#define VK_F8 0x77
#define VK_F9 0x78
#define VK_F10 0x79
#define VK_F11 0x7A
#define VK_F12 0x7B
#define VK_NUMLOCK 0x90
#define VK_SCROLL 0x91
#endif

using Word = uint16_t;

// The keys and buttons held during a key or mouse event.
enum TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };

// A small set of TShiftStateItem, in the manner of the class library's set type:
//   TShiftState s{ssCtrl, ssShift};  s.Contains(ssCtrl);  s + ssAlt;  s == TShiftState{}.
class TShiftState {
public:
  constexpr TShiftState() = default;
  constexpr TShiftState(std::initializer_list<TShiftStateItem> items) {
    for (TShiftStateItem i : items) FBits = static_cast<uint8_t>(FBits | Bit(i));
  }
  constexpr bool Contains(TShiftStateItem i) const { return (FBits & Bit(i)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }
  constexpr TShiftState operator+(TShiftStateItem i) const { return FromBits(FBits | Bit(i)); }
  constexpr TShiftState operator-(TShiftStateItem i) const { return FromBits(FBits & ~Bit(i)); }
  constexpr TShiftState operator+(TShiftState o) const { return FromBits(FBits | o.FBits); }
  constexpr TShiftState operator*(TShiftState o) const { return FromBits(FBits & o.FBits); }
  TShiftState& operator+=(TShiftStateItem i) { FBits = static_cast<uint8_t>(FBits | Bit(i)); return *this; }
  TShiftState& operator-=(TShiftStateItem i) { FBits = static_cast<uint8_t>(FBits & ~Bit(i)); return *this; }
  constexpr bool operator==(TShiftState o) const { return FBits == o.FBits; }
  constexpr bool operator!=(TShiftState o) const { return FBits != o.FBits; }
  constexpr uint8_t Bits() const { return FBits; }
  static constexpr TShiftState FromBits(int bits) {
    TShiftState s;
    s.FBits = static_cast<uint8_t>(bits);
    return s;
  }

private:
  static constexpr int Bit(TShiftStateItem i) { return 1 << static_cast<int>(i); }
  uint8_t FBits = 0;
};
