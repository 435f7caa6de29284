#include "MailCheck.h"

#include <cstdlib>
#include <map>
#include <memory>

#include "TarifTexts.h"
#include "WinApp.h"

const char kPop3Host[] = "pop3.postwell.de";
const char kNewMailFormat[] = "Ihr Postfach bei  POSTWELL enthält zur Zeit  %d  neue E-Mail(s)!";
const char kMailLoginFailedText[] =
    "Ein Fehler beim Abfragen des Postwell-Postfaches ist aufgetreten!\n"
    "Bitte überprüfen Sie Benutzername und Passwort.";

namespace {

const UINT kNewMailString = 5125;
// One receive per notification takes at most this much; WinSock notifies again while more waits.
const int kReceiveChunk = 999;
// A server that sends without pause keeps a read notification always waiting, and a window's
// timers come only when nothing else waits: after this many bytes read without the queue running
// empty, the socket reads nothing until it has (a one-millisecond timer says so).
const int kBurstBytes = 65536;

// The sockets waiting for their time limit, by thread-timer id.
std::map<UINT_PTR, CPop3Socket*>& Timeouts() {
  static std::map<UINT_PTR, CPop3Socket*> timers;
  return timers;
}

}  // namespace

// ---- CPop3Socket -----------------------------------------------------------------------------

CPop3Socket::CPop3Socket(CMailCheck* owner, CString host, CString user, CString password, UINT port,
                         UINT timeoutMs, CString seenIds)
    : password_(password), user_(user), owner_(owner), dialogue_(user.str(), password.str(), seenIds.str()) {
  if (!Create(0, SOCK_STREAM, FD_READ | FD_WRITE | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE)) return;
  if (!Connect(host, port) && GetLastError() != WSAEWOULDBLOCK) {
    CAsyncSocket::Close();
    return;
  }
  deadline_ = ::GetTickCount() + timeoutMs;
  timer_ = ::SetTimer(nullptr, 0, timeoutMs, &CPop3Socket::OnTimeout);
  if (timer_) Timeouts()[timer_] = this;
}

bool CPop3Socket::PastDeadline() const { return static_cast<LONG>(::GetTickCount() - deadline_) >= 0; }

CPop3Socket::~CPop3Socket() { Close(); }

void CPop3Socket::KillTimeout() {
  for (UINT_PTR* t : {&timer_, &resume_}) {
    if (!*t) continue;
    ::KillTimer(nullptr, *t);
    Timeouts().erase(*t);
    *t = 0;
  }
}

void CPop3Socket::Close() {
  KillTimeout();
  CAsyncSocket::Close();
}

void CALLBACK CPop3Socket::OnTimeout(HWND, UINT, UINT_PTR id, DWORD) {
  // A timer procedure is called by the message loop, outside every window procedure's guard: an
  // exception must not leave it.
  AfxCallGuarded([id] {
    auto it = Timeouts().find(id);
    if (it == Timeouts().end()) {
      ::KillTimer(nullptr, id);
      return;
    }
    CPop3Socket* socket = it->second;
    if (id == socket->resume_) {
      // The queue ran empty (the window's timers had their turn): reading goes on.
      ::KillTimer(nullptr, id);
      Timeouts().erase(id);
      socket->resume_ = 0;
      socket->burst_ = 0;
      socket->OnReceive(0);
      return;
    }
    // The time is up; after QUIT both numbers are known (as when the server hangs up then).
    socket->KillTimeout();
    socket->Finish(socket->dialogue_.Closed());
  });
}

BOOL CPop3Socket::ProcessReply() {
  // The time limit holds at every read, however fast the server sends: its timer may never come
  // while the notifications follow one another.
  if (PastDeadline()) {
    outcome_ = dialogue_.Closed();
    return TRUE;
  }
  char buffer[kReceiveChunk + 1] = {};
  int n = Receive(buffer, kReceiveChunk);
  if (n == SOCKET_ERROR) {
    // Nothing there after all (a notification that came late) is no failure.
    if (GetLastError() != WSAEWOULDBLOCK) outcome_ = pop3::kAbandoned;
    return TRUE;
  }
  if (n == 0) {
    outcome_ = dialogue_.Closed();
  } else {
    burst_ += n;
    std::string commands;
    outcome_ = dialogue_.Receive(buffer, static_cast<size_t>(n), commands);
    pending_ += commands;
    if (!SendPending()) outcome_ = pop3::kAbandoned;
  }
  return outcome_ != pop3::kLoginRefused && outcome_ != pop3::kRefused;
}

BOOL CPop3Socket::SendPending() {
  while (!pending_.empty()) {
    int n = Send(pending_.data(), static_cast<int>(pending_.size()));
    if (n == SOCKET_ERROR) return GetLastError() == WSAEWOULDBLOCK;  // the rest goes on OnSend
    pending_.erase(0, static_cast<size_t>(n));
  }
  return TRUE;
}

