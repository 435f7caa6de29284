#include "TipDialog.h"

BOOL CTipDialog::OnInitDialog() {
  BOOL r = CDialog::OnInitDialog();
  m_tip.Create(this);
  m_tip.Activate(TRUE);
  m_tip.AddToolsForChildren(this);
  return r;
}

BOOL CTipDialog::PreTranslateMessage(MSG* msg) {
  if (m_tip.m_hWnd) m_tip.RelayEvent(msg);
  return CDialog::PreTranslateMessage(msg);
}
