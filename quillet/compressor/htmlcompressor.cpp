// THTMLCompressor: loading, compressing and saving a page (see htmlcompressor.h).
#include "htmlcompressor.h"

#include <climits>
#include <cstdio>
#include <exception>
#include <memory>

#include "streams.h"

THTMLCompressor::THTMLCompressor(TComponent* AOwner) : TComponent(AOwner) {}

bool THTMLCompressor::LoadFromFile(const String& FileName) {
  FCompressedSize = 0;
  FCompressed = false;
  try {
    TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
    int64_t size = f.Size();
    // The sizes are Integers: a file of 2 GB or more cannot be held.
    if (size < 0 || size > INT_MAX) return false;
    std::vector<char> data(static_cast<size_t>(size));
    f.SetPosition(0);
    if (size > 0) f.ReadBuffer(data.data(), size);
    FData.swap(data);
    FSourceSize = static_cast<int>(size);
    FHasData = true;
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void THTMLCompressor::Compress() {
  if (FSourceSize == 0 || FCompressed || !FHasData) return;
  // After a failed load Data may hold the result of an earlier compression, shorter than
  // SourceSize: only the bytes held are compressed.
  size_t n = static_cast<size_t>(FSourceSize);
  if (n > FData.size()) n = FData.size();
  std::vector<char> work(FData.begin(), FData.begin() + static_cast<std::ptrdiff_t>(n));
  n = CompressHTMLText(work.data(), work.size(), FOptions);
  work.resize(n);
  work.shrink_to_fit();
  FData.swap(work);
  FCompressedSize = static_cast<int>(n);
  FCompressed = true;
}

bool THTMLCompressor::SaveToFile(const String& FileName) {
  if (!FHasData) return false;
  size_t n = FCompressed ? static_cast<size_t>(FCompressedSize) : FData.size();
  // The page is replaced whole or stays as it was (a full disk, a read-only page).
  try {
    SaveBytesToFile(FileName, FData.data(), static_cast<int64_t>(n));
    return true;
  } catch (const std::exception&) {
    return false;
  }
}
