// What the windows of the library need of the program they run in, without knowing its
// application object: the module's instance handle, the module that holds the resources, the
// string table, the title of message boxes, and the slot of the main window. The application
// object (WinApp.h) fills them in at start.
#pragma once

#include <windows.h>

#include "CString.h"

class CWnd;

HINSTANCE AfxGetInstanceHandle();
void AfxSetInstanceHandle(HINSTANCE inst);
// The module whose resources (dialog templates, strings, icons) the library loads.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE inst);

// The application's name (the text `name` points to, while it is set and not empty), or the
// program file's base name.
LPCSTR AfxGetAppTitle();
void AfxSetAppName(const CString* name);

// The main window as the application object keeps it; a window that goes away is taken out.
void AfxSetMainWndSlot(CWnd** slot);
void AfxForgetMainWnd(const CWnd* wnd);

// A string of the resources; empty when missing. Strings may be up to 4095 bytes long.
CString AfxLoadString(UINT id);
BOOL AfxLoadString(UINT id, CString& out);
