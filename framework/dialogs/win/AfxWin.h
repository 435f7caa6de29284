// Everything of the dialog library's window half in one include (the socket class, which needs
// <winsock2.h> ahead of <windows.h>, has its own: AsyncSocket.h, included first).
#pragma once

#include "Controls.h"
#include "DataExchange.h"
#include "Dialog.h"
#include "Gdi.h"
#include "Internet.h"
#include "PropertySheet.h"
#include "WinApp.h"
#include "Wnd.h"
