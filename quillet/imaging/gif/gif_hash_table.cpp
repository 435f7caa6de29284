#include "gif_hash_table.h"

#include <cstring>

void THashTable::Clear() { std::memset(FTable, 0xFF, sizeof FTable); }

// A collision moves on by the distance of the first slot from the table's end (1 for slot 0),
// backwards and wrapping around.
void THashTable::Insert(uint32_t Key, int Code) {
  int slot = Hash(Key);
  const int disp = slot == 0 ? 1 : HashSize - slot;
  while ((FTable[slot] >> 12) != kEmptyKey) {
    slot -= disp;
    if (slot < 0) slot += HashSize;
  }
  FTable[slot] = (Key << 12) | (uint32_t(Code) & 0xFFF);
}

int THashTable::Lookup(uint32_t Key) const {
  int slot = Hash(Key);
  const int disp = slot == 0 ? 1 : HashSize - slot;
  for (;;) {
    const uint32_t key = FTable[slot] >> 12;
    if (key == Key) return static_cast<int>(FTable[slot] & 0xFFF);
    if (key == kEmptyKey) return -1;
    slot -= disp;
    if (slot < 0) slot += HashSize;
  }
}
