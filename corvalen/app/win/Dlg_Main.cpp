#include "Dlg_Main.h"

#include <shellapi.h>

#include "BillingRule.h"
#include "ProviderListText.h"
#include "SplashWnd.h"
#include "TarifClock.h"
#include "TarifTexts.h"
#include "WebAddress.h"
#include "res/resource.h"

namespace {

const UINT kIdsAbout = 101;
const UINT kIdsQuitWhileOnline = 5115;
const UINT kIdsFreeMinutesUsed = 5124;
const UINT kIdsCheaperProvider = 5548;
const UINT kHelpTexts[] = {5587, 5130, 5131, 5132};
const UINT kTrayMessage = WM_USER + 10;
const char kMainTitle[] = "Astrel Corvalen";

// The controls of the online display.
const int kOnlineDisplay[] = {IDC_ONLINE_KOSTEN, IDC_ONLINE_TAKT, IDC_ONLINE_PREIS, IDC_ONLINE_ZEIT,
                              IDC_ONLINE_EINWAHL, IDC_LBL_KOSTEN, IDC_LBL_TAKT, IDC_LBL_EINWAHL,
                              IDC_LBL_ZEIT, IDC_LBL_DM, IDC_LBL_STUNDEN, IDC_LBL_PREIS};
// The tray icon's tip after the line dropped while the window was in the tray.
const char kTrayLineDropped[] = "Verbindung unterbrochen - Astrel Corvalen 2.0";

}  // namespace

CDlg_Main::CDlg_Main(CWnd* parent) : CDialog(IDD_CORVALEN_MAIN, parent), m_dialogs(CreateAppDialogs()) {
  m_hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_CORVALEN));
}

CDlg_Main::~CDlg_Main() {
  delete m_pController;
  delete m_pTrayIcon;
  ReleaseConnectedMutex();
  if (m_hConnectedMutex) ::CloseHandle(m_hConnectedMutex);
}

const CMessageMap* CDlg_Main::GetMessageMap() const {
  using M = CMessageMapOf<CDlg_Main>;
  static const CMessageMap map(CDialog::GetMessageMap(), {
      M::Message(kMsgDialProgress, &CDlg_Main::OnDialProgress),
      M::Message(kMsgRefreshProviders, &CDlg_Main::OnRefreshProviders),
      M::Clicked(IDC_OPTIONEN, &CDlg_Main::OnOptionen),
      M::Clicked(IDC_DETAILS, &CDlg_Main::OnDetails),
      M::Clicked(IDC_VERBINDEN, &CDlg_Main::OnVerbinden),
      M::Clicked(IDC_TRENNEN, &CDlg_Main::OnTrennen),
      M::Clicked(IDC_AENDERN, &CDlg_Main::OnAendern),
      M::Clicked(IDC_HILFE, &CDlg_Main::OnHilfe),
      M::Clicked(IDC_KOSTEN, &CDlg_Main::OnKosten),
      M::Control(CBN_SELCHANGE, IDC_PROVIDER, &CDlg_Main::OnSelchangeProvider),
      M::Command(ID_TRAY_WIEDERHERSTELLEN, &CDlg_Main::OnTrayWiederherstellen),
      M::Command(ID_TRAY_BEENDEN, &CDlg_Main::OnTrayBeenden),
      M::Command(ID_TRAY_TRENNEN, &CDlg_Main::OnTrayTrennen)});
  return &map;
}

void CDlg_Main::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, IDC_PROVIDER, m_cbProvider);
  DDX_Control(dx, IDC_VERBINDEN, m_btnVerbinden);
  DDX_Control(dx, IDC_TRENNEN, m_btnTrennen);
  DDX_Control(dx, IDC_AENDERN, m_btnAendern);
  DDX_Control(dx, IDC_OPTIONEN, m_btnOptionen);
  DDX_Control(dx, IDC_KOSTEN, m_btnKosten);
  DDX_Control(dx, IDC_DETAILS, m_btnDetails);
  DDX_Control(dx, IDC_HILFE, m_btnHilfe);
  DDX_Control(dx, IDC_GROUP_VERBINDUNG, m_grpVerbindung);
  DDX_Control(dx, IDC_STATUS, m_stStatus);
  DDX_Control(dx, IDC_INFOFELD, m_stInfo);
}

