// Feeds a server's replies to the POP3 dialogue, cut into pieces whose sizes come from the input,
// and checks what the dialogue may do in return: send only whole command lines, stay in a known
// state, never count a negative number of messages from the server's own numbers, and keep at
// most 32 message ids of at most 70 characters for the next check.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>

#include "Pop3Dialogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  size_t piece = data[0] % 64 + 1;
  pop3::CPop3Dialogue d("kunde", "geheim", "a1 a2 000000016b1b03e1");
  std::string sent;
  pop3::Outcome o = pop3::kGoOn;
  for (size_t i = 1; i < size; i += piece) {
    size_t n = size - i < piece ? size - i : piece;
    o = d.Receive(reinterpret_cast<const char*>(data + i), n, sent);
    int s = d.GetState();
    if (s != 0 && s != 1 && s != 2 && s != 3 && s != 4 && s != 6 && s != 7) abort();
    if (!sent.empty() && sent.compare(sent.size() - 2, 2, "\r\n") != 0) abort();
    if (sent.size() > 64) abort();  // six commands at most
  }
  if (o == pop3::kGoOn) o = d.Closed();
  if (o == pop3::kFinished && (!d.IsDone() || d.GetCount() < 0 || d.GetLast() < 0)) abort();
  if (d.UsedUniqueIds()) {
    if (d.NewMessages() < 0) abort();  // the ids stand in for LAST: never past the count
    std::set<std::string> kept = pop3::SplitSeenIds(d.SeenIds());
    if (kept.size() > pop3::CPop3Dialogue::kKeptIds) abort();
    for (const std::string& id : kept)
      if (id.size() > pop3::CPop3Dialogue::kMaxIdLength) abort();
  }
  return 0;
}
