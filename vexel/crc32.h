// CRC-32 of the zip format (reflected polynomial 0xEDB88320), with which every extracted entry is
// checked.
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace vexel {

// Fills the lookup tables; calling it again is harmless. UpdateCrc builds them itself when nobody
// did, so a forgotten call costs nothing but the first call's time.
void BuildCrcTable();

// Adds len bytes to a running CRC. A running value starts at 0xFFFFFFFF; the entry's CRC-32 is
// its one's complement.
uint32_t UpdateCrc(const unsigned char* buf, size_t len, uint32_t running);

// Lets tests turn the carry-less multiply off (or on again where the processor has it), so that
// the table path is checked on any machine.
void UseCarrylessCrc(bool allowed);

}  // namespace vexel
