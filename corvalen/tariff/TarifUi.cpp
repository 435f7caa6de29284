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

CString SaveFailureText(const CString& path) {
  CString text = kSaveFailed;
  text.Replace("%s", path);
  return text;
}

void ReportSaveFailure(const CString& path) { GetTarifUi().ShowError(SaveFailureText(path), "Fehler"); }
