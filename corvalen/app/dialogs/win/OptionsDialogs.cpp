#include "OptionsDialogs.h"

#include <cstring>

#include "CFile.h"
#include "CostLog.h"
#include "DataBudget.h"
#include "TarifClock.h"
#include "TarifTexts.h"
#include "TarifUi.h"
#include "TippDesTages.h"

namespace {
// The maker's online help, named at the end of the provider filter's help.
const char kOnlineHelp[] = "http://www.astrel.de/corvalen/hilfe/";

// The filter switches' check boxes in the order of the "Filter" value's characters.
const int kSwitchIds[CFilterSwitches::count] = {IDC_AW_LOGIN, IDC_AW_NOLOGIN, IDC_AW_NODIALFEE,
                                                IDC_AW_NOBASEFEE, IDC_AW_TAKT1, IDC_AW_TAKT60};
}  // namespace

// ---------------------------------------------------------------------------------------------

CDlg_Anbieterauswahl::CDlg_Anbieterauswahl(CTarifManager* manager, CWnd* parent)
    : CDialog(IDD_ANBIETERAUSWAHL, parent), m_manager(manager),
      m_settings(manager->GetSettings() ? manager->GetSettings() : &m_ownSettings) {}

const CMessageMap* CDlg_Anbieterauswahl::GetMessageMap() const {
  using M = CMessageMapOf<CDlg_Anbieterauswahl>;
  static const CMessageMap map(CDialog::GetMessageMap(), {
      M::Clicked(IDC_AW_LOGIN, &CDlg_Anbieterauswahl::OnSwitch),
      M::Clicked(IDC_AW_NOLOGIN, &CDlg_Anbieterauswahl::OnSwitch),
      M::Clicked(IDC_AW_NODIALFEE, &CDlg_Anbieterauswahl::OnSwitch),
      M::Clicked(IDC_AW_NOBASEFEE, &CDlg_Anbieterauswahl::OnSwitch),
      M::Clicked(IDC_AW_TAKT1, &CDlg_Anbieterauswahl::OnSwitch),
      M::Clicked(IDC_AW_TAKT60, &CDlg_Anbieterauswahl::OnSwitch),
      M::Clicked(IDC_AW_HIDE, &CDlg_Anbieterauswahl::OnHide),
      M::Clicked(IDC_AW_SHOW, &CDlg_Anbieterauswahl::OnShow),
      M::Control(LBN_DBLCLK, IDC_AW_SHOWN, &CDlg_Anbieterauswahl::OnHide),
      M::Control(LBN_DBLCLK, IDC_AW_HIDDEN, &CDlg_Anbieterauswahl::OnShow),
      M::Clicked(IDC_AW_HELP, &CDlg_Anbieterauswahl::OnHilfe)});
  return &map;
}

BOOL CDlg_Anbieterauswahl::OnInitDialog() {
  CDialog::OnInitDialog();
  m_startShown = m_settings->GetNotInFilterProvider();
  m_startSwitches = m_settings->GetFilter();
  m_startHidden = m_settings->GetFilterProvider();
  for (int i = 0; i < CFilterSwitches::count; ++i)
    CheckDlgButton(kSwitchIds[i], m_startSwitches.on[i] ? BST_CHECKED : BST_UNCHECKED);
  Refill();
  return TRUE;
}

void CDlg_Anbieterauswahl::Refill() {
  m_manager->BuildFilteredLists();
  const CTarifDatabase& db = m_manager->GetDatabase();
  const CProviderArray* lists[2] = {&db.GetPassing(), &db.GetFilteredOut()};
  const int ids[2] = {IDC_AW_SHOWN, IDC_AW_HIDDEN};
  for (int l = 0; l < 2; ++l) {
    auto* box = static_cast<CListBox*>(GetDlgItem(ids[l]));
    box->ResetContent();
    for (int i = 0; i < lists[l]->GetSize(); ++i) {
      CProvider* p = lists[l]->GetAt(i);
      box->SetItemDataPtr(box->AddString(p->GetName()), p);
    }
  }
}

void CDlg_Anbieterauswahl::OnSwitch() {
  CFilterSwitches s;
  for (int i = 0; i < CFilterSwitches::count; ++i) s.on[i] = IsDlgButtonChecked(kSwitchIds[i]) == BST_CHECKED;
  m_settings->SetFilter(s);
  Refill();
}

