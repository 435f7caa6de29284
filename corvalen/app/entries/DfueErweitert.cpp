#include "DfueErweitert.h"

#include <cstdlib>

#include "RasEntrySetup.h"
#include "Settings.h"
#include "TarifTexts.h"
#include "TippDesTages.h"

namespace {
const char kStandardEntry[] = "Corvalen2000";
// The redial edits take what their spin buttons give and what a user types up to this.
const int kMaxTyped = 9999;

// The number in an edit, or -1 when it holds none within 0..kMaxTyped.
int EditNumber(CWnd* dlg, int id) {
  CString text;
  dlg->GetDlgItemText(id, text);
  text.Trim();
  if (text.IsEmpty() || text.GetLength() > 4) return -1;
  for (int i = 0; i < text.GetLength(); ++i)
    if (text[i] < '0' || text[i] > '9') return -1;
  int v = atoi(text);
  return v <= kMaxTyped ? v : -1;
}
}  // namespace

CDlg_DfueErweitert::CDlg_DfueErweitert(CConnectionController* controller, CTarifManager* manager, CWnd* parent)
    : CTipDialog(IDD_DFUEERWEITERT, parent), m_controller(controller), m_manager(manager) {
  m_store.SetTariffManager(manager);
}

const CMessageMap* CDlg_DfueErweitert::GetMessageMap() const {
  using M = CMessageMapOf<CDlg_DfueErweitert>;
  static const CMessageMap map(CTipDialog::GetMessageMap(), {
      M::Control(EN_CHANGE, IDC_DE_REDIALS, &CDlg_DfueErweitert::OnChangeRedials),
      M::Control(EN_CHANGE, IDC_DE_WAIT, &CDlg_DfueErweitert::OnChangeWait),
      M::Control(LBN_SELCHANGE, IDC_DE_ALL, &CDlg_DfueErweitert::OnSelAll),
      M::Control(LBN_SELCHANGE, IDC_DE_CREATED, &CDlg_DfueErweitert::OnSelCreated),
      M::Control(LBN_DBLCLK, IDC_DE_ALL, &CDlg_DfueErweitert::OnEditProvider),
      M::Control(LBN_DBLCLK, IDC_DE_CREATED, &CDlg_DfueErweitert::OnDelete),
      M::Clicked(IDC_DE_EDIT_STANDARD, &CDlg_DfueErweitert::OnEditStandard),
      M::Clicked(IDC_DE_EDIT_PROVIDER, &CDlg_DfueErweitert::OnEditProvider),
      M::Clicked(IDC_DE_DELETE, &CDlg_DfueErweitert::OnDelete),
      M::Clicked(IDC_DE_HELP, &CDlg_DfueErweitert::OnHilfe)});
  return &map;
}

void CDlg_DfueErweitert::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, IDC_DE_SPIN_REDIALS, m_spinRedials);
  DDX_Control(dx, IDC_DE_SPIN_WAIT, m_spinWait);
}

BOOL CDlg_DfueErweitert::OnInitDialog() {
  CTipDialog::OnInitDialog();  // data exchange: the spin buttons
  // 1010 to 1012 are the free-minute fields elsewhere; here they have tips of their own.
  m_tip.UpdateTipText("Der Anbieter, dessen DFÜ-Eintrag Sie bearbeiten oder löschen.", GetDlgItem(IDC_DE_PROVIDER));
  m_tip.UpdateTipText("Wie oft der Corvalen nach einem fehlgeschlagenen Versuch neu wählt.", GetDlgItem(IDC_DE_REDIALS));
  m_tip.UpdateTipText("Wie viele Sekunden der Corvalen zwischen zwei Wahlversuchen wartet.", GetDlgItem(IDC_DE_WAIT));
  m_spinRedials.SetRange(0, 100);
  m_spinWait.SetRange(0, 100);
  SetDlgItemText(IDC_DE_STANDARD, kStandardEntry);
  CSettings settings;
  int redials = settings.GetMaxDialAttempts() - 1;
  SetDlgItemText(IDC_DE_REDIALS, CString::Formatted("%d", redials < 0 ? 0 : redials));
  SetDlgItemText(IDC_DE_WAIT, CString::Formatted("%d", settings.GetWaitingTimeForDialAttempts()));
  m_store.SetFolder(settings.GetPATH());
  FillLists();
  m_ready = TRUE;
  return TRUE;
}