void CPop3Socket::OnReceive(int error) {
  if (error) {
    Finish(pop3::kAbandoned);
    return;
  }
  // Paused after a burst: the resume timer reads on once the queue has run empty.
  if (resume_) return;
  ProcessReply();
  if (outcome_ != pop3::kGoOn) {
    Finish(outcome_);
    return;
  }
  if (burst_ >= kBurstBytes) {
    resume_ = ::SetTimer(nullptr, 0, 1, &CPop3Socket::OnTimeout);
    if (resume_) Timeouts()[resume_] = this;
    else burst_ = 0;
  }
}

void CPop3Socket::OnSend(int error) {
  if (error || !SendPending()) Finish(pop3::kAbandoned);
}

void CPop3Socket::OnConnect(int error) {
  // Nothing is sent before the greeting arrives.
  if (error) Finish(pop3::kAbandoned);
}

void CPop3Socket::OnClose(int) {
  // The last replies may still wait unread behind the close.
  while (outcome_ == pop3::kGoOn && m_hSocket != INVALID_SOCKET && !PastDeadline()) {
    char buffer[kReceiveChunk];
    int n = Receive(buffer, sizeof buffer);
    if (n <= 0) break;
    std::string commands;
    outcome_ = dialogue_.Receive(buffer, static_cast<size_t>(n), commands);
  }
  Finish(outcome_ != pop3::kGoOn ? outcome_ : dialogue_.Closed());
}

void CPop3Socket::Finish(pop3::Outcome outcome) {
  CMailCheck* owner = owner_;
  switch (outcome) {
    case pop3::kFinished:
      if (dialogue_.UsedUniqueIds()) owner->KeepSeenIds(dialogue_.SeenIds().c_str());
      owner->ReportNewMail(dialogue_.NewMessages());
      break;
    case pop3::kLoginRefused: owner->ReportFailure(TRUE); break;
    case pop3::kRefused: owner->ReportFailure(FALSE); break;
    default: owner->Abandon(); break;
  }
  // This object is gone now.
}

// ---- CMailCheck ------------------------------------------------------------------------------

CMailCheck::CMailCheck(CSettings* settings, CWnd* owner) : owner_(owner), settings_(settings), host_(kPop3Host) {}

CMailCheck::~CMailCheck() { delete Detach(); }

void CMailCheck::Start() {
  if (!settings_ || settings_->GetPOP3() != "1") return;
  CString password;
  if (settings_->GetPOPSpeichern() == "1") {
    password = settings_->GetPOP3Passwort();
  } else {
    if (!mailboxDialog_ || !mailboxDialog_()) return;
    password = settings_->GetPOP3Passwort();
    // Typed for this check only, unless the user ticked "Passwort speichern" in the dialog: then
    // the next check reads it without asking and must find it.
    if (settings_->GetPOPSpeichern() != "1") settings_->SetPOP3Passwort("");
  }
  // Read after the dialog, which may have changed the user name as well.
  CString user = settings_->GetPOP3Postfach();
  delete Detach();
  CPop3Socket* s = new CPop3Socket(this, host_, user, password, port_, timeoutMs_, settings_->GetPOP3Kennungen());
  if (!s->IsConnecting()) {
    delete s;  // unreachable from the start (no network, unknown host): no message
    return;
  }
  socket_ = s;
}

CPop3Socket* CMailCheck::Detach() {
  CPop3Socket* s = socket_;
  socket_ = nullptr;
  if (s) s->Close();
  return s;
}

void CMailCheck::ShowMessage(const CString& text, UINT flags) {
  CString title;
  if (!AfxLoadString(kIdsTitle, title)) title = kTitle;
  ::MessageBoxA(owner_ ? owner_->m_hWnd : nullptr, text, title, flags);
}

void CMailCheck::ReportNewMail(int newMessages) {
  // The socket is closed before the box: no notification of it can arrive while the box waits.
  // It goes with this call, also when the box fails.
  std::unique_ptr<CPop3Socket> s(Detach());
  if (newMessages > 0) {
    CString format;
    if (!AfxLoadString(kNewMailString, format)) format = kNewMailFormat;
    ShowMessage(CString::Formatted(format, newMessages), MB_OK | MB_SYSTEMMODAL | MB_ICONINFORMATION);
  }
}

void CMailCheck::ReportFailure(BOOL loginFailed) {
  std::unique_ptr<CPop3Socket> s(Detach());
  if (loginFailed) ShowMessage(kMailLoginFailedText, MB_OK | MB_SYSTEMMODAL | MB_ICONERROR);
}

void CMailCheck::Abandon() { delete Detach(); }

void CMailCheck::KeepSeenIds(const CString& ids) {
  if (settings_) settings_->SetPOP3Kennungen(ids);
}
