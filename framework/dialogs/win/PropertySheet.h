// Property sheets and their pages, also in wizard mode, run in the library's modal loop.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <prsht.h>

#include <vector>

#include "Dialog.h"

// The result of a wizard that ended with its finish button.
#ifndef ID_WIZFINISH
#define ID_WIZFINISH 0x3025
#endif
#ifndef ID_WIZBACK
#define ID_WIZBACK 0x3023
#define ID_WIZNEXT 0x3024
#endif

class CPropertySheet;

class CPropertyPage : public CDialog {
 public:
  explicit CPropertyPage(UINT templateId, UINT captionId = 0);

  // Page notifications. OnSetActive fills the controls again on every activation after the
  // first; OnKillActive reads and checks them (FALSE keeps the page).
  virtual BOOL OnSetActive();
  virtual BOOL OnKillActive();
  virtual BOOL OnApply();
  virtual void OnReset();
  virtual BOOL OnQueryCancel();
  // 0 goes on to the neighbouring page, -1 stays, another value is the template id of the page
  // to show.
  virtual LRESULT OnWizardBack();
  virtual LRESULT OnWizardNext();
  // TRUE lets the wizard end with ID_WIZFINISH.
  virtual BOOL OnWizardFinish();

  // OK and Cancel belong to the sheet.
  void OnOK() override {}
  void OnCancel() override {}
  void CancelToClose() { if (m_pSheet) ::SendMessageA(::GetParent(m_hWnd), PSM_CANCELTOCLOSE, 0, 0); }
  void SetModified(BOOL changed = TRUE);
  CPropertySheet* GetSheet() const { return m_pSheet; }

  PROPSHEETPAGEA m_psp;

  BOOL OnNotify(WPARAM wp, LPARAM lp, LRESULT* result) override;

 private:
  friend class CPropertySheet;
  friend INT_PTR CALLBACK AfxPropPageDlgProc(HWND, UINT, WPARAM, LPARAM);
  CPropertySheet* m_pSheet = nullptr;
  BOOL m_bFirstSetActive = TRUE;
  CString m_strCaption;
};

class CPropertySheet : public CWnd {
 public:
  explicit CPropertySheet(LPCSTR caption = nullptr, CWnd* parent = nullptr, UINT selectPage = 0);
  explicit CPropertySheet(UINT captionId, CWnd* parent = nullptr, UINT selectPage = 0);

  void AddPage(CPropertyPage* page);
  void RemovePage(CPropertyPage* page);
  int GetPageCount() const { return static_cast<int>(m_pages.size()); }
  CPropertyPage* GetPage(int index) const { return m_pages.at(static_cast<size_t>(index)); }
  int GetPageIndex(const CPropertyPage* page) const;
  CPropertyPage* GetActivePage() const;
  int GetActiveIndex() const;
  BOOL SetActivePage(int index);
  BOOL SetActivePage(CPropertyPage* page) { return SetActivePage(GetPageIndex(page)); }
  void SetTitle(LPCSTR text);
  void SetWizardMode() { m_psh.dwFlags |= PSH_WIZARD; }
  // Before DoModal: the sheet shows no "Apply" button.
  void SetNoApplyButton() { m_psh.dwFlags |= PSH_NOAPPLYNOW; }
  // PSWIZB_BACK, PSWIZB_NEXT, PSWIZB_FINISH, PSWIZB_DISABLEDFINISH (posted, as the sheet wants).
  void SetWizardButtons(DWORD flags) { ::PostMessageA(m_hWnd, PSM_SETWIZBUTTONS, 0, static_cast<LPARAM>(flags)); }
  void SetFinishText(LPCSTR text) { ::SendMessageA(m_hWnd, PSM_SETFINISHTEXTA, 0, reinterpret_cast<LPARAM>(text)); }
  void PressButton(int button) { ::PostMessageA(m_hWnd, PSM_PRESSBUTTON, static_cast<WPARAM>(button), 0); }

  // Runs the sheet in the library's modal loop. IDOK after OK, ID_WIZFINISH after a wizard's
  // finish button, IDCANCEL otherwise, -1 when the sheet cannot be made.
  virtual INT_PTR DoModal();
  // Called once the sheet and its first page exist, before the sheet is shown.
  virtual BOOL OnInitDialog();
  void EndDialog(int result);

  BOOL PreTranslateMessage(MSG* msg) override;

  PROPSHEETHEADERA m_psh;

 protected:
  BOOL ModalLoopCheck() override;
  CWnd* m_pParentWnd = nullptr;

 private:
  friend class CPropertyPage;
  friend int CALLBACK AfxPropSheetCallback(HWND, UINT, LPARAM);
  void CommonConstruct(CWnd* parent, UINT selectPage);
  std::vector<CPropertyPage*> m_pages;
  CString m_strCaption;
  int m_result = IDCANCEL;
  BOOL m_ended = FALSE;
};

INT_PTR CALLBACK AfxPropPageDlgProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
int CALLBACK AfxPropSheetCallback(HWND wnd, UINT msg, LPARAM lp);
