// A window of another process that carries the control property under its name, as a window of
// another program built on these controls does: the value is an address in that program.
// Runs until it is ended.
#include <windows.h>

int main() {
  HWND w = CreateWindowA("STATIC", "Fremdes Steuerelement", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                         nullptr);
  if (!w) return 1;
  SetPropA(w, "AstrelControl", HANDLE(0x12345678));
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
  return 0;
}
