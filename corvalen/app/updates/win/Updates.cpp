#include "Updates.h"

#include <shellapi.h>

#include <cstdlib>
#include <memory>

#include "ConnectionController.h"
#include "DataBudget.h"
#include "TarifManager.h"
#include "TarifUi.h"

namespace {

const char kDefaultServer[] = "http://update.astrel.de";
const char kAgent[] = "Microsoft Internet Browser";
const char kTitle[] = "Astrel Corvalen 2.0";
const char kTarifQuestion[] =
    "Astrel CorvaServer informiert: \n\nEs sind neue Tarifdaten vorhanden!\r\nMöchten Sie diese jetzt herunterladen?";
const char kDialerQuestion[] =
    "Astrel CorvaServer informiert:\nEs steht für Sie eine neue Corvalen Version bereit!\nWenn Sie diese jetzt "
    "herunterladen wollen, werden Sie\nbeim Klick auf 'OK' automatisch zu der entsprechenden Webseite geleitet.";

CString g_server;
UpdateMessageBox g_box;
UpdateBrowser g_browser;
// The banner date of the messages read last (the banner is fetched again when it changes).
CString g_bannerDate;

int ShowBox(HWND parent, const CString& text, const CString& title, UINT type) {
  if (g_box) return g_box(parent, text, title, type);
  return ::MessageBoxA(parent, text, title, type);
}

void OpenInBrowser(const CString& url) {
  if (g_browser) {
    g_browser(url);
    return;
  }
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.lpFile = url;
  info.nShow = SW_SHOWNORMAL;
  ::ShellExecuteExA(&info);
}

BOOL HasContent(const CString& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!::GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return FALSE;
  return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && (data.nFileSizeHigh != 0 || data.nFileSizeLow != 0);
}

// The fresh file takes the place of the one in force in one step, so a failure leaves the old one
// (and is reported, naming it).
BOOL PutInPlace(const CString& fresh, const CString& inForce) {
  if (CFile::Replace(fresh, inForce)) return TRUE;
  ShowBox(nullptr, SaveFailureText(inForce), "Fehler", MB_OK | MB_ICONWARNING);
  return FALSE;
}

}  // namespace

