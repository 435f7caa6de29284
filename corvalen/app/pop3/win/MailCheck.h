// The mailbox check of the router: after a connect and every 20 minutes online, CMailCheck asks
// the user's mailbox at the Postwell mail service how many new messages wait there, through
// CPop3Socket, an asynchronous socket whose notifications arrive as window messages on the
// user-interface thread (the check never blocks the windows).
//
// The server is the Postwell POP3 server on port 110 unless SetServer names another.
#pragma once

#include "AsyncSocket.h"  // WinSock before <windows.h>

#include <functional>
#include <string>

#include "CObject.h"
#include "CString.h"
#include "Pop3Dialogue.h"
#include "Settings.h"
#include "Wnd.h"

class CMailCheck;

extern const char kPop3Host[];
const UINT kPop3Port = 110;
// A check that has not ended after this long is given up without a message.
const UINT kPop3TimeoutMs = 60000;
// The text of the new-mail box when the string table has none (string 5125).
extern const char kNewMailFormat[];
extern const char kMailLoginFailedText[];

class CPop3Socket : public CAsyncSocket {
 public:
  // Creates the socket (any local port, all notifications) and starts connecting to host:port.
  // IsConnecting() tells whether that could start.
  // seenIds: the message ids the previous check kept, for a server that refuses LAST.
  CPop3Socket(CMailCheck* owner, CString host, CString user, CString password, UINT port = kPop3Port,
              UINT timeoutMs = kPop3TimeoutMs, CString seenIds = "");
  ~CPop3Socket() override;

  BOOL IsConnecting() const { return m_hSocket != INVALID_SOCKET; }
  const pop3::CPop3Dialogue& GetDialogue() const { return dialogue_; }

  void OnReceive(int error) override;
  void OnSend(int error) override;
  void OnConnect(int error) override;
  void OnClose(int error) override;
  void Close() override;

  // One receive of what the server sent, answered; FALSE when the server replied "-ERR".
  BOOL ProcessReply();

 private:
  // The time limit's timer and the one that resumes reading after a burst.
  static void CALLBACK OnTimeout(HWND, UINT, UINT_PTR id, DWORD);
  bool PastDeadline() const;
  void KillTimeout();
  // Sends what is waiting; FALSE when the connection broke.
  BOOL SendPending();
  // Hands the outcome to the owner, which deletes this socket: the last thing a handler does.
  void Finish(pop3::Outcome outcome);

  CString password_;
  CString user_;
  CMailCheck* owner_;
  pop3::CPop3Dialogue dialogue_;
  pop3::Outcome outcome_ = pop3::kGoOn;  // the outcome of the last receive
  std::string pending_;                  // commands not yet sent whole
  UINT_PTR timer_ = 0;
  DWORD deadline_ = 0;   // tick count at which the time limit is up
  UINT_PTR resume_ = 0;  // set while reading pauses after a burst
  int burst_ = 0;        // bytes read since the queue last ran empty
};

class CMailCheck : public CObject {
 public:
  CMailCheck(CSettings* settings, CWnd* owner);
  ~CMailCheck() override;
  CMailCheck(const CMailCheck&) = delete;
  CMailCheck& operator=(const CMailCheck&) = delete;

  // Starts a check when "POP3" is "1"; a check still running is dropped first. Without a stored
  // password ("POPSpeichern" not "1") the mailbox dialog asks for it, and the password typed is
  // used for this check only.
  void Start();
  // The check ended with the numbers known: a box when there are new messages.
  void ReportNewMail(int newMessages);
  // The server refused: a box when it refused the user name or the password.
  void ReportFailure(BOOL loginFailed);
  // The connection failed, broke or timed out: the check ends without a message.
  void Abandon();
  // The ids of the newest messages, kept as "POP3Kennungen" for the next check of a server that
  // refuses LAST.
  void KeepSeenIds(const CString& ids);

  // The mailbox dialog (user name, password, keep password), run without parent; TRUE for OK,
  // with the four mailbox settings written. Without one, a check that needs the password typed
  // does not run.
  void SetMailboxDialog(std::function<BOOL()> run) { mailboxDialog_ = std::move(run); }
  void SetServer(const CString& host, UINT port) { host_ = host; port_ = port; }
  void SetTimeout(UINT ms) { timeoutMs_ = ms; }
  CPop3Socket* GetSocket() const { return socket_; }

 protected:
  // A system-modal box of the owner window titled with string 138.
  virtual void ShowMessage(const CString& text, UINT flags);

 private:
  // Takes the running socket out, closes it (no notification reaches it any more) and returns it.
  CPop3Socket* Detach();

  CWnd* owner_;
  CPop3Socket* socket_ = nullptr;
  CSettings* settings_;
  CString host_;
  UINT port_ = kPop3Port;
  UINT timeoutMs_ = kPop3TimeoutMs;
  std::function<BOOL()> mailboxDialog_;
};
