#include "http_server.h"

TestHttpServer::TestHttpServer() { thread_ = std::thread([this] { Serve(); }); }

TestHttpServer::~TestHttpServer() {
  stop_ = true;
  listener_.Close();
  if (thread_.joinable()) thread_.join();
  std::vector<std::thread> running;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    running.swap(connections_);
  }
  for (std::thread& t : running) t.join();
}

std::string TestHttpServer::Base() const { return "http://127.0.0.1:" + std::to_string(listener_.Port()); }

void TestHttpServer::Set(const std::string& path, const std::string& body, int status, bool truncate) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_[path] = {status, body, truncate ? Manner::truncate : Manner::whole};
}

void TestHttpServer::SetManner(const std::string& path, const std::string& body, Manner manner) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_[path] = {200, body, manner};
}

std::vector<std::string> TestHttpServer::Paths() {
  std::lock_guard<std::mutex> lock(mutex_);
  return paths_;
}

std::vector<std::string> TestHttpServer::UserAgents() {
  std::lock_guard<std::mutex> lock(mutex_);
  return agents_;
}

namespace {
bool SendAll(SOCKET s, const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    int n = ::send(s, data.data() + sent, static_cast<int>(data.size() - sent), 0);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}
}  // namespace

bool TestHttpServer::ClientGone(SOCKET s, int ms) {
  fd_set read;
  FD_ZERO(&read);
  FD_SET(s, &read);
  timeval tv{ms / 1000, (ms % 1000) * 1000};
  if (::select(0, &read, nullptr, nullptr, &tv) <= 0) return stop_;
  char c;
  return ::recv(s, &c, 1, 0) <= 0 || stop_;
}

void TestHttpServer::Reply(SOCKET s, const Answer& answer, const std::string& path) {
  const std::string& body = answer.body;
  auto head = [&](int status, const std::string& extra) {
    return "HTTP/1.0 " + std::to_string(status) + (status == 200 ? " OK" : status == 302 ? " Found" : " Error") +
           "\r\nContent-Type: application/octet-stream\r\n" + extra + "Connection: close\r\n\r\n";
  };
  const std::string length = "Content-Length: " + std::to_string(body.size()) + "\r\n";
  switch (answer.manner) {
    case Manner::whole:
      SendAll(s, head(answer.status, length) + body);
      break;
    case Manner::truncate:
      SendAll(s, head(answer.status, length) + body.substr(0, body.size() / 2));
      break;
    case Manner::trickle:
      if (!SendAll(s, head(200, length))) break;
      for (size_t i = 0; i < body.size(); ++i)
        if (!SendAll(s, body.substr(i, 1)) || ClientGone(s, 250)) break;
      break;
    case Manner::stall:
      if (!SendAll(s, head(200, length))) break;
      while (!ClientGone(s, 100)) {
      }
      break;
    case Manner::silent:
      while (!ClientGone(s, 100)) {
      }
      break;
    case Manner::reset: {
      SendAll(s, head(200, length) + body.substr(0, body.size() / 2));
      linger hard{1, 0};  // closing now sends a reset
      ::setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&hard), sizeof hard);
      return;
    }
    case Manner::endless: {
      if (!SendAll(s, head(200, ""))) break;
      const std::string block(4096, 'x');
      while (!stop_ && SendAll(s, block)) {
      }
      break;
    }
    case Manner::redirectLoop:
      SendAll(s, head(302, "Location: " + path + "\r\nContent-Length: 0\r\n"));
      break;
  }
  ::shutdown(s, SD_SEND);
}

void TestHttpServer::Serve() {
  for (;;) {
    SOCKET s = ::accept(listener_.Socket(), nullptr, nullptr);
    if (s == INVALID_SOCKET) return;
    // Each connection on a thread of its own: a client that left a stalled connection behind
    // does not keep the next request waiting.
    std::lock_guard<std::mutex> lock(mutex_);
    connections_.emplace_back([this, s] { Handle(s); });
  }
}

void TestHttpServer::Handle(SOCKET s) {
  DWORD timeout = 3000;  // a client that never closes does not stop the server
  ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
  std::string request;
  char buf[1024];
  while (request.find("\r\n\r\n") == std::string::npos) {
    int n = ::recv(s, buf, sizeof buf, 0);
    if (n <= 0) break;
    request.append(buf, n);
  }
  size_t sp1 = request.find(' ');
  size_t sp2 = sp1 == std::string::npos ? sp1 : request.find(' ', sp1 + 1);
  std::string path = sp2 == std::string::npos ? "" : request.substr(sp1 + 1, sp2 - sp1 - 1);
  // A proxy request carries the whole address; keep the path.
  if (path.compare(0, 7, "http://") == 0) {
    size_t slash = path.find('/', 7);
    path = slash == std::string::npos ? "/" : path.substr(slash);
  }
  std::string agent;
  size_t ua = request.find("User-Agent: ");
  if (ua != std::string::npos) agent = request.substr(ua + 12, request.find("\r\n", ua) - ua - 12);
  Answer answer{404, "not found", Manner::whole};
  {
    std::lock_guard<std::mutex> lock(mutex_);
    paths_.push_back(path);
    agents_.push_back(agent);
    auto it = answers_.find(path);
    if (it != answers_.end()) answer = it->second;
  }
  Reply(s, answer, path);
  if (answer.manner != Manner::reset) {
    while (::recv(s, buf, sizeof buf, 0) > 0) {
    }
  }
  ::closesocket(s);
}
