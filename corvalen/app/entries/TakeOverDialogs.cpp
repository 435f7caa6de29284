#include "TakeOverDialogs.h"

#include <cstdio>

#include "AccountDialogs.h"
#include "AssignmentStore.h"
#include "Gdi.h"
#include "Settings.h"
#include "TarifManager.h"
#include "TarifTexts.h"
#include "TippDesTages.h"

namespace {

const UINT kIdsAlreadyAssigned = 5549;

CString Trimmed(CString s) {
  s.Trim();
  return s;
}

void ShowHelpTexts(CWnd* parent, UINT first, UINT second) {
  CDlg_TippDesTages::ShowHelp(parent, AfxLoadString(first) + AfxLoadString(second));
}

int Today() { return static_cast<int>(COleDateTime::GetCurrentTime().m_dt); }

}  // namespace

const CMessageMap* CDlg_Uebernahme::GetMessageMap() const {
  using M = CMessageMapOf<CDlg_Uebernahme>;
  static const CMessageMap map(CTipDialog::GetMessageMap(),
                               {M::Clicked(IDC_UE_ASSIGN, &CDlg_Uebernahme::OnAssign),
                                M::Clicked(IDC_UE_UNASSIGN, &CDlg_Uebernahme::OnUnassign),
                                M::Clicked(IDC_UE_HELP, &CDlg_Uebernahme::OnHelp),
                                M::Notify(NM_DBLCLK, IDC_UE_FREE, &CDlg_Uebernahme::OnDblClkFree),
                                M::Notify(NM_DBLCLK, IDC_UE_ASSIGNED, &CDlg_Uebernahme::OnDblClkAssigned)});
  return &map;
}

BOOL CDlg_Uebernahme::OnInitDialog() {
  CTipDialog::OnInitDialog();
  m_free.SubclassDlgItem(IDC_UE_FREE, this);
  m_assigned.SubclassDlgItem(IDC_UE_ASSIGNED, this);
  CTarifManager* manager = m_controller ? m_controller->GetTariffManager() : nullptr;
  if (manager) manager->Recompute(nullptr, nullptr);
  m_free.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  m_assigned.SetExtendedStyle(LVS_EX_FULLROWSELECT);
  m_free.InsertColumn(0, "Eintragsname", LVCFMT_RIGHT, 150);
  m_free.InsertColumn(1, "Telefon-Nr.", LVCFMT_RIGHT, 100);
  m_free.InsertColumn(2, "Benutzername", LVCFMT_RIGHT, 100);
  FindEntries();
  FillFree();
  m_assigned.InsertColumn(0, "Eintragsname", LVCFMT_RIGHT, 130);
  m_assigned.InsertColumn(1, "Zugeordneter Anbieter", LVCFMT_RIGHT, 120);
  m_assigned.InsertColumn(2, "Telefon-Nr.", LVCFMT_RIGHT, 100);
  m_assigned.InsertColumn(3, "InternalID", LVCFMT_RIGHT, 0);
  FillAssigned();
  return TRUE;
}

void CDlg_Uebernahme::FindEntries() {
  CWaitCursor wait;
  m_found.clear();
  if (!m_controller) return;
  CRasAccess& ras = m_controller->GetRasAccess();
  if (ras.EnumEntries() != 0) return;
  CTarifManager* manager = m_controller->GetTariffManager();
  CControllerServices& services = m_controller->GetServices();
  for (int i = 0; i < ras.GetEntryCount(); ++i) {
    RASENTRYNAMEA name = {};
    name.dwSize = sizeof name;
    if (ras.GetEntryName(&name, i) != 0) continue;
    CString entry = name.szEntryName;
    if (entry == "Corvalen2000" || entry == "Corvalen") continue;
    RASENTRYA props = {};
    props.dwSize = sizeof props;
    DWORD size = sizeof props;
    if (ras.GetEntryProperties(entry, &props, &size) != 0) continue;
    char local[20] = {}, area[10] = {}, user[50] = {};
    ras.GetEntryPhoneNumber(entry, local, sizeof local, area, sizeof area);
    ras.GetEntryUserName(entry, user, sizeof user);
    FoundEntry found{entry, CString(area) + local, user};
    m_found.push_back(found);
    if (m_autoAssign != 1 || !manager) continue;
    CProvider* match = nullptr;
    int matches = 0;
    const CProviderArray& active = manager->GetActiveByName();
    CString number = Trimmed(found.number);
    for (int k = 0; k < active.GetSize() && matches < 2; ++k) {
      CProvider* p = active[k];
      if (p->HasFreeMinutes() || Trimmed(p->GetPhoneNumber()) != number) continue;
      match = p;
      ++matches;
    }
    if (matches == 1 && services.LookupAssignment(match->GetId()) == "null")
      services.AddAssignment(match->GetId(), entry, Today());
  }
}

