// The HTTP classes against a small HTTP server on 127.0.0.1 run by the test itself.
#include <winsock2.h>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include "loopback_listener.h"
#include "test_support.h"

namespace {

// Answers every request on a thread of its own: "/fehlt" with 404, everything else with 200 and
// a body of `bodySize` bytes. Keeps the text of each request.
class TinyHttpServer {
 public:
  explicit TinyHttpServer(size_t bodySize = 250) : bodySize_(bodySize) {
    port = listen_.Port();
    thread_ = std::thread([this] { Serve(); });
  }
  ~TinyHttpServer() {
    stop_ = true;
    thread_.join();
  }
  std::string Requests() {
    std::lock_guard<std::mutex> lock(m_);
    return requests_;
  }
  std::string Body() const {
    std::string b;
    for (size_t i = 0; i < bodySize_; ++i) b += static_cast<char>('a' + i % 26);
    return b;
  }
  unsigned short port = 0;

 private:
  void Serve() {
    while (!stop_) {
      fd_set set;
      FD_ZERO(&set);
      FD_SET(listen_.Socket(), &set);
      timeval tv = {0, 20000};
      if (select(0, &set, nullptr, nullptr, &tv) <= 0) continue;
      SOCKET c = accept(listen_.Socket(), nullptr, nullptr);
      if (c == INVALID_SOCKET) continue;
      std::string req;
      char buf[1024];
      while (req.find("\r\n\r\n") == std::string::npos) {
        int n = recv(c, buf, sizeof buf, 0);
        if (n <= 0) break;
        req.append(buf, static_cast<size_t>(n));
      }
      {
        std::lock_guard<std::mutex> lock(m_);
        requests_ += req;
      }
      bool missing = req.find(" /fehlt ") != std::string::npos;
      std::string body = missing ? std::string("nicht gefunden") : Body();
      std::string resp = std::string(missing ? "HTTP/1.0 404 Not Found\r\n" : "HTTP/1.0 200 OK\r\n") +
                         "Content-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
                         "\r\nConnection: close\r\n\r\n" + body;
      send(c, resp.data(), static_cast<int>(resp.size()), 0);
      shutdown(c, SD_SEND);
      closesocket(c);
    }
  }
  size_t bodySize_;
  testsupport::LoopbackListener listen_{4};
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::mutex m_;
  std::string requests_;
};

std::string ReadAll(CInternetFile* f, UINT piece) {
  std::string out;
  std::vector<char> buf(piece);
  for (;;) {
    UINT n = f->Read(buf.data(), piece);
    out.append(buf.data(), n);
    if (n < piece) break;
  }
  return out;
}

std::string Url(unsigned short port, const char* path) {
  return "http://127.0.0.1:" + std::to_string(port) + path;
}

TEST(Internet, OpenUrlSendsTheAgentAndReadsTheBody) {
  TinyHttpServer server(250);
  CInternetSession session("Microsoft Internet Browser");
  std::unique_ptr<CInternetFile> file(session.OpenURL(Url(server.port, "/msg/info").c_str(), 1, INTERNET_FLAG_RELOAD));
  CHttpFile* http = dynamic_cast<CHttpFile*>(file.get());
  ASSERT_NE(http, nullptr);
  DWORD status = 0;
  ASSERT_TRUE(http->QueryInfoStatusCode(status));
  EXPECT_EQ(status, 200u);
  CString type;
  EXPECT_TRUE(http->QueryInfo(HTTP_QUERY_CONTENT_TYPE, type));
  EXPECT_EQ(type, "text/plain");
  EXPECT_EQ(ReadAll(file.get(), 100), server.Body());
  EXPECT_EQ(http->GetObject(), "/msg/info");
  file->Close();
  std::string req = server.Requests();
  EXPECT_NE(req.find("GET /msg/info HTTP/1."), std::string::npos) << req;
  EXPECT_NE(req.find("User-Agent: Microsoft Internet Browser\r\n"), std::string::npos) << req;
}

TEST(Internet, ExactMultipleOfThePieceEndsWithAnEmptyRead) {
  TinyHttpServer server(200);
  CInternetSession session("Microsoft Internet Browser");
  std::unique_ptr<CInternetFile> file(session.OpenURL(Url(server.port, "/tarif.dat").c_str(), 1, INTERNET_FLAG_RELOAD));
  char buf[100];
  EXPECT_EQ(file->Read(buf, 100), 100u);
  EXPECT_EQ(file->Read(buf, 100), 100u);
  EXPECT_EQ(file->Read(buf, 100), 0u);
}

TEST(Internet, MissingPageGives404) {
  TinyHttpServer server;
  CInternetSession session("Microsoft Internet Browser");
  std::unique_ptr<CInternetFile> file(session.OpenURL(Url(server.port, "/fehlt").c_str(), 1, INTERNET_FLAG_RELOAD));
  DWORD status = 0;
  ASSERT_TRUE(static_cast<CHttpFile*>(file.get())->QueryInfoStatusCode(status));
  EXPECT_EQ(status, 404u);
  EXPECT_EQ(ReadAll(file.get(), 256), "nicht gefunden");
}

TEST(Internet, RequestOverAConnection) {
  TinyHttpServer server(300);
  CInternetSession session("Microsoft Internet Browser", 1, INTERNET_OPEN_TYPE_PRECONFIG);
  std::unique_ptr<CHttpConnection> conn(session.GetHttpConnection("127.0.0.1", server.port));
  std::unique_ptr<CHttpFile> file(conn->OpenRequest(CHttpConnection::HTTP_VERB_GET, "/", nullptr, 1, nullptr,
                                                    nullptr, INTERNET_FLAG_EXISTING_CONNECT));
  EXPECT_TRUE(file->SendRequest());
  DWORD status = 0;
  ASSERT_TRUE(file->QueryInfoStatusCode(status));
  EXPECT_EQ(status, 200u);
  EXPECT_EQ(ReadAll(file.get(), 256), server.Body());
  EXPECT_NE(server.Requests().find("GET / HTTP/1."), std::string::npos);
  EXPECT_EQ(file->GetFileURL(), CString::Formatted("http://127.0.0.1:%u/", server.port));
}

unsigned short UnusedPort() {
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 0), &wsa);
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in a = {};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  int len = sizeof a;
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &len);
  closesocket(s);
  return ntohs(a.sin_port);
}

TEST(Internet, RefusedConnectionIsACaughtError) {
  unsigned short port = UnusedPort();
  CInternetSession session("Microsoft Internet Browser");
  DWORD error = 0;
  CString text;
  try {
    std::unique_ptr<CInternetFile> f(session.OpenURL(Url(port, "/").c_str(), 1, INTERNET_FLAG_RELOAD));
    ADD_FAILURE() << "opened a URL nobody serves";
  } catch (const CInternetException& e) {
    error = e.m_dwError;
    text = e.GetErrorMessage();
  }
  EXPECT_EQ(error, DWORD(ERROR_INTERNET_CANNOT_CONNECT));
  EXPECT_FALSE(text.IsEmpty());

  // The same through a connection: the failure comes with the request.
  std::unique_ptr<CHttpConnection> conn(session.GetHttpConnection("127.0.0.1", port));
  std::unique_ptr<CHttpFile> file(conn->OpenRequest("GET", "/"));
  EXPECT_THROW(file->SendRequest(), CInternetException);
}

}  // namespace