void CDlg_DfueErweitert::FillLists() {
  auto* all = static_cast<CListBox*>(GetDlgItem(IDC_DE_ALL));
  auto* created = static_cast<CListBox*>(GetDlgItem(IDC_DE_CREATED));
  all->ResetContent();
  created->ResetContent();
  const CProviderArray& providers = m_manager->GetActiveByName();
  for (int i = 0; i < providers.GetSize(); ++i) all->SetItemDataPtr(all->AddString(providers[i]->GetName()), providers[i]);
  m_store.Load();
  for (int r = 0; r < m_store.GetCount(); ++r) {
    CProvider* p = m_manager->FindProvider(m_store.GetRecord(r).providerId);
    bool listed = false;
    for (int i = 0; p && i < providers.GetSize(); ++i) listed = listed || providers[i] == p;
    if (listed) created->SetItemDataPtr(created->AddString(p->GetName()), p);
  }
  // The lists hold new items: nothing is chosen any more.
  m_provider = nullptr;
  SetDlgItemText(IDC_DE_PROVIDER, "");
}

void CDlg_DfueErweitert::OnChangeRedials() {
  int v = m_ready ? EditNumber(this, IDC_DE_REDIALS) : -1;
  if (v >= 0) CSettings().SetMaxDialAttempts(v + 1);
}

void CDlg_DfueErweitert::OnChangeWait() {
  int v = m_ready ? EditNumber(this, IDC_DE_WAIT) : -1;
  if (v >= 0) CSettings().SetWaitingTimeForDialAttempts(v);
}

void CDlg_DfueErweitert::Choose(int list, int other) {
  auto* box = static_cast<CListBox*>(GetDlgItem(list));
  int sel = box->GetCurSel();
  if (sel < 0) return;
  m_provider = static_cast<CProvider*>(box->GetItemDataPtr(sel));
  SetDlgItemText(IDC_DE_PROVIDER, m_provider->GetName());
  static_cast<CListBox*>(GetDlgItem(other))->SetCurSel(-1);
}

void CDlg_DfueErweitert::OnSelAll() { Choose(IDC_DE_ALL, IDC_DE_CREATED); }
void CDlg_DfueErweitert::OnSelCreated() { Choose(IDC_DE_CREATED, IDC_DE_ALL); }

void CDlg_DfueErweitert::OnEditStandard() { CRasDlgAccess().EditEntry(m_hWnd, kStandardEntry); }

void CDlg_DfueErweitert::OnEditProvider() {
  CProvider* p = m_provider;
  if (!p) return;
  int created = 0;
  if (!p->IsRegistered()) {
    CString entry;
    created = m_controller->CreateProviderEntry(m_manager, p, entry, m_hWnd);
    FillLists();
  }
  if (created != 0) return;
  m_store.Load();
  CString entry = m_store.Lookup(p->GetId());
  if (entry != "null") CRasDlgAccess().EditEntry(m_hWnd, entry);
}

void CDlg_DfueErweitert::OnDelete() {
  auto* created = static_cast<CListBox*>(GetDlgItem(IDC_DE_CREATED));
  int sel = created->GetCurSel();
  if (sel < 0) {
    AfxMessageBox("In der Spalte \"angelegte DFÜ-Einträge\" wurde kein Provider ausgewählt!", MB_OK | MB_ICONWARNING,
                  kIdsTitle);
    return;
  }
  auto* p = static_cast<CProvider*>(created->GetItemDataPtr(sel));
  if (AfxMessageBox(5121, MB_YESNO | MB_ICONQUESTION, kIdsTitle) == IDYES) m_controller->DeleteAssignment(p);
  FillLists();
}

void CDlg_DfueErweitert::OnHilfe() {
  CDlg_TippDesTages::ShowHelp(this, AfxLoadString(5138) + AfxLoadString(5139) + AfxLoadString(5140));
}
