#include "gif_stream.h"

#include <cstring>

int64_t TGIFStream::Read(void*, int64_t) { throw GIFException(gifmsg::StreamOperation); }

int64_t TGIFStream::Write(const void*, int64_t) { throw GIFException(gifmsg::StreamOperation); }

int64_t TGIFStream::Seek(int64_t, TSeekOrigin) { throw GIFException(gifmsg::StreamOperation); }

int64_t TGIFWriter::Write(const void* Buffer, int64_t Count) {
  const uint8_t* p = static_cast<const uint8_t*>(Buffer);
  int64_t left = Count;
  while (left > 0) {
    int n = 256 - FBufferCount;
    if (n > left) n = static_cast<int>(left);
    std::memcpy(FBuffer + FBufferCount, p, size_t(n));
    FBufferCount += n;
    FDirty = true;
    p += n;
    left -= n;
    if (FBufferCount == 256) FlushBlock();
  }
  return Count < 0 ? 0 : Count;
}

void TGIFWriter::FlushBlock() {
  FBuffer[0] = static_cast<uint8_t>(FBufferCount - 1);
  const int n = FBufferCount;
  FBufferCount = 1;
  FDirty = false;
  FStream.WriteBuffer(FBuffer, n);
}
