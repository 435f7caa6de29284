// The traditional PKWARE zip encryption: three 32-bit keys, initialised from the password and
// updated with every plain byte through the CRC-32 table, and a 12-byte encryption header in front
// of each encrypted entry whose last byte checks the password.
#pragma once
#include <stddef.h>
#include <stdint.h>

namespace vexel {

const size_t kEncryptionHeaderLength = 12;

struct ZipKeys {
  uint32_t k0, k1, k2;
};

void InitKeys(ZipKeys& keys, const char* password, size_t length);
void UpdateKeys(ZipKeys& keys, unsigned char plain);

inline unsigned char DecryptByte(ZipKeys& keys, unsigned char cipher) {
  const uint32_t t = (keys.k2 & 0xFFFF) | 2;
  const unsigned char plain = (unsigned char)(cipher ^ (unsigned char)((t * (t ^ 1)) >> 8));
  UpdateKeys(keys, plain);
  return plain;
}

inline unsigned char EncryptByte(ZipKeys& keys, unsigned char plain) {
  const uint32_t t = (keys.k2 & 0xFFFF) | 2;
  const unsigned char cipher = (unsigned char)(plain ^ (unsigned char)((t * (t ^ 1)) >> 8));
  UpdateKeys(keys, plain);
  return cipher;
}

void DecryptBuffer(ZipKeys& keys, unsigned char* buf, size_t len);

// Initialises the keys with the password and decrypts a copy of the 12-byte header; the last plain
// byte must equal the high byte of the time field (general flag bit 3) or of the CRC-32. On success
// the keys are ready for the entry's data.
bool CheckPassword(const unsigned char header[kEncryptionHeaderLength], uint16_t flags, const char* password,
                   size_t length, uint16_t time, uint32_t crc, ZipKeys& keys);

}  // namespace vexel