UINT CDlg_Main::Scaled(UINT ms) const {
  UINT v = ms / static_cast<UINT>(timeScale);
  return v ? v : 1;
}

BOOL CDlg_Main::CreateInstanceMutexes() {
  m_strClassName = AfxRegisterWndClass(0, ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)),
                                       reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  m_hConnectedMutex = ::CreateMutexA(nullptr, FALSE, "CORVALENCONNECTED");
  ::CreateMutexA(nullptr, FALSE, "CORVALEN");  // kept until the process ends
  if (::GetLastError() != ERROR_ALREADY_EXISTS) return TRUE;
  HWND other = ::FindWindowA(nullptr, kMainTitle);
  if (other) {
    HWND popup = ::GetLastActivePopup(other);
    ::ShowWindow(other, SW_RESTORE);
    ::SetForegroundWindow(popup ? popup : other);
  }
  return FALSE;
}

BOOL CDlg_Main::OnInitDialog() {
  CDialog::OnInitDialog();
  CString about = AfxLoadString(kIdsAbout);
  if (HMENU sys = ::GetSystemMenu(m_hWnd, FALSE)) {
    if (!about.IsEmpty()) {
      ::AppendMenuA(sys, MF_SEPARATOR, 0, nullptr);
      ::AppendMenuA(sys, MF_STRING, IDM_ABOUTBOX, about);
    }
  }
  m_hIcon = ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_CORVALEN_TRAY));
  SetIcon(m_hIcon, TRUE);
  SetIcon(m_hIcon, FALSE);
  ShowConnectionControls(FALSE);  // offline: the online display is hidden; 1053 and 1051 cleared
  m_status.SetOwner(m_hWnd);

  if (m_tip.Create(this)) {
    m_tip.Activate(TRUE);
    m_tip.AddToolsForChildren(this);
    // The user-name field's id is a help text of the provider filter in the string table.
    m_tip.DelTool(GetDlgItem(IDC_BENUTZER));
  }

  m_pController = new CConnectionController(&m_settings, m_settings.GetProvider(), &m_status, m_hWnd, m_dialogs.get());
  m_pController->SetTimeScale(timeScale);
  if (!m_pController->StartupCheck()) return FALSE;

  m_pController->SetStartedByHook(startedByHook);
  CSplashWnd* splash = nullptr;
  DWORD splashStart = ::GetTickCount();
  if (!startedByHook) {
    CSplashWnd::EnableSplash(TRUE);
    splash = CSplashWnd::ShowSplash(this);
  }
  m_tarifManager.Init(&m_settings, &m_pController->GetMeter(), nullptr);
  m_tarifManager.SetReloadListener([this] { OnTarifReloaded(); });
  m_pController->SetTariffManager(&m_tarifManager);
  if (splash) {
    // The splash stays up at least two seconds; meanwhile the thread sleeps and keeps painting.
    DWORD shown = Scaled(2000);
    for (;;) {
      DWORD elapsed = ::GetTickCount() - splashStart;
      if (elapsed >= shown) break;
      ::MsgWaitForMultipleObjects(0, nullptr, FALSE, shown - elapsed, QS_PAINT);
      MSG msg;
      while (::PeekMessageA(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) ::DispatchMessageA(&msg);
    }
    if (CSplashWnd::Current()) CSplashWnd::Current()->DestroyWindow();
  }

  if (m_settings.GetDefaultDFUDeviceName() == "DEFAULT") {
    if (!m_pController->RunSetupWizard()) {
      m_status.SendToOwner(WM_CLOSE, 0, 0);
      return FALSE;
    }
  }
  SendMessage(kMsgRefreshProviders, 0, 0);
  // A program that ended online left its connection's note (its record is written now) or its
  // line up (to be hung up here).
  if (m_pController->RecoverConnection()) ShowStrayConnection();
  SetTimer(kTimerRefresh, Scaled(60000));
  if (m_settings.GetAutomatic() == "1") SetTimer(kTimerAutoConnect, Scaled(100));
  return TRUE;
}

