// Taking over the user's existing phone-book entries: "Übernahme bestehender DFÜ-Einträge" lists
// the entries not yet assigned and the assigned ones; "DFÜ-Netzwerkeintrag zuordnen" picks the
// provider for one entry.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "AfxWin.h"
#include "ConnectionController.h"
#include "EntriesResource.h"
#include "TipDialog.h"

class CDlg_Uebernahme : public CTipDialog {
 public:
  struct FoundEntry {
    CString name, number, user;
  };

  // `controller` is the one this dialog and its assign dialog work with (none: nothing to list).
  explicit CDlg_Uebernahme(CConnectionController* controller, CWnd* parent = nullptr)
      : CTipDialog(IDD_UEBERNAHME, parent), m_controller(controller) {}
  const CMessageMap* GetMessageMap() const override;
  BOOL OnInitDialog() override;
  void OnOK() override;

  void SetAutoAssign(BYTE on) { m_autoAssign = on; }

  const std::vector<FoundEntry>& GetFound() const { return m_found; }
  // The assigned rows' provider ids (the hidden column), for the assign dialog.
  std::vector<CString> AssignedIds();

 private:
  void FindEntries();
  void FillFree();
  void FillAssigned();
  void OnAssign();
  void OnUnassign();
  void OnHelp();
  void OnDblClkFree(NMHDR*, LRESULT*);
  void OnDblClkAssigned(NMHDR*, LRESULT*);
  // The found entries live as long as the window.
  void OnDestroy() override;

  CConnectionController* m_controller;
  std::vector<FoundEntry> m_found;
  CListCtrl m_free;      // 1105
  CListCtrl m_assigned;  // 1102
  BYTE m_autoAssign = 1;
};

class CDlg_Zuordnen : public CDialog {
 public:
  // The providers offered are those of `controller`'s tariff manager.
  explicit CDlg_Zuordnen(CConnectionController* controller, CWnd* parent = nullptr)
      : CDialog(IDD_ZUORDNEN, parent), m_controller(controller) {}
  const CMessageMap* GetMessageMap() const override;
  BOOL OnInitDialog() override;
  void OnOK() override;

  void SetPhoneNumber(const CString& number) { m_number = number; }
  CProvider* GetProvider() const { return m_provider; }
  // The ids already assigned; the take-over parent's list is read when none are given.
  void SetAssignedIds(const std::vector<CString>& ids) { m_ids = ids; m_haveIds = true; }

 private:
  void OnSelChange();
  void OnHelp();

  CConnectionController* m_controller;
  CProvider* m_provider = nullptr;
  CString m_number;
  CComboBox m_combo;
  std::vector<CString> m_ids;
  bool m_haveIds = false;
};
