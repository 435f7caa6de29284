// Quillet's program block: the application, the insert dialogs, the main window, the message loop.
#include "main.h"
#include "tabledialogs.h"
#include "tagdialog.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR CmdLine, int) {
  TApplication app;
  return Firewall(1, [&] {
    Application->Initialize();
    Application->SetTitle("Quillet");
    // The dialogs of the insert commands; a command's menu entry is enabled once its dialog is here.
    RegisterTagDialogs();
    RegisterTableDialogs();
    StartMainWindow(CmdLine ? String(CmdLine) : String());
    Application->Run();
    return 0;
  });
}