int CDlg_Main::OnCreate(LPCREATESTRUCT cs) {
  if (CDialog::OnCreate(cs) == -1) return -1;
  return 0;
}

void CDlg_Main::OnPaint() {
  if (IsIconic()) {
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
    int cx = ::GetSystemMetrics(SM_CXICON), cy = ::GetSystemMetrics(SM_CYICON);
    RECT rect;
    GetClientRect(&rect);
    dc.DrawIcon((rect.right - rect.left - cx + 1) / 2, (rect.bottom - rect.top - cy + 1) / 2, m_hIcon);
  } else {
    CDialog::OnPaint();
  }
}

HCURSOR CDlg_Main::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(m_hIcon); }

BOOL CDlg_Main::PreTranslateMessage(MSG* msg) {
  if (!m_hWnd) return FALSE;
  if (m_tip.m_hWnd) m_tip.RelayEvent(msg);
  return CDialog::PreTranslateMessage(msg);
}

LRESULT CDlg_Main::OnDialProgress(WPARAM wp, LPARAM lp) {
  if (m_pController)
    m_pController->FormatDialProgress(wp, lp, ::GetDlgItem(m_hWnd, IDC_INFOFELD), ::GetDlgItem(m_hWnd, IDC_STATUS),
                                      ::GetDlgItem(m_hWnd, IDC_GROUP_VERBINDUNG));
  return 0;
}

LRESULT CDlg_Main::OnRefreshProviders(WPARAM useCurrentRanking, LPARAM force) {
  if (!m_pController) return 0;
  if (!m_cbProvider.IsWindowEnabled() && force != 1) return 0;
  int event = 0;
  if (!useCurrentRanking) {
    m_tarifManager.Recompute(&event, m_pController->GetMeter().GetProvider());
    m_rankedMinute.Ranked(GetNow());
  }
  int index = FillProviderList(m_tarifManager.GetRanking());
  m_cbProvider.SetCurSel(index);
  OnSelchangeProvider();
  if (event != 0) OfferCheaperProvider(event);
  return 0;
}

void CDlg_Main::OnTarifReloaded() {
  if (!m_pController) return;
  // Every provider record of before is gone, those the list's items and the controller pointed
  // at among them. The current provider is found again by its id, and the list is filled anew
  // with it chosen; a provider the new data lack leaves the choice to the list's own rule.
  m_pController->FindCurrentProviderAgain();
  const CProviderArray& ranking = m_tarifManager.GetRanking();
  int index = FillProviderList(ranking);
  if (CProvider* current = m_pController->GetCurrentProvider()) {
    for (int i = 0; i < ranking.GetSize(); ++i)
      if (ranking[i] == current) index = i;
  }
  m_cbProvider.SetCurSel(index);
  OnSelchangeProvider();
}

int CDlg_Main::FillProviderList(const CProviderArray& list) {
  m_cbProvider.ResetContent();
  CString id = DefaultProviderId(m_settings.GetDefaultConnection(), m_tarifManager.GetRanking());
  int found = 0;
  for (int i = 0; i < list.GetSize(); ++i) {
    CProvider* p = list[i];
    int at = m_cbProvider.AddString(ProviderItemText(*p));
    m_cbProvider.SetItemDataPtr(at, p);
    if (p->GetId() == id) found = at;
  }
  return found;
}

void CDlg_Main::OnSelchangeProvider() {
  int sel = m_cbProvider.GetCurSel();
  if (sel < 0 || m_tarifManager.GetActiveByName().GetSize() == 0) return;
  CProvider* p = static_cast<CProvider*>(m_cbProvider.GetItemDataPtr(sel));
  if (!p) return;
  m_pController->SetCurrentProvider(p);
  ShowProviderData(p);
}

