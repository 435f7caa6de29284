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
#include "WebAddress.h"

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

// Only a web address goes to the shell, and only to be opened (in the browser); anything else is
// dropped here whatever stored it.
void OpenInBrowser(const CString& url) {
  if (!IsWebAddress(url)) return;
  if (g_browser) {
    g_browser(url);
    return;
  }
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.lpVerb = "open";
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
// Raised to cancel every download that runs now (a hang-up, the user's cancel, the program's end).
volatile LONG g_cancelGeneration = 0;

// Taken around raising the generation and around putting a finished download in place, so that
// no download given up before CancelDownloads returned writes its file afterwards. Made at the
// first use and never freed: a worker given up may still run while the program ends.
CRITICAL_SECTION& CommitLock() {
  static CRITICAL_SECTION* lock = [] {
    auto* cs = new CRITICAL_SECTION;
    ::InitializeCriticalSection(cs);
    return cs;
  }();
  return *lock;
}

// Set by CancelDownloads, so that a cancel from any thread ends the waits at once.
HANDLE CancelEvent() {
  static HANDLE event = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
  return event;
}

struct CCommitLock {
  CCommitLock() { ::EnterCriticalSection(&CommitLock()); }
  ~CCommitLock() { ::LeaveCriticalSection(&CommitLock()); }
};

// One transfer, shared by the waiting window thread and the worker. Each holds a reference: a
// cancelled download returns at once and leaves the worker to end within its time limits.
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
      if (Cancelled(job)) return DownloadResult::cancelled;
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
    // The download is written whole (a failed write or a full disk leaves the file as it was),
    // through a temporary of this transfer's own: a transfer that was given up may still hold
    // its temporary while the next download of the same file runs.
    CSaveFile out;
    const CString temp = job.path + CString::Formatted(".%lu.sic", static_cast<unsigned long>(::GetCurrentThreadId()));
    if (!out.Open(job.path, temp)) return DownloadResult::failed;
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
      // Only what has arrived is read: a read of a whole block would wait until the block is
      // full, past the time limit, when the server sends a byte now and then. Asking what has
      // arrived waits for the next piece, once, within the limit between two; a failed question
      // (the limit ran out) ends the download there, not after a second wait in a read. At the
      // end nothing has arrived, and the read of one byte tells the end at once.
      DWORD ready = 0;
      if (!request->QueryDataAvailable(ready)) {
        const DWORD error = ::GetLastError();
        if (Cancelled(job)) return DownloadResult::cancelled;
        if (error == ERROR_INTERNET_TIMEOUT || WaitedOut(asked, limits.idleMs)) return DownloadResult::timedOut;
        return DownloadResult::failed;
      }
      try {
        const UINT want = ready > 0 ? static_cast<UINT>(std::min<DWORD>(ready, sizeof block)) : 1;
        got = request->Read(block, want);
      } catch (const CInternetException& e) {
        if (Cancelled(job)) return DownloadResult::cancelled;
        if (e.m_dwError == ERROR_INTERNET_TIMEOUT || WaitedOut(asked, limits.idleMs)) return DownloadResult::timedOut;
        return DownloadResult::failed;
      }
      if (got == 0) break;
      // A transfer given up writes nothing more.
      if (Cancelled(job)) return DownloadResult::cancelled;
      total += got;
      if (total > kDataFileLimit) return DownloadResult::failed;
      out.Write(block, got);
    }
    // A connection that ended before the announced length is a cut download.
    if (hasLength && total != announced) return DownloadResult::failed;
    CCommitLock lock;
    if (Cancelled(job)) return DownloadResult::cancelled;
    return out.Commit() ? DownloadResult::ok : DownloadResult::failed;
  }
  return DownloadResult::failed;  // redirected round and round
}

// The worker thread: no C++ exception may leave it. It holds its own reference to the job, which
// lives on until both sides are done with it.
DWORD WINAPI DownloadThread(void* param) {
  std::shared_ptr<CDownloadJob> job(std::move(*static_cast<std::shared_ptr<CDownloadJob>*>(param)));
  delete static_cast<std::shared_ptr<CDownloadJob>*>(param);
  try {
    job->result = Transfer(*job);
  } catch (...) {
    job->result = DownloadResult::failed;
  }
  return 0;
}

}  // namespace

