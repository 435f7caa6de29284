// The traditional zip encryption against a header that Info-ZIP's zip wrote.
#include "zip_crypt.h"

#include <gtest/gtest.h>

#include <string>

#include "crc32.h"
#include "native_tree.h"

using namespace vexel;

namespace {

TEST(ZipCrypt, InfoZipHeaderAndData) {
  BuildCrcTable();
  const std::string root = vexel_test::MakeTempFolder();
  vexel_test::WriteFile(root + "/a.txt", "hello world\n");
  ASSERT_EQ(0, vexel_test::Shell("cd '" + root + "' && zip -q -0 -X -P pw a.zip a.txt"));
  const std::string zip = vexel_test::ReadFile(root + "/a.zip");
  vexel_test::RemoveTree(root);
  ASSERT_GT(zip.size(), 30u + 5 + 12 + 12);
  const unsigned char* h = (const unsigned char*)zip.data();
  const uint16_t flags = h[6] | (h[7] << 8);
  const uint16_t time = h[10] | (h[11] << 8);
  const uint32_t crc = h[14] | (h[15] << 8) | (h[16] << 16) | ((uint32_t)h[17] << 24);
  ASSERT_EQ(flags & 9, 9);  // encrypted, check byte from the time
  const unsigned char* data = h + 30 + 5;
  ZipKeys keys;
  // A wrong password passes the one check byte by chance once in 256 tries (zip's header bytes
  // are random), so of twenty wrong ones hardly any may pass.
  int passed = 0;
  for (int i = 0; i < 20; ++i) {
    const std::string wrong = "falsch" + std::to_string(i);
    passed += CheckPassword(data, flags, wrong.data(), wrong.size(), time, crc, keys);
  }
  EXPECT_LE(passed, 3);
  ASSERT_TRUE(CheckPassword(data, flags, "pw", 2, time, crc, keys));
  unsigned char plain[12];
  memcpy(plain, data + 12, 12);
  DecryptBuffer(keys, plain, 12);
  EXPECT_EQ(std::string((const char*)plain, 12), "hello world\n");
  // With bit 3 clear the same header is checked against the CRC's high byte instead.
  EXPECT_EQ(CheckPassword(data, flags & ~8, "pw", 2, time, crc, keys), (crc >> 24) == (time >> 8));
}

TEST(ZipCrypt, EncryptAndDecryptAreInverse) {
  BuildCrcTable();
  ZipKeys e, d;
  InitKeys(e, "Schlüssel", 9);
  InitKeys(d, "Schlüssel", 9);
  for (int i = 0; i < 1000; ++i) {
    const unsigned char c = (unsigned char)(i * 7);
    EXPECT_EQ(DecryptByte(d, EncryptByte(e, c)), c);
  }
}

}  // namespace
