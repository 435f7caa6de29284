// The dictionary of the LZW compressor: (prefix code, pixel) keys to codes.
#pragma once

#include <cstdint>

class THashTable {
public:
  // A prime: with the double-hashing probe below every slot is reached from every start.
  static constexpr int HashSize = 8009;

  THashTable() { Clear(); }
  // Empties the table: every bit set marks a slot as free.
  void Clear();
  // Key is prefix code x 256 + pixel (20 bits), Code a 12-bit code. The table never holds more
  // than 4096 entries, so there is always a free slot.
  void Insert(uint32_t Key, int Code);
  // The code stored for Key, or -1.
  int Lookup(uint32_t Key) const;

private:
  static constexpr uint32_t kEmptyKey = 0xFFFFF;
  static int Hash(uint32_t Key) { return static_cast<int>(((Key >> 4) ^ Key) % HashSize); }
  // Each entry holds the key in its upper 20 bits and the code in its lower 12.
  uint32_t FTable[HashSize];
};
