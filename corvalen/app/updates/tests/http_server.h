// A tiny HTTP/1.0 server on 127.0.0.1 for the download tests: fixed answers by path, one
// connection at a time on a thread of its own, and a record of the requests it saw.
#pragma once

#include <winsock2.h>

#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "loopback_listener.h"

class TestHttpServer {
 public:
  struct Answer {
    int status = 200;
    std::string body;
    bool truncate = false;  // announce the whole length, send half and close
  };
  TestHttpServer();
  ~TestHttpServer();
  // "http://127.0.0.1:<port>"
  std::string Base() const;
  void Set(const std::string& path, const std::string& body, int status = 200, bool truncate = false);
  std::vector<std::string> Paths();        // paths requested so far
  std::vector<std::string> UserAgents();   // their User-Agent headers

 private:
  void Serve();
  testsupport::LoopbackListener listener_{8};
  std::thread thread_;
  std::mutex mutex_;
  std::map<std::string, Answer> answers_;
  std::vector<std::string> paths_, agents_;
};
