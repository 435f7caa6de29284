#include "Updates.h"

#include <shellapi.h>

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "BannerPicture.h"
#include "DownloadFiles.h"
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

namespace {

CDownloadLimits g_limits;
// Raised to cancel every download that runs now (a hang-up, the program's end).
volatile LONG g_cancelGeneration = 0;

// One transfer, shared by the waiting window thread and the worker; the waiting side owns it and
// returns only after the worker has ended.
struct CDownloadJob {
  CString url, path;
  CDownloadLimits limits;
  LONG generation = 0;
  DownloadResult result = DownloadResult::failed;
};

bool Cancelled(const CDownloadJob& job) { return g_cancelGeneration != job.generation; }

// http://host[:port]/object (https:// as well).
struct CUrlParts {
  bool secure = false;
  CString host;
  INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT;
  CString object = "/";
};

bool SplitUrl(const CString& url, CUrlParts& out) {
  CString rest;
  if (url.Left(7).CompareNoCase("http://") == 0) {
    rest = url.Mid(7);
    out.secure = false;
    out.port = INTERNET_DEFAULT_HTTP_PORT;
  } else if (url.Left(8).CompareNoCase("https://") == 0) {
    rest = url.Mid(8);
    out.secure = true;
    out.port = INTERNET_DEFAULT_HTTPS_PORT;
  } else {
    return false;
  }
  int slash = rest.Find('/');
  CString authority = slash >= 0 ? rest.Left(slash) : rest;
  out.object = slash >= 0 ? rest.Mid(slash) : CString("/");
  int colon = authority.Find(':');
  if (colon >= 0) {
    int port = std::atoi(authority.Mid(colon + 1));
    if (port <= 0 || port > 65535) return false;
    out.port = static_cast<INTERNET_PORT>(port);
    authority = authority.Left(colon);
  }
  out.host = authority;
  return !out.host.IsEmpty();
}

// The address a redirect names, taken against the address that answered with it.
CString ResolveLocation(const CString& from, const CString& location) {
  if (location.Left(7).CompareNoCase("http://") == 0 || location.Left(8).CompareNoCase("https://") == 0)
    return location;
  CUrlParts base;
  if (!SplitUrl(from, base)) return CString();
  CString origin = CString(base.secure ? "https://" : "http://") + base.host +
                   CString::Formatted(":%u", static_cast<unsigned>(base.port));
  if (location.Left(1) == "/") return origin + location;
  CString dir = base.object;
  int query = dir.Find('?');
  if (query >= 0) dir = dir.Left(query);
  int last = dir.ReverseFind('/');
  return origin + dir.Left(last + 1) + location;
}

// Each of the limits on every handle: WinInet takes them from the session, the connection or
// the request depending on its version, and a request inherits what its connection has.
template <typename Handle>
void ApplyLimits(Handle& h, const CDownloadLimits& limits) {
  h.SetOption(INTERNET_OPTION_CONNECT_TIMEOUT, limits.connectMs);
  h.SetOption(INTERNET_OPTION_SEND_TIMEOUT, limits.idleMs);
  h.SetOption(INTERNET_OPTION_RECEIVE_TIMEOUT, limits.idleMs);
}

// A failed network call that waited as long as its limit allows ran out of time.
bool WaitedOut(DWORD startTick, DWORD limitMs) { return ::GetTickCount() - startTick + 50 >= limitMs; }

const int kMaxRedirects = 5;

DownloadResult Transfer(const CDownloadJob& job) {
  const DWORD start = ::GetTickCount();
  const CDownloadLimits& limits = job.limits;
  auto overTime = [&] { return ::GetTickCount() - start >= limits.totalMs; };
  CInternetSession session(kAgent, 1, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  ApplyLimits(session, limits);
  CString url = job.url;
  for (int hop = 0; hop <= kMaxRedirects; ++hop) {
    if (Cancelled(job)) return DownloadResult::cancelled;
    if (overTime()) return DownloadResult::timedOut;
    CUrlParts parts;
    if (!SplitUrl(url, parts)) return DownloadResult::failed;
    std::unique_ptr<CHttpConnection> connection(session.GetHttpConnection(parts.host, parts.port));
    ApplyLimits(*connection, limits);
    // Redirects are followed here, one by one, so that a server that sends the client round in a
    // circle is given up after a few and every hop counts against the time limit.
    DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_NO_AUTO_REDIRECT |
                  INTERNET_FLAG_NO_COOKIES | (parts.secure ? INTERNET_FLAG_SECURE : 0);
    std::unique_ptr<CHttpFile> request(connection->OpenRequest("GET", parts.object, nullptr, 1, nullptr, nullptr, flags));
    ApplyLimits(*request, limits);
    const DWORD sent = ::GetTickCount();
    try {
      request->SendRequest();
    } catch (const CInternetException& e) {
      if (e.m_dwError == ERROR_INTERNET_TIMEOUT || WaitedOut(sent, limits.connectMs) || overTime())
        return DownloadResult::timedOut;
      return DownloadResult::failed;
    }
    DWORD status = 0;
    if (!request->QueryInfoStatusCode(status)) return DownloadResult::failed;
    if (status == 301 || status == 302 || status == 303 || status == 307 || status == 308) {
      CString location;
      if (!request->QueryInfo(HTTP_QUERY_LOCATION, location)) return DownloadResult::failed;
      location.Trim();
      url = ResolveLocation(url, location);
      if (url.IsEmpty()) return DownloadResult::failed;
      continue;
    }
    // An error page of the server is no download.
    if (status < 200 || status > 299) return DownloadResult::failed;
    DWORD announced = 0;
    const bool hasLength = request->QueryInfo(HTTP_QUERY_CONTENT_LENGTH, announced) != FALSE;
    // The download is written whole (a failed write or a full disk leaves the file as it was).
    CSaveFile out;
    if (!out.Open(job.path)) return DownloadResult::failed;
    // A short block is no end: the network hands over what has arrived. The end is an empty read.
    // Nothing the server sends is read beyond the data-file limit, so a larger download would only
    // fill the disk: it is refused and the temporary removed.
    char block[4096];
    size_t total = 0;
    for (;;) {
      if (Cancelled(job)) return DownloadResult::cancelled;
      if (overTime()) return DownloadResult::timedOut;
      const DWORD asked = ::GetTickCount();
      UINT got = 0;
      try {
        // Only what has arrived is read: a read of a whole block would wait until the block is
        // full, past the time limit and past a cancel, when the server sends a byte now and then.
        // Asking what has arrived waits for the next piece (within the limit between two); at the
        // end there is nothing, and the read of one byte tells the end from a failure.
        const long ready = request->GetLength();
        const UINT want = ready > 0 ? static_cast<UINT>(std::min<long>(ready, sizeof block)) : 1;
        got = request->Read(block, want);
      } catch (const CInternetException& e) {
        if (e.m_dwError == ERROR_INTERNET_TIMEOUT || WaitedOut(asked, limits.idleMs)) return DownloadResult::timedOut;
        return DownloadResult::failed;
      }
      if (got == 0) break;
      total += got;
      if (total > kDataFileLimit) return DownloadResult::failed;
      out.Write(block, got);
    }
    // A connection that ended before the announced length is a cut download.
    if (hasLength && total != announced) return DownloadResult::failed;
    return out.Commit() ? DownloadResult::ok : DownloadResult::failed;
  }
  return DownloadResult::failed;  // redirected round and round
}

// The worker thread: no C++ exception may leave it.
DWORD WINAPI DownloadThread(void* param) {
  auto* job = static_cast<CDownloadJob*>(param);
  try {
    job->result = Transfer(*job);
  } catch (...) {
    job->result = DownloadResult::failed;
  }
  return 0;
}

}  // namespace

DownloadResult Download(const CString& url, const CString& path) {
  CDownloadJob job;
  job.url = url;
  job.path = path;
  job.limits = g_limits;
  job.generation = g_cancelGeneration;
  DWORD id = 0;
  HANDLE thread = ::CreateThread(nullptr, 0, DownloadThread, &job, 0, &id);
  if (!thread) return DownloadResult::failed;
  // The window thread waits for the worker while it handles its messages, so the program keeps
  // painting and answering (and "Trennen" works) during the transfer. The worker ends within the
  // time limits; the job lives on this stack until it has.
  for (;;) {
    DWORD w = ::MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT);
    if (w == WAIT_OBJECT_0) break;
    if (w == WAIT_OBJECT_0 + 1 && AfxPumpWaitingMessages()) continue;
    // The program is ending (or the wait failed): the transfer is given up, and the worker is
    // waited for all the same.
    CancelDownloads();
    ::WaitForSingleObject(thread, INFINITE);
    break;
  }
  ::CloseHandle(thread);
  if (job.result == DownloadResult::timedOut) {
    CString text = "Der Server hat nicht rechtzeitig geantwortet; der Download von\n" + url +
                   "\nwurde abgebrochen. Die vorhandenen Daten bleiben erhalten.";
    ShowBox(nullptr, text, kTitle, MB_OK | MB_ICONWARNING);
  }
  return job.result;
}