void CDlg_Main::ShowProviderData(CProvider* p) {
  if (!p) return;
  Text(IDC_PREIS, CString::Formatted("%2.2f Pfg", static_cast<double>(p->GetPrice())));
  Text(IDC_TAKT, CString::Formatted("%2d ", CBillingRule::IntervalSeconds(p->GetTakt())));
  Text(IDC_EINWAHL, CString::Formatted("%2.2f Pfg", static_cast<double>(p->GetDialInFee())));
  if (p->IsLoginRequired()) {
    Text(IDC_PASSWORT, "nach Anmeldung");
    Text(IDC_BENUTZER, "nach Anmeldung");
    Enable(IDC_AENDERN, TRUE);
  } else {
    Text(IDC_PASSWORT, p->GetPassword());
    Text(IDC_BENUTZER, p->GetUserName());
    Enable(IDC_AENDERN, FALSE);
  }
}

void CDlg_Main::ShowConnectionControls(BOOL show) {
  for (int id : kOnlineDisplay) ::ShowWindow(::GetDlgItem(m_hWnd, id), show ? SW_SHOW : SW_HIDE);
  Text(IDC_INFOFELD, "");
  Text(IDC_STATUS, "");
}

void CDlg_Main::TakeConnectedMutex() {
  if (!m_hConnectedMutex || m_ownsConnectedMutex) return;
  // The AutoDial hook takes the mutex for a moment again and again while it watches; a wait that
  // falls into such a moment fails, and timer 4 tries again a second later.
  DWORD w = ::WaitForSingleObject(m_hConnectedMutex, 5);
  m_ownsConnectedMutex = (w == WAIT_OBJECT_0 || w == WAIT_ABANDONED);
}

void CDlg_Main::ReleaseConnectedMutex() {
  if (m_ownsConnectedMutex && m_hConnectedMutex) ::ReleaseMutex(m_hConnectedMutex);
  m_ownsConnectedMutex = FALSE;
}

