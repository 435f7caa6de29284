// A small POP3 server on 127.0.0.1 for the tests of the mailbox check, on a thread of its own
// with blocking sockets: it takes one connection and answers from a script.
#pragma once

#include "AsyncSocket.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "loopback_listener.h"

// One connection: the greeting, then one reply per command line; with dropAfter >= 0 the
// connection is closed after that many commands; with no replies the server never says anything.
// Without closeAfterQuit the server keeps the connection open after QUIT until the client closes.
struct Pop3Server {
  std::vector<std::string> replies;
  int dropAfter = -1;
  bool closeAfterQuit = true;
  std::vector<std::string> commands;  // read after the thread ended
  bool socketsReady = AfxSocketInit() != FALSE;
  testsupport::LoopbackListener listener{1};
  UINT port = listener.Port();
  HANDLE thread = nullptr;

  explicit Pop3Server(std::vector<std::string> r, int drop = -1, bool closeQuit = true)
      : replies(std::move(r)), dropAfter(drop), closeAfterQuit(closeQuit) {
    EXPECT_TRUE(socketsReady);
    EXPECT_TRUE(listener.Listening());
    thread = CreateThread(nullptr, 0, &Pop3Server::Run, this, 0, nullptr);
  }
  ~Pop3Server() {
    listener.Close();  // ends a thread still waiting to accept
    if (thread) {
      WaitForSingleObject(thread, 5000);
      CloseHandle(thread);
    }
  }
  // Waits for the server's end (the client closed or the script ran out).
  void Join() {
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);
  }

  static DWORD WINAPI Run(void* p) {
    static_cast<Pop3Server*>(p)->Serve();
    return 0;
  }
  void Serve() {
    SOCKET c = accept(listener.Socket(), nullptr, nullptr);
    if (c == INVALID_SOCKET) return;
    auto say = [&](size_t i) {
      if (i < replies.size()) send(c, replies[i].data(), static_cast<int>(replies[i].size()), 0);
    };
    say(0);
    std::string line;
    char ch;
    while (recv(c, &ch, 1, 0) == 1) {
      if (ch != '\n') {
        line += ch;
        continue;
      }
      if (!line.empty() && line.back() == '\r') line.pop_back();
      commands.push_back(line);
      line.clear();
      if (static_cast<int>(commands.size()) == dropAfter) break;
      say(commands.size());
      if (closeAfterQuit && commands.back().compare(0, 4, "QUIT") == 0) break;
    }
    closesocket(c);
  }
};
