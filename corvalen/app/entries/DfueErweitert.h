// "Erweiterte DFÜ-Netzwerkeinstellungen" of the expert mode: the standard entry "Corvalen2000",
// the providers' own entries (create, edit, delete) and the redial settings.
#pragma once

#include "AfxWin.h"
#include "AssignmentStore.h"
#include "ConnectionController.h"
#include "EntriesResource.h"
#include "TipDialog.h"

class CDlg_DfueErweitert : public CTipDialog {
 public:
  CDlg_DfueErweitert(CConnectionController* controller, CTarifManager* manager, CWnd* parent = nullptr);
  const CMessageMap* GetMessageMap() const override;
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;

 private:
  void FillLists();
  void OnChangeRedials();
  void OnChangeWait();
  void OnSelAll();
  void OnSelCreated();
  void OnEditStandard();
  void OnEditProvider();
  void OnDelete();
  void OnHilfe();
  // The provider of a list's selected item, the other list's selection cleared.
  void Choose(int list, int other);

  CConnectionController* m_controller;
  CTarifManager* m_manager;
  CAssignmentStore m_store;
  CProvider* m_provider = nullptr;
  CSpinButtonCtrl m_spinRedials, m_spinWait;
  BOOL m_ready = FALSE;  // the edits are filled; from now on a change is the user's
};