void CDlg_Main::OnVerbinden() {
  // One connect at a time: a "Verbinden" (or a timer's connect) that arrives while an earlier
  // one is still being given up (a cancelled dial or download unwinding) starts nothing.
  if (m_connecting) return;
  Enable(IDC_PROVIDER, FALSE);
  Enable(IDC_AENDERN, FALSE);
  Enable(IDC_VERBINDEN, FALSE);
  Enable(IDC_OPTIONEN, FALSE);
  Enable(IDC_KOSTEN, FALSE);
  Text(IDC_TRENNEN, "&Abbrechen");
  Enable(IDC_TRENNEN, TRUE);
  RedrawWindow();
  HCURSOR old = ::SetCursor(::LoadCursorA(nullptr, MAKEINTRESOURCEA(32514)));
  bool ok;
  {
    // Cleared however Connect ends (the window procedure catches what it might throw).
    struct Connecting {
      bool& flag;
      explicit Connecting(bool& f) : flag(f) { flag = true; }
      ~Connecting() { flag = false; }
    } connecting(m_connecting);
    ok = m_pController->Connect();
  }
  if (ok && m_pController->IsOnline()) {
    TakeConnectedMutex();
    Text(IDC_TRENNEN, "&Trennen");
    Enable(IDC_TRENNEN, TRUE);
    if (CProvider* p = m_pController->GetMeter().GetProvider())
      Text(IDC_GROUP_VERBINDUNG, "Aktuelle Verbindung : " + p->GetName());
    ShowConnectionControls(TRUE);
  } else {
    Enable(IDC_VERBINDEN, TRUE);
    Text(IDC_TRENNEN, "&Trennen");
    Enable(IDC_TRENNEN, FALSE);
    if (!ok) {
      Text(IDC_INFOFELD, "");
      Text(IDC_STATUS, "");
    }
  }
  Enable(IDC_OPTIONEN, TRUE);
  Enable(IDC_KOSTEN, TRUE);
  Enable(IDC_PROVIDER, TRUE);
  ::SetCursor(old ? old : ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
  ShowProviderData(m_pController->GetCurrentProvider());
  RedrawWindow();
}

void CDlg_Main::ShowStrayConnection() {
  Text(IDC_TRENNEN, "&Trennen");
  Enable(IDC_TRENNEN, TRUE);
  Text(IDC_STATUS, "Die Verbindung '" + m_pController->GetStrayEntry() + "' ist noch aktiv.");
}

void CDlg_Main::OnTrennen() {
  if (m_pController->HasStrayConnection() && !m_pController->IsOnline()) {
    Text(IDC_STATUS, "Trenne Verbindung ...");
    m_pController->HangUpStray();
    Enable(IDC_VERBINDEN, TRUE);
    Enable(IDC_TRENNEN, FALSE);
    Text(IDC_STATUS, "");
    return;
  }
  if (m_pController->IsOnline() || m_pController->IsAutoDisconnect()) {
    if (m_pTrayIcon) {
      // A line that dropped (timer 4 found it down) is told where the user looks now.
      m_pTrayIcon->SetTooltipText(m_pController->IsAutoDisconnect() ? CString(kTrayLineDropped)
                                                                    : AfxLoadString(kIdsTitle));
      m_pTrayIcon->SetMenuId(IDR_TRAY_OFFLINE);
    }
    Text(IDC_STATUS, "Trenne Verbindung ...");
    m_pController->HangUp();
    // During a connect's work "Verbinden" comes back when that work has ended (OnVerbinden).
    Enable(IDC_VERBINDEN, !m_connecting);
    Enable(IDC_TRENNEN, FALSE);
    m_pController->SetAutoDisconnect(FALSE);
  } else {
    m_pController->CancelDial();
    Enable(IDC_TRENNEN, FALSE);
    Enable(IDC_VERBINDEN, !m_connecting);
    Text(IDC_TRENNEN, "&Trennen");
  }
  ReleaseConnectedMutex();
  Text(IDC_INFOFELD, "");
  Text(IDC_STATUS, "");
  Text(IDC_GROUP_VERBINDUNG, "Aktuelle Verbindung");
  ShowConnectionControls(FALSE);
  ShowProviderData(m_pController->GetCurrentProvider());
  RedrawWindow();
}

void CDlg_Main::OnCancel() {
  if (m_pController && m_pController->IsOnline()) {
    if (MessageBox(AfxLoadString(kIdsQuitWhileOnline), AfxLoadString(kIdsTitle), MB_YESNO | MB_ICONQUESTION) != IDYES)
      return;
  }
  ReleaseConnectedMutex();
  if (m_pController) {
    m_pController->CancelDial();
    m_pController->HangUp();
  }
  EndDialog(IDCANCEL);
  Text(IDC_INFOFELD, "");
  Text(IDC_STATUS, "");
  Text(IDC_GROUP_VERBINDUNG, "Aktuelle Verbindung");
  ShowConnectionControls(FALSE);
  if (m_pController) ShowProviderData(m_pController->GetCurrentProvider());
}

BOOL CDlg_Main::DestroyWindow() {
  m_tarifManager.SetReloadListener(nullptr);
  delete m_pController;
  m_pController = nullptr;
  // The connection is gone with the controller: the hook must no longer see the router online.
  ReleaseConnectedMutex();
  delete m_pTrayIcon;
  m_pTrayIcon = nullptr;
  KillTimer(kTimerRefresh);
  return CDialog::DestroyWindow();
}

void CDlg_Main::OfferCheaperProvider(int event) {
  CString title = AfxLoadString(kIdsTitle);
  if (event == 1 || event == 3) {
    m_pController->OnPriceChange();  // the segment ends at once, without a unit out of turn
    MessageBox(AfxLoadString(kIdsFreeMinutesUsed), title, MB_ICONINFORMATION);
    if (event == 1) return;
  } else if (event != 2) {
    return;
  }
  const CProviderArray& ranking = m_tarifManager.GetDatabase().GetRanking();
  if (ranking.GetSize() == 0) return;
  CProvider* cheapest = ranking[0];
  CString text = AfxLoadString(kIdsCheaperProvider) + "\n(" +
                 CString::Formatted("%2.2f", static_cast<double>(cheapest->GetPrice())) + " Pfg/min  " +
                 cheapest->GetName() + ")";
  if (MessageBox(text, title, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  OnTrennen();
  // The line needs a moment before it can be dialled again; the window keeps answering.
  DWORD start = ::GetTickCount(), wait = Scaled(3000);
  while (::GetTickCount() - start < wait) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, wait - (::GetTickCount() - start), QS_ALLINPUT);
    if (!AfxPumpWaitingMessages()) return;
  }
  m_pController->SetCurrentProvider(cheapest);
  OnVerbinden();
}

void CDlg_Main::RunOptions(int page) {
  m_dialogs->ShowOptions(m_hWnd, *m_pController, m_tarifManager, m_settings, page);
  SendMessage(kMsgRefreshProviders, 0, 0);
}

void CDlg_Main::OnOptionen() { RunOptions(1); }
void CDlg_Main::OnKosten() { RunOptions(3); }

void CDlg_Main::OnAendern() {
  CString password;
  m_pController->AskUserData(password, TRUE, TRUE);
  CProvider* current = m_pController->GetCurrentProvider();
  int index = 0;
  for (int i = 0; current && i < m_cbProvider.GetCount(); ++i) {
    CProvider* p = static_cast<CProvider*>(m_cbProvider.GetItemDataPtr(i));
    if (p && p->GetId() == current->GetId()) {
      index = i;
      break;
    }
  }
  m_cbProvider.SetCurSel(index);
  OnSelchangeProvider();
}

void CDlg_Main::OnDetails() {
  CProvider* p = m_pController->GetCurrentProvider();
  if (!p) return;
  CString info = p->GetInfo();
  if (info.IsEmpty()) info = "Keinen weiteren Detailinformationen vorhanden.";
  m_dialogs->ShowDetails(m_hWnd, "Detailinfos \"" + p->GetName() + "\"", info);
}

void CDlg_Main::OnHilfe() {
  CString text;
  for (UINT id : kHelpTexts) text += AfxLoadString(id);
  m_dialogs->ShowHelp(text);
}

void CDlg_Main::OnSysCommand(UINT id, LPARAM lp) {
  if ((id & 0xFFF0) == IDM_ABOUTBOX) m_dialogs->ShowInfo(m_hWnd);
  if ((id & 0xFFF0) == SC_MINIMIZE) {
    MinimizeToTray();
    return;
  }
  CDialog::OnSysCommand(id, lp);
}

void CDlg_Main::MinimizeToTray() {
  delete m_pTrayIcon;
  m_pTrayIcon = new CSystemTray;
  bool online = m_pController && m_pController->IsOnline();
  m_pTrayIcon->Create(this, nullptr, kTrayMessage, "",
                      ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDI_CORVALEN_TRAY)),
                      online ? IDR_TRAY_ONLINE : IDR_TRAY_OFFLINE);
  m_pTrayIcon->ShowIcon();
  m_pTrayIcon->SetIcon(IDI_CORVALEN_TRAY);
  m_pTrayIcon->SetTooltipText(AfxLoadString(kIdsTitle));
  ShowWindow(SW_HIDE);
  m_pTrayIcon->SetMenuDefaultItem(2, TRUE);
}

