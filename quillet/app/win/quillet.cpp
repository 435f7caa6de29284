// Quillet's program block: the application, the insert dialogs, the main window, the message loop.
#include "browse.h"
#include "gif_image_win.h"
#include "jpeg_image.h"
#include "main.h"
#include "packe.h"
#include "tabledialogs.h"
#include "tagdialog.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR CmdLine, int) {
  TApplication app;
  return Firewall(1, [&] {
    Application->Initialize();
    Application->SetTitle("Quillet");
    // The picture formats of the picture container beyond the library's own.
    RegisterGIFImage();
    RegisterJPEGImage();
    // The dialogs of the insert commands; a command's menu entry is enabled once its dialog is here.
    RegisterTagDialogs();
    RegisterTableDialogs();
    RegisterCompressorWindow();
    RegisterImageBrowser();
    StartMainWindow(CmdLine ? String(CmdLine) : String());
    Application->Run();
    return 0;
  });
}
