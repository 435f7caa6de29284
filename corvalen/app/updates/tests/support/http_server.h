// A tiny HTTP/1.0 server on 127.0.0.1 for the download tests: fixed answers by path, each
// connection on a thread of its own, and a record of the requests it saw. Besides whole
// answers it plays the servers a download must survive: one that sends a byte now and then, one
// that stalls after the headers or never answers, one that breaks the connection in the middle
// of the body, one whose body has no end, and one that redirects back to the same address.
#pragma once

#include <winsock2.h>

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "TarifScramble.h"
#include "loopback_listener.h"

// A tariff file as the update server sends it: scrambled as "tarif.dat" is.
inline std::string Scrambled(std::string s) {
  ScrambleTarif(reinterpret_cast<unsigned char*>(&s[0]), s.size());
  return s;
}

class TestHttpServer {
 public:
  enum class Manner {
    whole,        // the body as it is
    truncate,     // announce the whole length, send half and close
    trickle,      // one byte of the body every 250 ms
    stall,        // the headers, then nothing until the client goes
    silent,       // no answer at all until the client goes
    reset,        // half the body, then the connection broken off (a reset, not an end)
    endless,      // a body without end (no length announced)
    redirectLoop  // "302 Found" back to the same path, every time
  };
  struct Answer {
    int status = 200;
    std::string body;
    Manner manner = Manner::whole;
  };
  TestHttpServer();
  ~TestHttpServer();
  // "http://127.0.0.1:<port>"
  std::string Base() const;
  void Set(const std::string& path, const std::string& body, int status = 200, bool truncate = false);
  void SetManner(const std::string& path, const std::string& body, Manner manner);
  std::vector<std::string> Paths();        // paths requested so far
  std::vector<std::string> UserAgents();   // their User-Agent headers

 private:
  void Serve();
  void Handle(SOCKET s);
  void Reply(SOCKET s, const Answer& answer, const std::string& path);
  // Waits up to `ms` for the client to close; true when it did (or the server stops).
  bool ClientGone(SOCKET s, int ms);
  testsupport::LoopbackListener listener_{8};
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::map<std::string, Answer> answers_;
  std::vector<std::string> paths_, agents_;
  std::vector<std::thread> connections_;  // one per connection, joined at the end
};
