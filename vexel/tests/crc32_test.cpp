// CRC-32 against zlib's crc32 and the check value of the zip standard.

#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <vector>

#include "crc32.h"

namespace {

// Runs first (declaration order): the tables are built on first use when nobody built them.
TEST(Crc32, WorksBeforeTheTableIsBuilt) {
  const unsigned char check[] = "123456789";
  EXPECT_EQ(~vexel::UpdateCrc(check, 9, 0xFFFFFFFFu), 0xCBF43926u);
}

// Both ways of computing it: the carry-less multiply where the processor has it, the tables
// always. Lengths reach past 64 + 4 * 16 bytes, so every way a folded buffer can end is taken.
TEST(Crc32, MatchesZlibForEveryLengthAndAlignment) {
  vexel::BuildCrcTable();
  vexel::BuildCrcTable();  // a second call changes nothing
  std::mt19937 rng(1);
  std::vector<unsigned char> buf(70000);
  for (auto& c : buf) c = (unsigned char)rng();
  // The choice comes back for the later tests also when an assertion below ends this one.
  struct Restore { ~Restore() { vexel::UseCarrylessCrc(true); } } restore;
  for (bool carryless : {true, false}) {
    vexel::UseCarrylessCrc(carryless);
    for (size_t start = 0; start < 8; start++)
      for (size_t len = 0; len < 300; len++)
        ASSERT_EQ(~vexel::UpdateCrc(buf.data() + start, len, 0xFFFFFFFFu),
                  (uint32_t)crc32(0, buf.data() + start, (uInt)len))
            << "start " << start << " length " << len << " carry-less " << carryless;
    EXPECT_EQ(~vexel::UpdateCrc(buf.data() + 3, buf.size() - 3, 0xFFFFFFFFu),
              (uint32_t)crc32(0, buf.data() + 3, (uInt)(buf.size() - 3)));
    EXPECT_EQ(~vexel::UpdateCrc(buf.data(), 0, 0xFFFFFFFFu), 0u);
  }
}

TEST(Crc32, PiecesAddUpToTheWhole) {
  std::mt19937 rng(2);
  std::vector<unsigned char> buf(100000);
  for (auto& c : buf) c = (unsigned char)rng();
  uint32_t running = 0xFFFFFFFFu;
  size_t pos = 0;
  while (pos < buf.size()) {
    size_t n = std::min<size_t>(rng() % 5000, buf.size() - pos);
    running = vexel::UpdateCrc(buf.data() + pos, n, running);
    pos += n;
  }
  EXPECT_EQ(~running, (uint32_t)crc32(0, buf.data(), (uInt)buf.size()));
}

}  // namespace
