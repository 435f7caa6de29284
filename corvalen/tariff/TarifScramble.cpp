#include "TarifScramble.h"

void UnscrambleTarif(unsigned char* data, size_t length) {
  unsigned char k = kTarifScrambleKey;
  for (size_t i = 0; i < length; ++i) {
    k = static_cast<unsigned char>(k ^ data[i]);
    data[i] = k;
  }
}

void ScrambleTarif(unsigned char* data, size_t length) {
  unsigned char previous = kTarifScrambleKey;
  for (size_t i = 0; i < length; ++i) {
    unsigned char plain = data[i];
    data[i] = static_cast<unsigned char>(plain ^ previous);
    previous = plain;
  }
}
