// The scrambling of "tarif.dat" and the server information file: a chained XOR whose one-byte
// key starts at 0x96. Plain byte i is 0x96 ^ c0 ^ c1 ^ ... ^ ci of the stored bytes; a writer
// stores plain byte i ^ plain byte i-1, with 0x96 in place of plain byte -1.
#pragma once

#include <cstddef>

const unsigned char kTarifScrambleKey = 0x96;

void UnscrambleTarif(unsigned char* data, size_t length);
void ScrambleTarif(unsigned char* data, size_t length);
