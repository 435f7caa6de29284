// The messages the connection controller sends the main window and the main window's timers:
// one set of names for the controller, the dialogs that ask for a refresh, and the tests that
// post them to the program from outside.
#pragma once

#include <windows.h>

// Progress and refresh messages to the main window.
const UINT kMsgDialProgress = WM_USER + 1;    // wParam (error << 16) | state, or one of the two below
const UINT kMsgRefreshProviders = WM_USER + 3;
const WPARAM kProgressAttempt = 0x402;        // lParam = attempt number
const WPARAM kProgressMailCheck = 0x404;
// The main window's timers.
enum { kTimerUrlOfDay = 1, kTimerRefresh = 2, kTimerAutoConnect = 3, kTimerOnline = 4, kTimerBilling = 5,
       kTimerMailCheck = 6 };
