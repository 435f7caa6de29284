#include "TarifUi.h"

#include "TarifTexts.h"

namespace {
CTarifUi*& Installed() {
  static CTarifUi* ui = nullptr;
  return ui;
}
}  // namespace

CTarifUi& GetTarifUi() { return Installed() ? *Installed() : GetPlatformTarifUi(); }
void SetTarifUi(CTarifUi* ui) { Installed() = ui; }

void ReportSaveFailure(const CString& path) {
  CString text = kSaveFailed;
  text.Replace("%s", path);
  GetTarifUi().ShowError(text, "Fehler");
}
