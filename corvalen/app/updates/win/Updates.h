// Corvalen's talk with its update server over HTTP: the server's message file, the banner picture
// of the bill, and the daily checks for a new program version and new tariff data with the
// download dialog. The checks run on the user-interface thread; each transfer runs on a worker
// thread of its own meanwhile (Download).
#pragma once

#include <functional>

#include "AfxWin.h"
#include "ServerMessages.h"

class CConnectionController;

// How long a download may take: to connect, between two pieces of the answer, and in all (ms).
// A server that accepts and never answers, stalls, or sends a byte now and then is given up
// after these; so is one that redirects more than five times.
struct CDownloadLimits {
  DWORD connectMs = 30000;
  DWORD idleMs = 30000;
  DWORD totalMs = 300000;  // the largest tariff file over a slow modem line takes a minute
};
void SetDownloadLimits(const CDownloadLimits& limits);
const CDownloadLimits& GetDownloadLimits();

enum class DownloadResult { ok, failed, timedOut, cancelled };

// Fetches the address (http:// or https://, redirects followed) into the file, which is written
// whole or not at all. The transfer runs on a thread of its own while this thread handles its
// window messages, so the program keeps answering; it returns when the worker has ended.
// timedOut: one of the limits ran out, which is told to the user (once, here); cancelled:
// CancelDownloads was called meanwhile; failed: WinInet cannot be opened, the address cannot be
// reached, the server answers with an error status, the answer is cut short or beyond the limit
// of data files, or the file cannot be written.
DownloadResult Download(const CString& url, const CString& path);
// Download() == ok.
BOOL DownloadFile(CString url, CString path);
// Gives up every download that runs now (the line was hung up, the program ends).
void CancelDownloads();

// The update server's address ("http://host[:port]"), to which "/msg/" and "MessageUrl" are
// joined for the server messages.
CString GetUpdateServer();
void SetUpdateServer(const CString& base);  // empty: the built-in one

// The message boxes and the browser of the checks. Tests install recorders; an empty function
// restores the real ones.
using UpdateMessageBox = std::function<int(HWND parent, const CString& text, const CString& title, UINT type)>;
void SetUpdateMessageBox(UpdateMessageBox box);
using UpdateBrowser = std::function<void(const CString& url)>;
void SetUpdateBrowser(UpdateBrowser browser);

class CUpdateCheck : public CObject {
 public:
  explicit CUpdateCheck(CConnectionController* controller);
  ~CUpdateCheck() override = default;
  virtual BOOL IsDue() = 0;
  virtual BOOL Run(CWnd* parent) = 0;
  CString GetPATH();
  CConnectionController* GetController() const { return controller; }

 protected:
  CConnectionController* controller;
  CSettings* settings;
};

// A new program version: offers to open its page.
class CDialerUpdateCheck : public CUpdateCheck {
 public:
  explicit CDialerUpdateCheck(CConnectionController* controller) : CUpdateCheck(controller) {}
  BOOL IsDue() override;
  BOOL Run(CWnd* parent) override;  // TRUE always
  BOOL IsNewVersion();
};

// New tariff data: offers the download and installs it.
class CTarifUpdateCheck : public CUpdateCheck {
 public:
  explicit CTarifUpdateCheck(CConnectionController* controller);
  BOOL IsDue() override;
  // TRUE when the user took the offered tariff data and it was installed.
  BOOL Run(CWnd* parent) override;
  BOOL IsNewTarif();
  // The download dialog; TRUE when new tariff data was installed, which only the download itself
  // tells (Return in the dialog does not, "Abbrechen" and Escape give the download up). With
  // `reachable` (the main dialog after a connect) the dialog is owned by that window and leaves
  // it enabled, so that its "Trennen" hangs up during the download; without, the active window
  // owns the dialog and is disabled while it runs.
  BOOL RunDownload(CWnd* reachable = nullptr);

 private:
  CString question;
};

// The server messages. The results go into the controller's settings; the banner's date is kept
// for the rest of the run.
class CServerInfo : public CObject {
 public:
  // Without download: reads the stored messages. With download: fetches fresh ones and, when they
  // parse, puts them in place of the stored ones and fetches a changed banner (TRUE); otherwise
  // the stored ones stay in force (FALSE).
  BOOL Update(CConnectionController* controller, BOOL download);
  BOOL ParseFile(CString path);
  BOOL IsMessageOfDayDue();
  BOOL IsBannerDue();
  void FetchBanner(CUpdateCheck* check);
  // The banner date of the messages read last.
  static CString GetBannerDate();

 private:
  CSettings* settings_ = nullptr;
};

// "Astrel Corvalen Download": fetches the tariff file, checks it and installs it. "Abbrechen"
// (IDCANCEL, also Escape) gives the download up at once; Return does nothing.
class CDlg_Download : public CDialog {
 public:
  enum { IDD = 5519, kInfo1 = 1053, kInfo2 = 5538, kTimerStart = 5 };
  explicit CDlg_Download(CWnd* parent = nullptr);
  void SetUpdateCheck(CUpdateCheck* check) { check_ = check; }
  // A window that the dialog leaves enabled while it runs.
  void KeepReachable(HWND window) { reachable_ = window; }
  // TRUE when the download ran to its end and the tariff data was installed.
  bool IsInstalled() const { return installed_; }
  // The pause before the work starts, so that the dialog is painted first (1000 ms in use).
  void SetStartDelay(UINT ms) { delay_ = ms; }
  // The pause of every dialog made from now on.
  static void SetDefaultStartDelay(UINT ms);
  BOOL OnInitDialog() override;
  void OnTimer(UINT_PTR id) override;
  void OnOK() override;
  void OnCancel() override;

 private:
  // IDOK after an installed download; IDCANCEL otherwise, with *told set when the user has been
  // told why already (a download that ran out of time) or needs no telling (one given up).
  int Install(bool* told);
  CUpdateCheck* check_ = nullptr;
  UINT delay_;
  HWND reachable_ = nullptr;
  bool started_ = false;
  bool installed_ = false;
};
