// The asynchronous socket against a small POP3-like server on 127.0.0.1: notifications arrive as
// window messages, a socket may delete itself inside its receive notification, a refused
// connection is reported to OnConnect.
#include "AsyncSocket.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "loopback_listener.h"
#include "test_support.h"

namespace {

// Greets, answers one USER command with +OK and QUIT with a farewell, then closes.
class TinyPop3Server {
 public:
  TinyPop3Server() {
    EXPECT_TRUE(AfxSocketInit());
    port = listen_.Port();
    thread_ = std::thread([this] {
      SOCKET c = accept(listen_.Socket(), nullptr, nullptr);
      if (c == INVALID_SOCKET) return;
      Say(c, "+OK POP3 bereit\r\n");
      for (std::string line; ReadLine(c, line);) {
        received += line + "\n";
        if (line.rfind("USER ", 0) == 0) Say(c, "+OK\r\n");
        if (line.rfind("QUIT", 0) == 0) {
          Say(c, "+OK Tschüss\r\n");
          break;
        }
      }
      shutdown(c, SD_SEND);
      closesocket(c);
    });
  }
  ~TinyPop3Server() {
    listen_.Close();
    thread_.join();
  }
  unsigned short port = 0;
  std::string received;

 private:
  static void Say(SOCKET c, const char* text) { send(c, text, static_cast<int>(strlen(text)), 0); }
  static bool ReadLine(SOCKET c, std::string& line) {
    line.clear();
    char ch;
    while (recv(c, &ch, 1, 0) == 1) {
      if (ch == '\n') {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
      }
      line += ch;
    }
    return false;
  }
  testsupport::LoopbackListener listen_{1};
  std::thread thread_;
};

struct Outcome {
  int connectError = -1;
  std::string replies;
  bool deleted = false;
};

class CDialogueSocket : public CAsyncSocket {
 public:
  explicit CDialogueSocket(Outcome& o) : o_(o) {}
  ~CDialogueSocket() override { o_.deleted = true; }
  void OnConnect(int error) override { o_.connectError = error; }
  void OnReceive(int) override {
    char buf[1000] = {};
    int n = Receive(buf, 999);
    if (n <= 0) return;
    o_.replies += std::string(buf, static_cast<size_t>(n));
    if (state_ == 0) {
      Send("USER hans\r\n", 11);
      state_ = 1;
    } else if (state_ == 1) {
      Send("QUIT \r\n", 7);
      state_ = 2;
    } else {
      delete this;  // the last reply: the check ends inside its own notification
    }
  }

 private:
  Outcome& o_;
  int state_ = 0;
};

void PumpUntil(const std::function<bool()>& done, int rounds = 500) {
  for (int i = 0; i < rounds && !done(); ++i) {
    ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    PumpMessages();
  }
}

TEST(AsyncSocket, DialogueDrivenByNotifications) {
  ReportCollector reports;
  TinyPop3Server server;
  Outcome o;
  CDialogueSocket* s = new CDialogueSocket(o);
  ASSERT_TRUE(s->Create());
  if (!s->Connect("127.0.0.1", server.port)) {
    EXPECT_EQ(CAsyncSocket::GetLastError(), WSAEWOULDBLOCK);
  }
  PumpUntil([&] { return o.deleted; });
  ASSERT_TRUE(o.deleted);
  PumpUntil([] { return false; }, 10);  // notifications still queued for the deleted socket are dropped
  EXPECT_EQ(o.connectError, 0);
  EXPECT_EQ(o.replies.rfind("+OK POP3 bereit\r\n", 0), 0u);
  EXPECT_NE(o.replies.find("+OK Tschüss"), std::string::npos);
  EXPECT_TRUE(ReportCollector::reports.empty());
}

TEST(AsyncSocket, RefusedConnectionReachesOnConnect) {
  ASSERT_TRUE(AfxSocketInit());
  unsigned short port = 0;
  {
    testsupport::LoopbackListener probe(1);  // a port that was free a moment ago, closed again
    port = probe.Port();
  }

  Outcome o;
  CDialogueSocket s(o);
  ASSERT_TRUE(s.Create());
  s.Connect("127.0.0.1", port);
  PumpUntil([&] { return o.connectError != -1; });
  EXPECT_EQ(o.connectError, WSAECONNREFUSED);
  EXPECT_TRUE(o.replies.empty());
}

TEST(AsyncSocket, UnknownHostIsRefusedAtOnce) {
  Outcome o;
  CDialogueSocket s(o);
  ASSERT_TRUE(s.Create());
  EXPECT_FALSE(s.Connect("", 110));
  s.Close();
  EXPECT_EQ(s.m_hSocket, INVALID_SOCKET);
}

}  // namespace