BOOL DownloadFile(CString url, CString path) { return Download(url, path) == DownloadResult::ok; }

void CancelDownloads() { ::InterlockedIncrement(&g_cancelGeneration); }

void SetDownloadLimits(const CDownloadLimits& limits) { g_limits = limits; }
const CDownloadLimits& GetDownloadLimits() { return g_limits; }

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
  if (!download) {
    // At start: a download the program was ended in leaves its temporary, which nothing else
    // would ever take away.
    RemoveStaleDownloadTemporaries(settings_->GetPATH());
    return ParseFile(inForce);
  }
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
  if (!DownloadFile(settings_->GetBannerUrl(), fresh)) return;
  // Only a whole GIF picture replaces the banner: a cut download or an error page would show in
  // the bill as a broken picture. It is tried again with the next messages.
  std::string picture;
  if (!ReadDataFile(fresh, picture) ||
      !IsGifPicture(reinterpret_cast<const unsigned char*>(picture.data()), picture.size())) {
    ::DeleteFileA(fresh);
    return;
  }
  if (PutInPlace(fresh, dir + "\\rechnung.gif")) settings_->SetBannerTime(g_bannerDate);
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
  bool told = false;
  int result = Install(&told);
  if (result != IDOK && !told)
    ShowBox(m_hWnd, "Tarifdaten konnten nicht erfolgreich\naktualisiert werden !", "Fehler", MB_OK | MB_ICONWARNING);
  EndDialog(result);
}

int CDlg_Download::Install(bool* told) {
  if (!check_) return IDCANCEL;
  CConnectionController* controller = check_->GetController();
  CSettings* settings = controller->GetSettings();
  CTarifManager* manager = controller->GetTariffManager();
  CString dir = check_->GetPATH();
  CString fresh = dir + "\\tarif.sic";
  ::DeleteFileA(fresh);
  const DownloadResult got = Download(settings->GetTarifUrl(), fresh);
  *told = got == DownloadResult::timedOut || got == DownloadResult::cancelled;
  if (got != DownloadResult::ok || !HasContent(fresh)) return IDCANCEL;
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
