// The listening socket of a test server: TCP on 127.0.0.1 at a port the system picks, so that
// tests running side by side never meet. The server accepts on it from a thread of its own.
#pragma once

#include <winsock2.h>

namespace testsupport {

class LoopbackListener {
 public:
  // Starts WinSock for the object's lifetime, binds and listens with room for `backlog`
  // connections waiting.
  explicit LoopbackListener(int backlog);
  ~LoopbackListener();
  LoopbackListener(const LoopbackListener&) = delete;
  LoopbackListener& operator=(const LoopbackListener&) = delete;

  // True when the socket is bound and listening.
  bool Listening() const { return listening_; }
  SOCKET Socket() const { return socket_; }
  unsigned short Port() const { return port_; }
  // Closes the socket; an accept() waiting on another thread then returns INVALID_SOCKET.
  void Close();

 private:
  SOCKET socket_ = INVALID_SOCKET;
  unsigned short port_ = 0;
  bool listening_ = false;
  bool started_ = false;
};

}  // namespace testsupport
