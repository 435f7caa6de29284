#include "cursors_win.h"

#include <map>

namespace {

struct TCursorList {
  std::map<int, HCURSOR> Cursors;
  ~TCursorList() {
    for (auto& c : Cursors) DestroyCursor(c.second);
  }
};

TCursorList& List() {
  static TCursorList l;
  return l;
}

}  // namespace

void SetScreenCursor(int Number, HCURSOR Handle) {
  auto& c = List().Cursors;
  auto it = c.find(Number);
  if (it != c.end()) {
    if (it->second == Handle) return;
    DestroyCursor(it->second);
  }
  if (Handle) c[Number] = Handle;
  else if (it != c.end()) c.erase(it);
}

HCURSOR ScreenCursor(int Number) {
  auto& c = List().Cursors;
  auto it = c.find(Number);
  return it == c.end() ? nullptr : it->second;
}
