// Finding and working the windows of another process as a user would: top-level windows by
// caption or by any other trait, control texts and classes, button clicks, waiting for a state,
// and the paths the programs under Wine see.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace testsupport {

// Calls `visit(window, id of its process)` for every top-level window.
void ForEachTopWindow(const std::function<void(HWND, DWORD)>& visit);

// The first top-level window for which `match(window, id of its process)` holds, or null.
HWND FindTopWindow(const std::function<bool(HWND, DWORD)>& match);

// A visible top-level window of process `pid` whose caption is exactly `caption`, or null.
HWND FindCaption(DWORD pid, const std::string& caption);

// How many times as long as on a machine that runs 32-bit x86 code natively the programs take
// here: ASTREL_TIME_SCALE as the Wine runner sets it (3 where that code is emulated), else 1.
// What a test waits for in another process, and any pace it sets for one, scale by it.
DWORD TimeScale();

// Polls `cond` every `pollMs` until it holds; false when `ms` (times TimeScale()) have passed first.
bool WaitFor(const std::function<bool()>& cond, DWORD ms, DWORD pollMs = 20);

// The window's text through WM_GETTEXT (at most 4095 bytes), with a time limit so that a hung
// program does not stop the test. A window of the test's own thread answers at once.
std::string WindowText(HWND window);

// The window's class name ("#32770" for a dialog or a message box, "Button", "Edit", ...).
std::string ClassOf(HWND window);

// The whole text of a control of another process however long (a help page, an editor), asked
// for as UTF-16, which Wine carries across processes whole, and given in code page 1252; "" when
// the control does not answer within a few seconds.
std::string WholeText(HWND control);

// The first visible child window of `top` whose class name begins with `classPrefix` (any case),
// or null.
HWND FindVisibleChild(HWND top, const char* classPrefix);

// Clicks the button `id` of `dialog` as the button itself would report it (posted BN_CLICKED).
void Click(HWND dialog, int id);

}  // namespace testsupport
