// Decoder for deflated zip entries (the Deflate format of RFC 1951).
#pragma once

#include <stddef.h>
#include <stdint.h>

namespace vexel {

// Size of the pieces in which decoded output is handed on.
const size_t kInflatePiece = 131072;

struct InflateIo {
  void* context;
  // Delivers up to max compressed bytes of the entry (already decrypted by the caller when the
  // entry is encrypted); returns the count, 0 when the entry's compressed bytes are used up or
  // reading failed. The decoder asks for min(bytes left, 0x8000) each time its buffer is used up.
  size_t (*read)(void* context, unsigned char* buf, size_t max);
  // Takes decoded bytes; returns nonzero on success, 0 when writing failed. Output arrives in
  // pieces of kInflatePiece bytes, whenever the output buffer is full, and once more at the end
  // with the rest.
  int (*write)(void* context, const unsigned char* buf, size_t n);
};

// Decodes one deflated entry whose compressed size is compressedSize. Every byte handed to write
// is added, in order, to runningCrc.
//
// Returns true when the stream decoded cleanly to its final block, false for a failed write or
// for anything a valid stream cannot contain. The walk extracts an entry only when this is true
// and the CRC-32 is right: a stream this returns false for fails whatever its CRC (zlib refuses
// the same streams). Damaged data is decoded as far as it goes and never makes the decoder read or
// write outside its buffers:
//   - an invalid literal/length or distance code ends its block; decoding goes on with the next
//     block unless that block was the last (false);
//   - a block of type 3 decodes nothing; decoding goes on unless it was the last (false either
//     way);
//   - an incomplete code in a dynamic block is decoded with its empty slots as invalid codes
//     (false); a literal/length or distance code of a single one-bit code, and no distance code
//     at all, are valid; the fixed distance code's two unused codes are part of the format;
//   - a stored block whose NLEN is not the complement of LEN drops the output not yet written
//     and ends the entry; so does a dynamic block whose code lengths give no usable table (false);
//   - a back-reference before the entry's first byte copies zeros (false);
//   - after the compressed bytes are used up the input reads as all-ones bytes, and decoding
//     stops a few bytes later (false).
bool InflateEntry(const InflateIo& io, uint32_t compressedSize, uint32_t& runningCrc);

// Lets tests turn the decoding loop compiled for BMI2 off (or on again where the processor has
// it), so that the plain loop is checked on any machine.
void UseBmi2Inflate(bool allowed);

}  // namespace vexel
