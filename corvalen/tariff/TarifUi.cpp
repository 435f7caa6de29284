#include "TarifUi.h"

namespace {
CTarifUi*& Installed() {
  static CTarifUi* ui = nullptr;
  return ui;
}
}  // namespace

CTarifUi& GetTarifUi() { return Installed() ? *Installed() : GetPlatformTarifUi(); }
void SetTarifUi(CTarifUi* ui) { Installed() = ui; }