DownloadResult Download(const CString& url, const CString& path) {
  auto job = std::make_shared<CDownloadJob>();
  job->url = url;
  job->path = path;
  job->limits = g_limits;
  // A cancel that came before this download does not end it; one from now on does (the
  // generation is looked at before every wait, and the event ends a wait).
  HANDLE cancel = CancelEvent();
  {
    CCommitLock lock;
    job->generation = g_cancelGeneration;
    if (cancel) ::ResetEvent(cancel);
  }
  auto* param = new std::shared_ptr<CDownloadJob>(job);
  DWORD id = 0;
  HANDLE thread = ::CreateThread(nullptr, 0, DownloadThread, param, 0, &id);
  if (!thread) {
    delete param;
    return DownloadResult::failed;
  }
  // The window thread waits for the worker while it handles its messages, so the program keeps
  // painting and answering (and "Trennen", "Abbrechen" and "Beenden" work) during the transfer.
  // A cancel (CancelDownloads, from a message handled here or from another thread) ends the wait
  // at once: the worker, which may be waiting for the network, is left to end by itself within
  // the time limits, and writes nothing any more.
  DownloadResult result = DownloadResult::cancelled;
  const HANDLE waits[] = {thread, cancel};
  const DWORD count = cancel ? 2 : 1;
  for (;;) {
    if (Cancelled(*job)) break;
    DWORD w = ::MsgWaitForMultipleObjects(count, waits, FALSE, INFINITE, QS_ALLINPUT);
    if (w == WAIT_OBJECT_0) {
      result = job->result;
      break;
    }
    if (w == WAIT_OBJECT_0 + 1 && count == 2) continue;  // a cancel: the generation tells whose
    if (w == WAIT_OBJECT_0 + count && AfxPumpWaitingMessages()) continue;
    // The program is ending (or the wait failed): the transfer is given up.
    CancelDownloads();
    break;
  }
  ::CloseHandle(thread);
  // A download that failed while it was being cancelled was cancelled: the user is told nothing.
  if (result != DownloadResult::ok && Cancelled(*job)) result = DownloadResult::cancelled;
  if (result == DownloadResult::timedOut) {
    CString text = "Der Server hat nicht rechtzeitig geantwortet; der Download von\n" + url +
                   "\nwurde abgebrochen. Die vorhandenen Daten bleiben erhalten.";
    ShowBox(nullptr, text, kTitle, MB_OK | MB_ICONWARNING);
  }
  return result;
}

BOOL DownloadFile(CString url, CString path) { return Download(url, path) == DownloadResult::ok; }

void CancelDownloads() {
  CCommitLock lock;
  ::InterlockedIncrement(&g_cancelGeneration);
  if (HANDLE cancel = CancelEvent()) ::SetEvent(cancel);
}

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
  // Without a web page to go to there is nothing to offer: the question waits for messages that
  // name one.
  if (!IsNewVersion() || !IsWebAddress(settings->GetDialerUrl())) return TRUE;
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
  if (!RunDownload(parent && parent->GetSafeHwnd() ? parent : nullptr)) return FALSE;
  settings->SetCurrentTarif(settings->GetTarifDate());
  return TRUE;
}

BOOL CTarifUpdateCheck::RunDownload(CWnd* reachable) {
  // Owned by the window that asks (the main dialog, or the options sheet, which stays disabled
  // while it runs); the main dialog is kept within reach.
  CWnd* owner = reachable ? reachable : CWnd::FromHandle(::GetActiveWindow());
  CDlg_Download dlg(owner);
  dlg.SetUpdateCheck(this);
  if (reachable) dlg.KeepReachable(reachable->GetSafeHwnd());
  dlg.DoModal();
  return dlg.IsInstalled();
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
    std::vector<CString> names;
    WIN32_FIND_DATAA found;
    HANDLE find = ::FindFirstFileA(settings_->DataFile("*.sic"), &found);
    if (find != INVALID_HANDLE_VALUE) {
      do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
      } while (::FindNextFileA(find, &found));
      ::FindClose(find);
    }
    RemoveStaleDownloadTemporaries(settings_->GetPATH(), names);
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
  // The main window stays within reach, so that "Trennen" there hangs up (and gives up the
  // download) while the dialog is open.
  if (reachable_ && ::IsWindow(reachable_)) ::EnableWindow(reachable_, TRUE);
  ::SetTimer(m_hWnd, kTimerStart, delay_, nullptr);
  // The focus stays off "Abbrechen": a Return meant for the question before (or typed on) must
  // not give up the download the user has just asked for. A click, or Escape, does.
  ::SetFocus(m_hWnd);
  return FALSE;
}

// Return: the dialog manager makes it IDOK, but only the download says whether the tariff data
// was installed. Nothing happens.
void CDlg_Download::OnOK() {}

// "Abbrechen", Escape: before the download starts the dialog ends at once; during the transfer
// the download is given up at once and the dialog ends untold; the check and the reload that
// follow a finished transfer are short and run to their end.
void CDlg_Download::OnCancel() {
  if (!started_) {
    ::KillTimer(m_hWnd, kTimerStart);
    EndDialog(IDCANCEL);
    return;
  }
  CancelDownloads();
}

void CDlg_Download::OnTimer(UINT_PTR id) {
  if (id != kTimerStart) {
    CDialog::OnTimer(id);
    return;
  }
  ::KillTimer(m_hWnd, kTimerStart);
  if (started_) return;
  started_ = true;
  SetDlgItemText(kInfo1, "Download der Tarifdaten ... Bitte warten");
  SetDlgItemText(kInfo2, "");
  bool told = false;
  int result = Install(&told);
  installed_ = result == IDOK;
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
