// Quillet's program block: the application, its forms in their order, the message loop.
#include "about.h"
#include "childwin.h"
#include "main.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR CmdLine, int) {
  TApplication app;
  return Firewall(1, [&] {
    Application->Initialize();
    Application->SetTitle("Quillet");
    Application->CreateForm<TMainForm>();
    Application->CreateForm<TAboutBox>();
    // The image, link, marquee, video and font dialogs, the table designer, the table title and
    // the form builder follow here once their modules are part of the program.
    MainForm->Show();
    // "/neu" opens an empty page to type in (the demo start).
    if (CmdLine && String(CmdLine).find("/neu") != String::npos) {
      TMDIChild* c = MainForm->CreateDocumentWindow("Unbenannt.htm");
      c->SetWindowState(wsMaximized);
      c->edi->SetFocus();
    }
    Application->Run();
    return 0;
  });
}