void CDlg_Uebernahme::FillFree() {
  CWaitCursor wait;
  m_free.DeleteAllItems();
  for (size_t i = 0; i < m_found.size(); ++i) {
    int row = m_free.InsertItem(static_cast<int>(i), m_found[i].name);
    m_free.SetItemText(row, 1, m_found[i].number);
    m_free.SetItemText(row, 2, m_found[i].user);
  }
}

void CDlg_Uebernahme::FillAssigned() {
  m_assigned.DeleteAllItems();
  if (!m_controller) return;
  CTarifManager* manager = m_controller->GetTariffManager();
  // The store's records as its file holds them, for the providers the tariff database knows.
  CAssignmentStore store;
  store.SetFolder(m_controller->GetSettings()->GetPATH());
  std::string text;
  std::vector<std::pair<CString, CString>> records;
  if (store.ReadAll(text)) CAssignmentStore::ParseRecords(text, records);
  for (const auto& rec : records) {
    CProvider* p = manager ? manager->FindProvider(rec.first) : nullptr;
    if (!p) continue;
    int bar = rec.second.Find('|');
    CString entry = bar < 0 ? CString() : rec.second.Left(bar);
    int row = m_assigned.InsertItem(m_assigned.GetItemCount(), entry);
    m_assigned.SetItemText(row, 1, p->GetName());
    m_assigned.SetItemText(row, 2, p->GetPhoneNumber());
    m_assigned.SetItemText(row, 3, rec.first);
    for (int i = 0; i < m_free.GetItemCount(); ++i) {
      if (m_free.GetItemText(i, 0).CompareNoCase(entry) == 0) {
        m_free.DeleteItem(i);
        break;
      }
    }
  }
}

std::vector<CString> CDlg_Uebernahme::AssignedIds() {
  std::vector<CString> ids;
  for (int i = 0; i < m_assigned.GetItemCount(); ++i) ids.push_back(m_assigned.GetItemText(i, 3).Left(50));
  return ids;
}

void CDlg_Uebernahme::OnAssign() {
  int row = m_free.GetNextItem(-1, LVNI_SELECTED);
  if (row < 0 || !m_controller) return;
  CDlg_Zuordnen dlg(m_controller, this);
  dlg.SetPhoneNumber(m_free.GetItemText(row, 1).Left(50));
  dlg.SetAssignedIds(AssignedIds());
  CString entry = m_free.GetItemText(row, 0).Left(80);
  if (dlg.DoModal() != IDOK || !dlg.GetProvider()) return;
  CProvider* p = dlg.GetProvider();
  CControllerServices& services = m_controller->GetServices();
  services.AddAssignment(p->GetId(), entry, Today());
  p->SetRegistered(1);
  m_controller->SetCurrentProvider(p);
  bool undo = false;
  if (p->IsLoginRequired()) {
    CString password;
    undo = m_controller->AskUserData(password, FALSE, TRUE) == 99999;
  }
  if (!undo && p->HasFreeMinutes())
    undo = RunFreeMinutesDialog(nullptr, *m_controller, p->GetId(), entry) == FALSE;
  if (undo) {
    p->SetRegistered(0);
    services.RemoveAssignment(p->GetId());
  }
  FillAssigned();
}

