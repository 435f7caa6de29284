// The terms dialog of the first start and the information dialog of the system menu.
#pragma once

#include "AfxWin.h"
#include "DialogsResource.h"
#include "TipDialog.h"

// The information dialog: version from strings 116 and 117.
class CDlg_Info : public CTipDialog {
 public:
  explicit CDlg_Info(CWnd* parent = nullptr) : CTipDialog(IDD_INFO, parent) {}
  BOOL OnInitDialog() override;
};

// The terms ("Allgemeine Geschäftsbedingungen"): OK stays disabled until one of the two choices
// is made; the caller reads the choice (0 = accepted, 1 = refused, -1 = none).
class CDlg_AGB : public CTipDialog {
 public:
  explicit CDlg_AGB(CWnd* parent = nullptr) : CTipDialog(IDD_AGB, parent) {}
  const CMessageMap* GetMessageMap() const override;
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  // Ends with IDOK only once a choice was made (also for Enter while OK is disabled).
  void OnOK() override;
  int GetChoice() const { return m_choice; }
  // The terms as shown: strings 115, 119, 120, 121, 122, 5505 and 5506.
  static CString TermsText();

  CString m_terms;
  int m_choice = -1;

 private:
  void OnChoice();
};

// Runs the terms dialog; TRUE when it ended with OK and the terms were accepted.
BOOL RunTermsDialog(CWnd* parent);
