// Native build: there is no one to show a message to; the engine goes on as after a message.
#include "TarifUi.h"

namespace {
class CSilentUi : public CTarifUi {
 public:
  void ShowError(const char*, const char*) override {}
  bool OpenDocument(const char*) override { return true; }
};
}  // namespace

CTarifUi& GetPlatformTarifUi() {
  static CSilentUi ui;
  return ui;
}