void CDlg_Uebernahme::OnUnassign() {
  int row = m_assigned.GetNextItem(-1, LVNI_SELECTED);
  if (row < 0 || !m_controller) return;
  CString id = m_assigned.GetItemText(row, 3).Left(80);
  m_controller->GetServices().RemoveAssignment(id);
  CTarifManager* manager = m_controller->GetTariffManager();
  if (CProvider* p = manager ? manager->FindProvider(id) : nullptr) p->SetRegistered(0);
  FillFree();
  FillAssigned();
}

void CDlg_Uebernahme::OnDblClkFree(NMHDR*, LRESULT* result) {
  OnAssign();
  *result = 0;
}

void CDlg_Uebernahme::OnDblClkAssigned(NMHDR*, LRESULT* result) {
  OnUnassign();
  *result = 0;
}

void CDlg_Uebernahme::OnHelp() { ShowHelpTexts(this, 5134, 5135); }

void CDlg_Uebernahme::OnOK() {
  if (m_controller) m_controller->GetServices().LoadAssignments(m_controller->GetTariffManager());
  EndDialog(IDOK);
}

const CMessageMap* CDlg_Zuordnen::GetMessageMap() const {
  using M = CMessageMapOf<CDlg_Zuordnen>;
  static const CMessageMap map(CDialog::GetMessageMap(),
                               {M::Clicked(IDC_ZU_HELP, &CDlg_Zuordnen::OnHelp),
                                M::Control(CBN_SELCHANGE, IDC_ZU_COMBO, &CDlg_Zuordnen::OnSelChange)});
  return &map;
}

BOOL CDlg_Zuordnen::OnInitDialog() {
  CDialog::OnInitDialog();
  m_combo.SubclassDlgItem(IDC_ZU_COMBO, this);
  m_combo.ResetContent();
  int none = m_combo.AddString("- Keinen entprechenden Tarif gefunden -");
  m_combo.SetItemData(none, 0);
  int selected = none;
  CTarifManager* manager = m_controller ? m_controller->GetTariffManager() : nullptr;
  CString number = Trimmed(m_number);
  if (manager) {
    const CProviderArray& active = manager->GetActiveByName();
    for (int i = 0; i < active.GetSize(); ++i) {
      CProvider* p = active[i];
      char text[64];
      std::snprintf(text, sizeof text, "%-40.40s", p->GetName().c_str());
      int item = m_combo.AddString(text);
      m_combo.SetItemData(item, reinterpret_cast<DWORD_PTR>(p));
      if (Trimmed(p->GetPhoneNumber()) == number) selected = item;
    }
  }
  m_combo.SetCurSel(selected);
  OnSelChange();
  return TRUE;
}

void CDlg_Zuordnen::OnSelChange() {
  int sel = m_combo.GetCurSel();
  m_provider = sel < 0 ? nullptr : reinterpret_cast<CProvider*>(m_combo.GetItemData(sel));
  if (!m_provider) {
    for (int id : {IDC_ZU_NUMBER, IDC_ZU_PRICE, IDC_ZU_LOGIN, IDC_ZU_FREEHOURS}) SetDlgItemText(id, "");
    return;
  }
  char price[32];
  std::snprintf(price, sizeof price, "%.2f", m_provider->GetPrice());
  SetDlgItemText(IDC_ZU_NUMBER, m_provider->GetPhoneNumber());
  SetDlgItemText(IDC_ZU_PRICE, price);
  SetDlgItemText(IDC_ZU_LOGIN, m_provider->IsLoginRequired() ? "Ja" : "Nein");
  SetDlgItemText(IDC_ZU_FREEHOURS, m_provider->HasFreeMinutes() ? "Ja" : "Nein");
}

void CDlg_Zuordnen::OnOK() {
  if (m_provider) {
    for (const CString& id : m_ids) {
      if (id == m_provider->GetId()) {
        AfxMessageBox(AfxLoadString(kIdsAlreadyAssigned), MB_ICONWARNING, kIdsTitle);
        return;
      }
    }
  }
  EndDialog(IDOK);
}

void CDlg_Zuordnen::OnHelp() { ShowHelpTexts(this, 5559, 5560); }

void CDlg_Uebernahme::OnDestroy() {
  m_found.clear();
  CTipDialog::OnDestroy();
}
