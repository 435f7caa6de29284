// The entry of a program built on the library: hands over to the application object.
#include "WinApp.h"

int WINAPI WinMain(HINSTANCE inst, HINSTANCE prev, LPSTR cmdLine, int show) {
  return AfxWinMain(inst, prev, cmdLine, show);
}
