// Corvalen's options sheet: "Standard" (device, dial string, default provider, automatic connect,
// update frequency, manual tariff update), "Erweitert" (provider filter, mailbox, log files and,
// in expert mode, the dial-up network dialogs) and "Kosten" (cost totals, bills, free minutes).
// The main dialog keeps one sheet for the whole run; each opening recreates the page windows, so
// the expert mode and the sort check box keep their state between openings.
#pragma once

#include <functional>

#include "AfxWin.h"
#include "ConnectionController.h"
#include "TarifManager.h"

class CPsh_Sheet;

// The "Default connection" text that stands for the cheapest provider.
extern const char kCheapestProvider[];

// A page whose child controls get the tool tip of their id.
class COptionsPage : public CPropertyPage {
 public:
  using CPropertyPage::CPropertyPage;
  BOOL PreTranslateMessage(MSG* msg) override;
  CPsh_Sheet* GetOptions() const;

 protected:
  void InitToolTips();
  CToolTipCtrl m_tip;
};

class CPpg_Optionen : public COptionsPage {
 public:
  CPpg_Optionen() : COptionsPage(5509) {}
  const CMessageMap* GetMessageMap() const override;
  void DoDataExchange(CDataExchange* dx) override;
  BOOL OnInitDialog() override;
  void OnSelchangeDevice();
  void OnSelchangeConnection();
  void OnSelchangeFrequency();
  void OnTarifeAktualisieren();
  void ShowUpdateStamps();
  // "Verbinden mit:" from the tariff manager's ranking, the default connection selected.
  void FillConnections();

  int m_initialDevice = -1;
  int m_currentDevice = -1;
  int m_frequency = 0;
  CString m_defaultConnection;
  CString m_deviceType;
  CString m_deviceName;
  CString m_dialString;
  int m_automatic = 0;
  // Whether the page was made in this opening; only then do its values stand for the settings.
  BOOL m_made = FALSE;
};

class CPpg_Erweitert : public COptionsPage {
 public:
  // A dialog the page opens modally with the sheet's controller and tariff manager.
  using Dialog = std::function<void(CWnd* parent, CConnectionController* controller, CTarifManager* manager)>;
  enum { kProviderFilter, kMailbox, kLogFiles, kDfueSettings, kTakeOver, kDialogCount };
  // The dialogs come from their own folders; a button whose dialog is not set is disabled.
  static void SetDialog(int which, Dialog run);

  CPpg_Erweitert() : COptionsPage(5507) {}
  const CMessageMap* GetMessageMap() const override;
  BOOL OnInitDialog() override;
  void OnExpertenmodus();
  void ShowExpertControls(BOOL show);
  void OnFilter() { Run(kProviderFilter); }
  void OnMailbox() { Run(kMailbox); }
  void OnLogFiles() { Run(kLogFiles); }
  void OnDfueSettings() { Run(kDfueSettings); }
  void OnTakeOver() { Run(kTakeOver); }

  int m_expertMode = 0;

 private:
  void Run(int which);
  static Dialog& DialogOf(int which);
};

class CPpg_Kosten : public COptionsPage {
 public:
  // The user-defined bill dialog, with the sort flag; without one the button is disabled.
  using UserBill = std::function<void(CWnd* parent, CConnectionController* controller, BOOL sorted)>;
  static void SetUserBillDialog(UserBill run);

  CPpg_Kosten() : COptionsPage(5511) {}
  const CMessageMap* GetMessageMap() const override;
  BOOL OnInitDialog() override;
  void OnBill(int period);
  void OnBillToday() { OnBill(0); }
  void OnBillYesterday() { OnBill(1); }
  void OnBillWeek() { OnBill(2); }
  void OnBillMonth() { OnBill(3); }
  void OnBenutzerdefiniert();
  void OnFreiminuten();
  // "Anbieter:" of the free minutes: the usable providers with free minutes.
  void FillFreeProviders();

  // Today, yesterday, this week, this month: [from, to] at `now`.
  static void PeriodBounds(int period, const COleDateTime& now, COleDateTime& from, COleDateTime& to);
  // A total in hundredths of a DM as "12.34 DM".
  static CString FormatTotal(double hundredths);

  int m_sorted = 0;

 private:
  static UserBill& UserBillDialog();
};

class CPsh_Sheet : public CPropertySheet {
 public:
  explicit CPsh_Sheet(CWnd* parent = nullptr);
  const CMessageMap* GetMessageMap() const override;
  BOOL OnInitDialog() override;
  void OnHelp();
  // Writes the settings of the "Standard" page (an empty value as " "); nothing when the page was
  // not opened (its values would be those of an earlier opening, or none).
  void SaveSettings();

  void SetController(CConnectionController* c) { m_controller = c; }
  void SetTarifManager(CTarifManager* m) { m_manager = m; }
  void SetSettings(CSettings* s) { m_settings = s; }
  CConnectionController* GetController() const { return m_controller; }
  CTarifManager* GetTarifManager() const { return m_manager; }
  CSettings* GetSettings() const { return m_settings; }
  void SetStartPage(int selector) { m_startPage = selector; }
  void SetParent(CWnd* parent) { m_pParentWnd = parent; }

  CPpg_Optionen m_optionen;
  CPpg_Erweitert m_erweitert;
  CPpg_Kosten m_kosten;

 private:
  int m_startPage = 1;
  CConnectionController* m_controller = nullptr;
  CTarifManager* m_manager = nullptr;
  CSettings* m_settings = nullptr;
};

// "2000-08-08 14:15:00" -> "08.08.2000 14:15:00"; an empty stamp stays empty.
CString FormatUpdateStamp(CString stamp);
// The line type a dial string selects: "isdn" for an i, "modem" for an m (the m wins), else `type`.
CString LineTypeOf(const CString& dialString, const CString& type);

// Runs the sheet at a start page; on OK its settings are saved and IDOK returned.
INT_PTR RunOptionsSheet(CPsh_Sheet& sheet, CWnd* parent, CConnectionController* controller,
                        CTarifManager* manager, CSettings* settings, int startPage);
