// The base of the router's dialogs that explain their controls in tool tips.
#pragma once

#include "AfxWin.h"

// A dialog whose child controls get the tool tip of their id from the string table.
class CTipDialog : public CDialog {
 public:
  using CDialog::CDialog;
  BOOL OnInitDialog() override;
  BOOL PreTranslateMessage(MSG* msg) override;
  CToolTipCtrl& GetToolTip() { return m_tip; }

 protected:
  CToolTipCtrl m_tip;
};
