#include "zip_crypt.h"

#include "crc32.h"

namespace vexel {

void UpdateKeys(ZipKeys& keys, unsigned char plain) {
  keys.k0 = UpdateCrc(&plain, 1, keys.k0);
  keys.k1 = (keys.k1 + (keys.k0 & 0xFF)) * 134775813u + 1;
  const unsigned char top = (unsigned char)(keys.k1 >> 24);
  keys.k2 = UpdateCrc(&top, 1, keys.k2);
}

void InitKeys(ZipKeys& keys, const char* password, size_t length) {
  keys.k0 = 0x12345678u;
  keys.k1 = 0x23456789u;
  keys.k2 = 0x34567890u;
  for (size_t i = 0; i < length; ++i) UpdateKeys(keys, (unsigned char)password[i]);
}

void DecryptBuffer(ZipKeys& keys, unsigned char* buf, size_t len) {
  for (size_t i = 0; i < len; ++i) buf[i] = DecryptByte(keys, buf[i]);
}

bool CheckPassword(const unsigned char header[kEncryptionHeaderLength], uint16_t flags, const char* password,
                   size_t length, uint16_t time, uint32_t crc, ZipKeys& keys) {
  InitKeys(keys, password, length);
  unsigned char copy[kEncryptionHeaderLength];
  for (size_t i = 0; i < kEncryptionHeaderLength; ++i) copy[i] = header[i];
  DecryptBuffer(keys, copy, kEncryptionHeaderLength);
  const unsigned char check = (flags & 0x0008) ? (unsigned char)(time >> 8) : (unsigned char)(crc >> 24);
  return copy[kEncryptionHeaderLength - 1] == check;
}

}  // namespace vexel
