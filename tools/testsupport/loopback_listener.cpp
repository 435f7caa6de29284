#include "loopback_listener.h"

namespace testsupport {

LoopbackListener::LoopbackListener(int backlog) {
  WSADATA wsa;
  started_ = WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
  socket_ = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  if (socket_ == INVALID_SOCKET) return;
  sockaddr_in addr = {};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  if (::bind(socket_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return;
  int len = sizeof addr;
  ::getsockname(socket_, reinterpret_cast<sockaddr*>(&addr), &len);
  port_ = ntohs(addr.sin_port);
  listening_ = ::listen(socket_, backlog) == 0;
}

LoopbackListener::~LoopbackListener() {
  Close();
  if (started_) WSACleanup();
}

void LoopbackListener::Close() {
  if (socket_ != INVALID_SOCKET) ::closesocket(socket_);
  socket_ = INVALID_SOCKET;
  listening_ = false;
}

}  // namespace testsupport