BOOL CDlg_Main::OnQueryEndSession() {
  // The note is brought up to date: a session that then ends without WM_ENDSESSION (the process
  // killed) loses no minute of the record the next start writes.
  if (m_pController && m_pController->IsOnline()) m_pController->NoteConnection();
  return TRUE;
}

void CDlg_Main::OnEndSession(BOOL ending) {
  if (ending) EndSession();
}

void CDlg_Main::EndSession() {
  if (m_sessionEnded || !m_pController) return;
  m_sessionEnded = TRUE;
  // The line is hung up and its cost record written before the process ends; a line of the
  // router's found up at start goes down with it. No question: the session ends either way.
  m_pController->HangUp();
  m_pController->HangUpStray();
  ReleaseConnectedMutex();
}

void CDlg_Main::OnTrayWiederherstellen() {
  ShowWindow(SW_SHOW);
  if (m_pTrayIcon) m_pTrayIcon->RemoveIcon();
}

void CDlg_Main::OnTrayBeenden() { OnCancel(); }
void CDlg_Main::OnTrayTrennen() { OnTrennen(); }

void CDlg_Main::OnTimer(UINT_PTR id) {
  if (!m_pController) return CDialog::OnTimer(id);
  CConnectionMeter& meter = m_pController->GetMeter();
  switch (id) {
    case kTimerUrlOfDay: {
      KillTimer(kTimerUrlOfDay);
      CString url = m_settings.GetUrlOfDay();
      url.Trim();
      // The address comes from the server: only a web page is opened, in the browser.
      if (IsWebAddress(url)) {
        SHELLEXECUTEINFOA info = {};
        info.cbSize = sizeof info;
        info.lpVerb = "open";
        info.lpFile = url;
        info.nShow = SW_SHOWNORMAL;
        ::ShellExecuteExA(&info);
      }
      if (m_pController->HasServerMessages()) m_dialogs->ShowTip(m_hWnd, m_settings.GetDailyTip());
      break;
    }
    case kTimerRefresh:
      SendMessage(kMsgRefreshProviders, 0, 0);
      break;
    case kTimerAutoConnect: {
      KillTimer(kTimerAutoConnect);
      CProvider* p = m_tarifManager.FindProvider(m_settings.GetDefaultConnection());
      if (!p && m_tarifManager.GetRanking().GetSize() > 0) p = m_tarifManager.GetRanking()[0];
      if (p) m_pController->SetCurrentProvider(p);
      OnVerbinden();
      break;
    }
    case kTimerOnline: {
      if (!m_pController->IsOnline()) {
        m_pController->SetAutoDisconnect(TRUE);
        OnTrennen();
        break;
      }
      // Online means the mutex is ours: the hook reads nothing else.
      TakeConnectedMutex();
      m_pController->NoteIfDue();
      CProvider* p = meter.GetProvider();
      if (!p) break;
      COleDateTime now = GetNow();
      meter.GetOnlineSpan();  // keeps the whole online seconds for the display
      CString time = FormatOnlineTime(meter.GetOnlineSeconds());
      CString cost = CString::Formatted("%3.3f", meter.GetCost() * 0.01);
      Text(IDC_ONLINE_ZEIT, time);
      Text(IDC_ONLINE_PREIS, CString::Formatted("%.2f", static_cast<double>(p->GetPrice())) + " Pfg");
      Text(IDC_ONLINE_KOSTEN, cost);
      Text(IDC_ONLINE_TAKT, CString::Formatted("%3d", meter.GetIntervalSeconds()));
      Text(IDC_ONLINE_EINWAHL, CString::Formatted("%.2f", static_cast<double>(p->GetDialInFee())) + " Pfg");
      if (m_pTrayIcon)
        m_pTrayIcon->SetTooltipText("Zeit(h):" + time + " | Kosten(DM): " + cost + " | " + p->GetName());
      KillTimer(kTimerRefresh);
      // Once in every minute, whatever the second of this tick: a tick that comes late must not
      // skip the minute in which a price changes.
      if (m_rankedMinute.IsDue(now)) SendMessage(kMsgRefreshProviders, 0, 0);
      break;
    }
    case kTimerBilling:
      m_pController->OnBillingInterval();
      break;
    case kTimerMailCheck:
      m_status.SendToOwner(kMsgDialProgress, kProgressMailCheck, 0);
      m_dialogs->StartMailCheck(*m_pController);
      break;
    default:
      break;
  }
  CDialog::OnTimer(id);
}