BOOL DownloadFile(CString url, CString path) {
  // WinInet is loaded by the session on first use; without it there is no download.
  BOOL ok = TRUE;
  try {
    CInternetSession session(kAgent, 1, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    std::unique_ptr<CInternetFile> file(session.OpenURL(url, 1, INTERNET_FLAG_RELOAD));
    // An error page of the server is no download.
    if (auto* http = dynamic_cast<CHttpFile*>(file.get())) {
      DWORD status = 0;
      if (http->QueryInfoStatusCode(status) && (status < 200 || status > 299)) return FALSE;
    }
    // The download is written whole (a failed write or a full disk leaves the file as it was).
    CSaveFile out;
    if (!out.Open(path)) return FALSE;
    // A short block is no end: the network hands over what has arrived. The end is an empty read.
    // Nothing the server sends is read beyond the data-file limit, so a larger download would only
    // fill the disk: it is refused and the temporary removed.
    char block[1024];
    size_t total = 0;
    for (;;) {
      UINT got = file->Read(block, sizeof block);
      if (got == 0) break;
      total += got;
      if (total > kDataFileLimit) return FALSE;
      out.Write(block, got);
    }
    ok = out.Commit();
  } catch (const CInternetException&) {
    ok = FALSE;
  } catch (const CFileException&) {
    ok = FALSE;
  }
  return ok;
}

CString GetUpdateServer() { return g_server.IsEmpty() ? CString(kDefaultServer) : g_server; }
void SetUpdateServer(const CString& base) { g_server = base; }
void SetUpdateMessageBox(UpdateMessageBox box) { g_box = std::move(box); }
void SetUpdateBrowser(UpdateBrowser browser) { g_browser = std::move(browser); }

// ---- the checks ----

CUpdateCheck::CUpdateCheck(CConnectionController* c) : controller(c), settings(c->GetSettings()) {}

CString CUpdateCheck::GetPATH() { return settings->GetPATH(); }

BOOL CDialerUpdateCheck::IsDue() { return IsDailyCheckDue(*settings, DailyCheck::dialer); }

BOOL CDialerUpdateCheck::IsNewVersion() {
  return IsNewServerStamp(settings->GetDialerDate(), settings->GetCurrentDialer());
}

BOOL CDialerUpdateCheck::Run(CWnd* parent) {
  if (!IsNewVersion()) return TRUE;
  HWND owner = parent ? parent->GetSafeHwnd() : nullptr;
  if (ShowBox(owner, kDialerQuestion, kTitle, MB_YESNO | MB_ICONQUESTION | MB_SYSTEMMODAL) == IDYES) {
    OpenInBrowser(settings->GetDialerUrl());
    settings->SetCurrentDialer(settings->GetDialerDate());
  }
  return TRUE;
}

CTarifUpdateCheck::CTarifUpdateCheck(CConnectionController* c) : CUpdateCheck(c), question(kTarifQuestion) {}

BOOL CTarifUpdateCheck::IsDue() { return IsDailyCheckDue(*settings, DailyCheck::tarif); }

BOOL CTarifUpdateCheck::IsNewTarif() {
  return IsNewServerStamp(settings->GetTarifDate(), settings->GetCurrentTarif());
}

BOOL CTarifUpdateCheck::Run(CWnd* parent) {
  if (!IsNewTarif()) return FALSE;
  HWND owner = parent ? parent->GetSafeHwnd() : nullptr;
  if (ShowBox(owner, question, kTitle, MB_YESNO | MB_ICONQUESTION | MB_SYSTEMMODAL) != IDYES) return FALSE;
  if (!RunDownload()) return FALSE;
  settings->SetCurrentTarif(settings->GetTarifDate());
  return TRUE;
}

BOOL CTarifUpdateCheck::RunDownload() {
  CDlg_Download dlg;
  dlg.SetUpdateCheck(this);
  return dlg.DoModal() == IDOK;
}

// ---- the server messages ----

BOOL CServerInfo::ParseFile(CString path) {
  if (!settings_) return FALSE;
  CServerMessageParse parse;
  BOOL ok = ParseServerMessageFile(path, settings_, &parse);
  // A refused file may have named a banner date before its error; only a good one counts.
  if (ok) g_bannerDate = parse.bannerDate;
  return ok;
}

BOOL CServerInfo::Update(CConnectionController* controller, BOOL download) {
  settings_ = controller->GetSettings();
  CString address = GetUpdateServer() + "/msg/" + settings_->GetMessageUrl();
  CString fresh = settings_->DataFile("ServerInfo.sic");
  CString inForce = settings_->DataFile("ServerInfo.dat");
  if (!download) return ParseFile(inForce);
  ::DeleteFileA(fresh);
  if (DownloadFile(address, fresh) && HasContent(fresh)) {
    // The fresh messages are read into a scratch copy first, so that a refused file leaves
    // the values of the stored one untouched.
    CSettings* real = settings_;
    CSettings scratch;
    settings_ = &scratch;
    CString bannerBefore = g_bannerDate;
    BOOL ok = ParseFile(fresh);
    settings_ = real;
    g_bannerDate = bannerBefore;
    if (ok && PutInPlace(fresh, inForce) && ParseFile(inForce)) {
      if (IsBannerDue()) {
        CDialerUpdateCheck check(controller);
        FetchBanner(&check);
      }
      return TRUE;
    }
  }
  ParseFile(inForce);
  return FALSE;
}

BOOL CServerInfo::IsMessageOfDayDue() { return settings_ && ::IsMessageOfDayDue(*settings_); }

BOOL CServerInfo::IsBannerDue() {
  CString stored = settings_->GetBannerTime();
  return stored.IsEmpty() || stored != g_bannerDate;
}

void CServerInfo::FetchBanner(CUpdateCheck* check) {
  CString dir = check->GetPATH();
  CString fresh = dir + "\\banner.gif";
  ::DeleteFileA(fresh);
  if (settings_->GetBannerUrl().IsEmpty()) return;
  if (DownloadFile(settings_->GetBannerUrl(), fresh) && HasContent(fresh) &&
      PutInPlace(fresh, dir + "\\rechnung.gif"))
    settings_->SetBannerTime(g_bannerDate);
}

CString CServerInfo::GetBannerDate() { return g_bannerDate; }

// ---- the download dialog ----

namespace {
UINT g_startDelay = 1000;
}

CDlg_Download::CDlg_Download(CWnd* parent) : CDialog(IDD, parent), delay_(g_startDelay) {}

void CDlg_Download::SetDefaultStartDelay(UINT ms) { g_startDelay = ms; }

BOOL CDlg_Download::OnInitDialog() {
  CDialog::OnInitDialog();
  SetDlgItemText(kInfo1, "Download der Tarifdaten ...");
  SetDlgItemText(kInfo2, "");
  ::SetTimer(m_hWnd, kTimerStart, delay_, nullptr);
  return TRUE;
}

void CDlg_Download::OnTimer(UINT_PTR id) {
  if (id != kTimerStart) {
    CDialog::OnTimer(id);
    return;
  }
  ::KillTimer(m_hWnd, kTimerStart);
  SetDlgItemText(kInfo1, "Download der Tarifdaten ... Bitte warten");
  SetDlgItemText(kInfo2, "");
  int result = Install();
  if (result != IDOK)
    ShowBox(m_hWnd, "Tarifdaten konnten nicht erfolgreich\naktualisiert werden !", "Fehler", MB_OK | MB_ICONWARNING);
  EndDialog(result);
}

int CDlg_Download::Install() {
  if (!check_) return IDCANCEL;
  CConnectionController* controller = check_->GetController();
  CSettings* settings = controller->GetSettings();
  CTarifManager* manager = controller->GetTariffManager();
  CString dir = check_->GetPATH();
  CString fresh = dir + "\\tarif.sic";
  ::DeleteFileA(fresh);
  if (!DownloadFile(settings->GetTarifUrl(), fresh) || !HasContent(fresh)) return IDCANCEL;
  int check = 2;
  if (IsCompleteScrambledDocument(fresh)) {
    if (manager) {
      check = manager->CheckTarifFile(fresh);
    } else {
      CTarifDatabase db;
      check = db.CheckTarifFile(fresh);
    }
  }
  if (check == 2) return IDCANCEL;
  // The new file must be in place before it is used; when it cannot be, the old one stays and
  // the user hears of the failure.
  if (!PutInPlace(fresh, dir + "\\tarif.dat")) return IDCANCEL;
  if (check == 1) {
    ShowBox(m_hWnd,
            "Tarifdatei wurde erfolgreich geladen!\nDie neuen Tarife stehen beim nächsten Programmstart zur "
            "Verfügung",
            "Hinweis", MB_OK | MB_ICONWARNING);
  } else {
    SetDlgItemText(kInfo1, "Tarifmodell wird neu berechnet ... Bitte warten");
    if (manager) manager->Reload();
  }
  return IDOK;
}
