// The one window of Corvalen: the ranked provider list, the chosen provider's price data, the
// connect, disconnect and option buttons, and while online the online time and running cost. It
// owns the settings, the tariff manager, the status helper, the connection controller and, while
// minimised, the tray icon, and it drives the program's clock with six window timers.
#pragma once

#include <memory>

#include "AfxWin.h"
#include "AppDialogs.h"
#include "ConnectionController.h"
#include "RankingMinute.h"
#include "Settings.h"
#include "SystemTray.h"
#include "TarifManager.h"

class CDlg_Main : public CDialog {
 public:
  explicit CDlg_Main(CWnd* parent = nullptr);
  ~CDlg_Main() override;

  // Registers the window class and creates the two mutexes; FALSE when another instance runs
  // (which is then restored and brought to the front).
  BOOL CreateInstanceMutexes();
  void SetStartedByHook(BOOL on) { startedByHook = on ? 1 : 0; }
  BOOL IsStartedByHook() const { return startedByHook; }
  // Divides every timer period, the splash time and the dial pauses (1 in use).
  void SetTimeScale(int scale) { timeScale = scale > 0 ? scale : 1; }

  BYTE startedByHook = 0;
  HANDLE m_hConnectedMutex = nullptr;

 protected:
  const CMessageMap* GetMessageMap() const override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  void OnCancel() override;
  BOOL DestroyWindow() override;
  BOOL PreTranslateMessage(MSG* msg) override;
  void OnPaint() override;
  HCURSOR OnQueryDragIcon() override;
  int OnCreate(LPCREATESTRUCT cs) override;
  void OnTimer(UINT_PTR id) override;
  void OnSysCommand(UINT id, LPARAM lp) override;
  // The end of the Windows session: the session may end; when it does, the line is hung up and
  // the cost record written first (the process ends right after).
  BOOL OnQueryEndSession() override;
  void OnEndSession(BOOL ending) override;

 public:
  // The session's end as the main window and the tray icon's window both learn it; the work is
  // done once.
  void EndSession();

 protected:

  LRESULT OnDialProgress(WPARAM wp, LPARAM lp);
  LRESULT OnRefreshProviders(WPARAM useCurrentRanking, LPARAM force);
  void OnOptionen();
  void OnKosten();
  void OnDetails();
  void OnVerbinden();
  void OnTrennen();
  void OnAendern();
  void OnHilfe();
  void OnSelchangeProvider();
  void OnTrayWiederherstellen();
  void OnTrayBeenden();
  void OnTrayTrennen();

  // After the tariff data were read again (a tariff update): the current provider found again
  // and the list filled anew.
  void OnTarifReloaded();
  int FillProviderList(const CProviderArray& list);
  void ShowProviderData(CProvider* provider);
  void ShowConnectionControls(BOOL show);
  void OfferCheaperProvider(int event);
  // A line of the router's entries found up at start: "Trennen" hangs it up.
  void ShowStrayConnection();
  void MinimizeToTray();
  void RunOptions(int page);
  // Takes the connected mutex unless it is owned already (a wait of 5 ms; while online timer 4
  // tries again every second until it is owned).
  void TakeConnectedMutex();
  void ReleaseConnectedMutex();
  UINT Scaled(UINT ms) const;
  void Enable(int id, BOOL on) { ::EnableWindow(::GetDlgItem(m_hWnd, id), on); }
  void Text(int id, const char* text) { ::SetDlgItemTextA(m_hWnd, id, text); }

 private:
  CSystemTray* m_pTrayIcon = nullptr;
  CComboBox m_cbProvider;
  CButton m_btnVerbinden, m_btnTrennen, m_btnAendern, m_btnOptionen, m_btnKosten, m_btnDetails, m_btnHilfe;
  CGroupBox m_grpVerbindung;
  CStatic m_stStatus, m_stInfo;
  CToolTipCtrl m_tip;
  CTarifManager m_tarifManager;
  CSettings m_settings;
  CConnectionController* m_pController = nullptr;
  CStatusHelper m_status;
  std::unique_ptr<CAppDialogs> m_dialogs;
  CString m_strClassName;
  HICON m_hIcon = nullptr;
  int timeScale = 1;
  BOOL m_ownsConnectedMutex = FALSE;
  BOOL m_sessionEnded = FALSE;  // the end of the Windows session was handled
  CRankingMinute m_rankedMinute;  // the minute the provider list was ranked in last
  // A connect runs (OnVerbinden has not returned): its dial, or the work after it, pumps
  // messages, so a second "Verbinden" could start inside it; it is refused until the first ends.
  bool m_connecting = false;
};
