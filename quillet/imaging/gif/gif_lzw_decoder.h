// Decoding of a GIF frame's LZW-compressed pixel data.
#pragma once

#include <cstdint>
#include <vector>

#include "gif_exception.h"
#include "streams.h"

// Frames with more pixels than this are refused with "Invalid image dimensions": the pixel buffer
// is sized from the descriptor's width and height, which come straight from the file.
constexpr int64_t GIFMaxFramePixels = int64_t(1) << 26;

// Decodes one frame. Stream stands at the LZW minimum code size byte that follows the image
// descriptor (and local colour table). Pixels receives Width x Height colour indices in natural
// row order (interlaced data is put into its rows); pixels the data does not reach keep
// FillIndex (0, or the transparent index of a transparent frame). On return the stream stands
// after the sub-block terminator, or at its end when the data is cut short.
//
// Errors (GIFException): "Circular decoder table entry", "Premature end of data" for a block
// that cannot be read, "Invalid image dimensions". Warnings: "Premature end of data" for a block
// longer than the rest of the stream or a missing terminator, "Decoder bit buffer under-run" for
// codes asked for after the last block, "Invalid LZW code size" for a code size byte outside
// 1 .. 11 (the frame keeps its fill).
void Decode(TStream& Stream, int Width, int Height, bool Interlaced, uint8_t FillIndex,
            std::vector<uint8_t>& Pixels, const TGIFWarning& Warning = {});
