// Quillet's program block: the application, its forms in their order, the message loop.
#include "about.h"
#include "childwin.h"
#include "lader.h"
#include "laufer.h"
#include "linker.h"
#include "main.h"
#include "tabledialogs.h"
#include "texter.h"
#include "viform.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR CmdLine, int) {
  TApplication app;
  return Firewall(1, [&] {
    Application->Initialize();
    Application->SetTitle("Quillet");
    // The dialogs of the insert commands; a command's menu entry is enabled once its dialog is here.
    RegisterInsertDialog(idImage, [](TComponent* o) -> TForm* { return new Tlader(o); });
    RegisterInsertDialog(idLink, [](TComponent* o) -> TForm* { return new Tlinker(o); });
    RegisterInsertDialog(idMarquee, [](TComponent* o) -> TForm* { return new Tlaufer(o); });
    RegisterInsertDialog(idVideo, [](TComponent* o) -> TForm* { return new Tviform(o); });
    RegisterInsertDialog(idFont, [](TComponent* o) -> TForm* { return new Ttexter(o); });
    RegisterInsertDialog(idTable, [](TComponent* o) -> TForm* { return new Ttabell(o); });
    RegisterInsertDialog(idFormBuilder, [](TComponent* o) -> TForm* { return new Tbauf(o); });
    RegisterInsertDialog(idSoundTable, [](TComponent* o) -> TForm* { return new Tsoform(o); });
    Application->CreateForm<TMainForm>();
    Application->CreateForm<TAboutBox>();
    MainForm->Show();
    // A file parameter opens that page; "/neu" opens an empty page to type in.
    String param = Trim(CmdLine ? String(CmdLine) : String());
    if (param.size() >= 2 && param.front() == '"' && param.back() == '"') param = param.substr(1, param.size() - 2);
    TMDIChild* c = nullptr;
    if (param == "/neu") c = MainForm->CreateDocumentWindow("Unbenannt.htm");
    else if (!param.empty() && FileExists(param)) {
      MainForm->OpenFile(param);
      c = MainForm->ActiveDocument();
    }
    if (c) {
      c->SetWindowState(wsMaximized);
      c->edi->SetFocus();
    }
    Application->Run();
    return 0;
  });
}
