#include "http_server.h"

TestHttpServer::TestHttpServer() { thread_ = std::thread([this] { Serve(); }); }

TestHttpServer::~TestHttpServer() {
  listener_.Close();
  if (thread_.joinable()) thread_.join();
}

std::string TestHttpServer::Base() const { return "http://127.0.0.1:" + std::to_string(listener_.Port()); }

void TestHttpServer::Set(const std::string& path, const std::string& body, int status, bool truncate) {
  std::lock_guard<std::mutex> lock(mutex_);
  answers_[path] = Answer{status, body, truncate};
}

std::vector<std::string> TestHttpServer::Paths() {
  std::lock_guard<std::mutex> lock(mutex_);
  return paths_;
}

std::vector<std::string> TestHttpServer::UserAgents() {
  std::lock_guard<std::mutex> lock(mutex_);
  return agents_;
}

void TestHttpServer::Serve() {
  for (;;) {
    SOCKET s = ::accept(listener_.Socket(), nullptr, nullptr);
    if (s == INVALID_SOCKET) return;
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
    Answer answer{404, "not found", false};
    {
      std::lock_guard<std::mutex> lock(mutex_);
      paths_.push_back(path);
      agents_.push_back(agent);
      auto it = answers_.find(path);
      if (it != answers_.end()) answer = it->second;
    }
    std::string reply = "HTTP/1.0 " + std::to_string(answer.status) + (answer.status == 200 ? " OK" : " Error") +
                        "\r\nContent-Type: application/octet-stream\r\nContent-Length: " +
                        std::to_string(answer.body.size()) + "\r\nConnection: close\r\n\r\n";
    reply += answer.truncate ? answer.body.substr(0, answer.body.size() / 2) : answer.body;
    size_t sent = 0;
    while (sent < reply.size()) {
      int n = ::send(s, reply.data() + sent, static_cast<int>(reply.size() - sent), 0);
      if (n <= 0) break;
      sent += n;
    }
    ::shutdown(s, SD_SEND);
    while (::recv(s, buf, sizeof buf, 0) > 0) {
    }
    ::closesocket(s);
  }
}
