// Win32 build: message boxes without owner, the shell for bills, the wait cursor.
#include <windows.h>
#include <shellapi.h>

#include "TarifUi.h"

namespace {
class CWin32Ui : public CTarifUi {
 public:
  void ShowError(const char* text, const char* title) override {
    MessageBoxA(nullptr, text, title, MB_OK | MB_ICONERROR);
  }
  bool OpenDocument(const char* path) override {
    return reinterpret_cast<INT_PTR>(ShellExecuteA(nullptr, "open", path, nullptr, nullptr, SW_SHOWMAXIMIZED)) > 32;
  }
  void BeginWaitCursor() override { old_ = SetCursor(LoadCursor(nullptr, IDC_WAIT)); }
  void EndWaitCursor() override { SetCursor(LoadCursor(nullptr, IDC_ARROW)); }

 private:
  HCURSOR old_ = nullptr;
};
}  // namespace

CTarifUi& GetPlatformTarifUi() {
  static CWin32Ui ui;
  return ui;
}