void CDlg_Anbieterauswahl::Move(int from, BOOL hide) {
  auto* box = static_cast<CListBox*>(GetDlgItem(from));
  int sel = box->GetCurSel();
  if (sel < 0) return;
  const CString id = static_cast<CProvider*>(box->GetItemDataPtr(sel))->GetId();
  // Hiding takes the id out of the ids always shown, or else adds it to the hidden ones; showing
  // is the mirror image. Both lists are written.
  CString shown = m_settings->GetNotInFilterProvider();
  CString hidden = m_settings->GetFilterProvider();
  CString& cutFrom = hide ? shown : hidden;
  CString& addTo = hide ? hidden : shown;
  if (!CProviderFilter::CutFromList(cutFrom, id)) CProviderFilter::AppendToList(addTo, id);
  m_settings->SetNotInFilterProvider(shown);
  m_settings->SetFilterProvider(hidden);
  Refill();
}

void CDlg_Anbieterauswahl::OnHide() { Move(IDC_AW_SHOWN, TRUE); }
void CDlg_Anbieterauswahl::OnShow() { Move(IDC_AW_HIDDEN, FALSE); }

void CDlg_Anbieterauswahl::OnHilfe() {
  CDlg_TippDesTages::ShowHelp(this, AfxLoadString(5538) + AfxLoadString(5539) + AfxLoadString(5540) +
                                        "\n\nEine ausführliche Hilfe zum Programm " + "erhalten Sie unter: " + kOnlineHelp);
}

void CDlg_Anbieterauswahl::OnOK() {
  if (static_cast<CListBox*>(GetDlgItem(IDC_AW_SHOWN))->GetCount() == 0) {
    ::MessageBoxA(m_hWnd, "Achtung, Sie haben alle Anbieter ausgeblendet", "Fehler", MB_OK | MB_ICONWARNING);
    return;
  }
  EndDialog(IDOK);
}

void CDlg_Anbieterauswahl::OnCancel() {
  m_settings->SetNotInFilterProvider(m_startShown);
  m_settings->SetFilter(m_startSwitches);
  m_settings->SetFilterProvider(m_startHidden);
  EndDialog(IDCANCEL);
}

// ---------------------------------------------------------------------------------------------

const char CDlg_Postfach::kDefaultUser[] = "Benutzer";

CDlg_Postfach::CDlg_Postfach(BOOL forMailCheck, CWnd* parent)
    : CDialog(IDD_POSTFACH, parent), m_forMailCheck(forMailCheck) {}

const CMessageMap* CDlg_Postfach::GetMessageMap() const {
  using M = CMessageMapOf<CDlg_Postfach>;
  static const CMessageMap map(CDialog::GetMessageMap(), {M::Clicked(IDC_PF_HELP, &CDlg_Postfach::OnHilfe)});
  return &map;
}

BOOL CDlg_Postfach::OnInitDialog() {
  CDialog::OnInitDialog();
  CheckDlgButton(IDC_PF_CHECK, m_settings.GetPOP3() == "1" ? BST_CHECKED : BST_UNCHECKED);
  CString user = m_settings.GetPOP3Postfach();
  SetDlgItemText(IDC_PF_USER, user.IsEmpty() ? CString(kDefaultUser) : user);
  SetDlgItemText(IDC_PF_PASSWORD, m_settings.GetPOP3Passwort());
  CheckDlgButton(IDC_PF_SAVE, m_settings.GetPOPSpeichern() == "1" ? BST_CHECKED : BST_UNCHECKED);
  return TRUE;
}

void CDlg_Postfach::OnOK() {
  CString user, password;
  GetDlgItemText(IDC_PF_USER, user);
  GetDlgItemText(IDC_PF_PASSWORD, password);
  BOOL save = IsDlgButtonChecked(IDC_PF_SAVE) == BST_CHECKED;
  m_settings.SetPOP3(IsDlgButtonChecked(IDC_PF_CHECK) == BST_CHECKED ? "1" : "0");
  m_settings.SetPOP3Postfach(user.IsEmpty() ? CString(kDefaultUser) : user);
  m_settings.SetPOPSpeichern(save ? "1" : "0");
  m_settings.SetPOP3Passwort(save || m_forMailCheck ? password : CString());
  EndDialog(IDOK);
}

void CDlg_Postfach::OnHilfe() {
  CDlg_TippDesTages::ShowHelp(this, AfxLoadString(5136) + AfxLoadString(5137));
}

// ---------------------------------------------------------------------------------------------

CDlg_Benutzerrechnung::CDlg_Benutzerrechnung(CWnd* parent) : CDialog(IDD_BENUTZERRECHNUNG, parent) {}

const CMessageMap* CDlg_Benutzerrechnung::GetMessageMap() const {
  using M = CMessageMapOf<CDlg_Benutzerrechnung>;
  static const CMessageMap map(CDialog::GetMessageMap(), {
      M::Clicked(IDC_BR_BILL, &CDlg_Benutzerrechnung::OnRechnung),
      M::Clicked(IDC_BR_HELP, &CDlg_Benutzerrechnung::OnHilfe)});
  return &map;
}

