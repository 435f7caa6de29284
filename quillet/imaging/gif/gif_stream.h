// The sub-block stream: bytes written to it reach the target stream cut into GIF data sub-blocks
// (a length byte, then at most 255 bytes).
#pragma once

#include <cstdint>

#include "gif_exception.h"
#include "streams.h"

// A write-only stream kind: reading, seeking and, in this base, writing raise
// "Invalid stream operation".
class TGIFStream : public TStream {
public:
  TGIFStream(TStream& Target, TGIFWarning Warning) : FStream(Target), FOnWarning(std::move(Warning)) {}
  const char* ClassName() const override { return "TGIFStream"; }
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;

  const TGIFWarning& OnWarning() const { return FOnWarning; }

protected:
  TStream& FStream;
  TGIFWarning FOnWarning;
  // Byte 0 receives the block length; FBufferCount counts the bytes in the buffer with it.
  uint8_t FBuffer[256];
  int FBufferCount = 1;
};

class TGIFWriter : public TGIFStream {
public:
  using TGIFStream::TGIFStream;
  const char* ClassName() const override { return "TGIFWriter"; }
  // Takes every byte and reports all of them as written; full blocks go to the target at once.
  int64_t Write(const void* Buffer, int64_t Count) override;

  // One byte, as Write does it (the encoder's path, without a virtual call per byte).
  inline void WriteByte(uint8_t Value) {
    FBuffer[FBufferCount++] = Value;
    FDirty = true;
    if (FBufferCount == 256) FlushBlock();
  }

  // Writes the last, partly filled block when anything was written since the last block. The
  // owner calls it before letting the writer go, so that a failing target stream raises its error
  // to the owner rather than from a destructor.
  void Flush() {
    if (FDirty) FlushBlock();
  }

private:
  void FlushBlock();
  bool FDirty = false;
};
