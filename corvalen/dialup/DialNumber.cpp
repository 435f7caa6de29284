#include "DialNumber.h"

#include <cstring>

bool AssembleDialNumber(char* out, size_t size, const char* prefix, const char* areaCode, const char* local) {
  if (!out || size == 0) return false;
  prefix = prefix ? prefix : "";
  areaCode = areaCode ? areaCode : "";
  local = local ? local : "";
  const char* zero = (areaCode[0] && areaCode[0] != '0') ? "0" : "";
  const char* parts[] = {prefix, zero, areaCode, local};
  size_t length = 0;
  for (const char* p : parts) length += strlen(p);
  if (length >= size) {
    out[0] = 0;
    return false;
  }
  out[0] = 0;
  for (const char* p : parts) strcat(out, p);
  return true;
}

bool CopyToField(char* field, size_t size, const char* src) {
  if (!field || !src || size == 0) return false;
  size_t n = strlen(src);
  if (n >= size) return false;
  memcpy(field, src, n + 1);
  return true;
}

void CopyLimited(char* field, size_t limit, const char* src) {
  if (!field) return;
  size_t n = src ? strlen(src) : 0;
  if (n > limit) n = limit;
  if (n) memcpy(field, src, n);
  field[n] = 0;
}

size_t EnumTableRecords(unsigned long neededBytes, size_t recordSize) {
  return recordSize ? neededBytes / recordSize + 1 : 1;
}