BOOL CDlg_Benutzerrechnung::OnInitDialog() {
  CDialog::OnInitDialog();  // data exchange: the two date controls
  COleDateTime now = GetNow();
  m_fromDate.SetTime(now);
  m_toDate.SetTime(now);
  CString time = now.Format("%H:%M:%S").Left(5);
  for (int id : {IDC_BR_FROMTIME, IDC_BR_TOTIME}) {
    SendDlgItemMessage(id, EM_LIMITTEXT, 5, 0);
    SetDlgItemText(id, time);
  }
  return TRUE;
}

void CDlg_Benutzerrechnung::DoDataExchange(CDataExchange* dx) {
  DDX_Control(dx, IDC_BR_FROMDATE, m_fromDate);
  DDX_Control(dx, IDC_BR_TODATE, m_toDate);
}

BOOL CDlg_Benutzerrechnung::ParseTime(const CString& text, int& hours, int& minutes) {
  const int n = text.GetLength();
  int colon = text.Find(':');
  if (n > 5 || colon < 1 || colon > 2 || text.Find(':', colon + 1) >= 0) return FALSE;
  int after = n - colon - 1;
  if (after < 1 || after > 2) return FALSE;
  for (int i = 0; i < n; ++i)
    if (i != colon && (text[i] < '0' || text[i] > '9')) return FALSE;
  hours = atoi(text.Left(colon));
  minutes = atoi(text.Mid(colon + 1));
  return hours < 24 && minutes < 60;
}

void CDlg_Benutzerrechnung::OnRechnung() {
  COleDateTime fromDay, toDay;
  CString fromText, toText;
  GetDlgItemText(IDC_BR_FROMTIME, fromText);
  GetDlgItemText(IDC_BR_TOTIME, toText);
  int fh = 0, fm = 0, th = 0, tm = 0;
  if (!m_fromDate.GetTime(fromDay) || !ParseTime(fromText, fh, fm)) {
    AfxMessageBox("Fehler bei der Eingabe der Uhrzeit im Feld \"Von\"", MB_OK | MB_ICONWARNING, kIdsTitleShort);
    return;
  }
  if (!m_toDate.GetTime(toDay) || !ParseTime(toText, th, tm)) {
    AfxMessageBox("Fehler bei der Eingabe der Uhrzeit im Feld \"Bis\"", MB_OK | MB_ICONWARNING, kIdsTitleShort);
    return;
  }
  COleDateTime from(fromDay.GetYear(), fromDay.GetMonth(), fromDay.GetDay(), fh, fm, 0);
  COleDateTime to(toDay.GetYear(), toDay.GetMonth(), toDay.GetDay(), th, tm, 0);
  if (from > to) {
    AfxMessageBox("Das Enddatum liegt vor dem Anfangsdatum", MB_OK | MB_ICONWARNING, kIdsTitleShort);
    return;
  }
  CSettings settings;
  CCostLog log(&settings);
  log.SetPlain(static_cast<BYTE>(m_sorted ? 1 : 0));
  if (!log.WriteHtml(from, to) && !log.BillWriteFailed())
    AfxMessageBox(kBillUnreadable, MB_OK | MB_ICONERROR, kIdsTitleShort);
}

void CDlg_Benutzerrechnung::OnHilfe() { CDlg_TippDesTages::ShowHelp(this, AfxLoadString(5133)); }

// ---------------------------------------------------------------------------------------------

const char CDlg_Protokolldateien::kBill[] = "rechnung.log";
const char CDlg_Protokolldateien::kFree[] = "free.log";

CDlg_Protokolldateien::CDlg_Protokolldateien(CTarifManager* manager, CWnd* parent)
    : CDialog(IDD_PROTOKOLLDATEIEN, parent), m_manager(manager) {}

const CMessageMap* CDlg_Protokolldateien::GetMessageMap() const {
  using M = CMessageMapOf<CDlg_Protokolldateien>;
  static const CMessageMap map(CDialog::GetMessageMap(), {
      M::Clicked(IDC_PD_EXPORT_BILL, &CDlg_Protokolldateien::OnExportBill),
      M::Clicked(IDC_PD_IMPORT_BILL, &CDlg_Protokolldateien::OnImportBill),
      M::Clicked(IDC_PD_DELETE_BILL, &CDlg_Protokolldateien::OnDeleteBill),
      M::Clicked(IDC_PD_EXPORT_FREE, &CDlg_Protokolldateien::OnExportFree),
      M::Clicked(IDC_PD_IMPORT_FREE, &CDlg_Protokolldateien::OnImportFree),
      M::Clicked(IDC_PD_DELETE_FREE, &CDlg_Protokolldateien::OnDeleteFree)});
  return &map;
}

