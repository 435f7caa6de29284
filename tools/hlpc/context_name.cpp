// Context names and the viewer's context hash (see context_name.h).
#include "context_name.h"

namespace hlpc {

bool IsContextName(const std::string& name) {
  if (name.empty() || name.size() > kMaxContextBytes) return false;
  for (unsigned char c : name)
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == '.'))
      return false;
  return true;
}

bool SameContextName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x -= 'a' - 'A';
    if (y >= 'a' && y <= 'z') y -= 'a' - 'A';
    if (x != y) return false;
  }
  return true;
}

int32_t ContextHash(const std::string& name) {
  if (name.empty()) return 1;
  uint32_t hash = 0;
  for (unsigned char c : name) {
    // The value of a character, as the viewer's table gives it: digits 1-9 themselves and '0' 10,
    // letters of either case 17-42, '.' 12, '_' 13; the table's other entries are here for
    // completeness (the source allows none of them in a context name).
    unsigned v;
    if (c == 0) v = 0;
    else if (c == '!') v = 0x0B;
    else if (c == '.') v = 0x0C;
    else if (c < 0x30) v = 0xD0 + c;
    else if (c == '0') v = 0x0A;
    else if (c <= 'Z') v = c - 0x30;
    else if (c == '[') v = 0x0B;
    else if (c == '\\') v = 0x0C;
    else if (c == ']' || c == '_') v = 0x0D;
    else if (c == '^') v = 0x0E;
    else if (c < 0x80) v = c - 0x50;
    else if (c == 0xB4) v = 0x0B;
    else v = c - 0x30;
    // The table's entries are signed bytes.
    hash = hash * 43 + uint32_t(int32_t(int8_t(uint8_t(v))));
  }
  return int32_t(hash);
}

}  // namespace hlpc