BOOL CDlg_Protokolldateien::OnInitDialog() {
  CDialog::OnInitDialog();
  m_folder = CSettings().GetPATH();
  return TRUE;
}

namespace {
// The file chosen in the system's open or save dialog for a log file; empty when cancelled.
CString ChooseLogFile(BOOL open, const char* name, CWnd* parent) {
  CFileDialog dlg(open, "log", name, OFN_HIDEREADONLY | (open ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT),
                  "*.log|*.log||", parent);
  return dlg.DoModal() == IDOK ? dlg.GetPathName() : CString();
}

// Copies a whole log file through the save primitive: the target is replaced only by a complete
// copy (written beside it first) and otherwise stays as it was. The copy is a new file of its
// own: a write-protected source (a backup on a CD) does not make the program's log
// write-protected. A file beyond the limit of data files is no log of this program.
BOOL CopyWhole(const CString& from, const CString& to) {
  std::string content;
  return ReadDataFile(from, content) && WriteWholeFile(to, content);
}

void ReportCopyFailure(CWnd* parent, const CString& from, const CString& to) {
  ::MessageBoxA(parent->m_hWnd, "Die Datei \"" + from + "\" konnte nicht nach \"" + to + "\" kopiert werden.",
                AfxLoadString(kIdsTitleShort), MB_OK | MB_ICONERROR);
}
}  // namespace

void CDlg_Protokolldateien::Export(const char* name) {
  CString target = ChooseLogFile(FALSE, name, this);
  if (target.IsEmpty()) return;
  CString source = m_folder + "\\" + name;
  if (!CopyWhole(source, target)) ReportCopyFailure(this, source, target);
}

bool CDlg_Protokolldateien::Ask(const CString& question) {
  return ::MessageBoxA(m_hWnd, question, AfxLoadString(kIdsTitleShort), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) ==
         IDYES;
}

void CDlg_Protokolldateien::Import(const char* name) {
  CString source = ChooseLogFile(TRUE, name, this);
  if (source.IsEmpty()) return;
  CString target = m_folder + "\\" + name;
  std::string content;
  if (!ReadDataFile(source, content)) {
    ReportCopyFailure(this, source, target);
    return;
  }
  // A cost log is taken only when every record of it reads: the one in force holds the history
  // of every bill and stays unless the new one can take its place.
  if (strcmp(name, kBill) == 0 && !CCostLog::ReadsAsLog(content)) {
    ::MessageBoxA(m_hWnd,
                  "Die Datei \"" + source + "\" enthält keine lesbaren Verbindungskosten.\n"
                  "Die bisherige Datei " + name + " bleibt erhalten.",
                  AfxLoadString(kIdsTitleShort), MB_OK | MB_ICONERROR);
    return;
  }
  if (!Ask(CString("Die bisherige Datei ") + name + " wird durch \"" + source + "\" ersetzt.\nFortfahren?")) return;
  if (!WriteWholeFile(target, content)) {
    ReportCopyFailure(this, source, target);
    return;
  }
  AfterFreeChange(name);
}

void CDlg_Protokolldateien::Delete(const char* name) {
  CString path = m_folder + "\\" + name;
  if (CFile::Exists(path) &&
      !Ask(CString("Soll die Datei ") + name + " wirklich gelöscht werden?\n" +
               (strcmp(name, kBill) == 0 ? "Alle aufgezeichneten Verbindungskosten gehen verloren."
                                         : "Alle Angaben zu verbrauchten Freiminuten gehen verloren.")))
    return;
  // A file that stays (held open by another program, write-protected) keeps its records: the
  // providers' usage must not be zeroed for it.
  if (!::DeleteFileA(path) && ::GetLastError() != ERROR_FILE_NOT_FOUND) {
    ::MessageBoxA(m_hWnd, SaveFailureText(path), "Fehler", MB_OK | MB_ICONERROR);
    return;
  }
  AfterFreeChange(name);
}

void CDlg_Protokolldateien::AfterFreeChange(const char* name) {
  if (strcmp(name, kFree) != 0 || !m_manager) return;
  // The providers keep a copy of their record's usage for the ranking: it goes with the record.
  CString id;
  CObject* record;
  CMapStringToOb& records = m_manager->GetProtocolStore().GetMap();
  for (POSITION pos = records.GetStartPosition(); pos;) {
    records.GetNextAssoc(pos, id, record);
    if (CProvider* p = m_manager->FindProvider(id)) {
      p->SetCallCount(0);
      p->SetOnlineMinutes(0);
      p->SetPeriodDay(1);
      p->SetPeriodStart(COleDateTime());
    }
  }
  m_manager->LoadProtocols();
}
