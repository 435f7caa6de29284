#include "streams.h"

#include <cstring>

#include "savefile_platform.h"

int64_t TStream::Size() {
  int64_t pos = Seek(0, soFromCurrent);
  int64_t size = Seek(0, soFromEnd);
  Seek(pos, soFromBeginning);
  return size;
}

void TStream::SetSize(int64_t) { throw EStreamError("Die Größe dieses Streams kann nicht geändert werden"); }

void TStream::ReadBuffer(void* Buffer, int64_t Count) {
  if (Count != 0 && Read(Buffer, Count) != Count) throw EReadError("Stream-Lesefehler");
}

void TStream::WriteBuffer(const void* Buffer, int64_t Count) {
  if (Count != 0 && Write(Buffer, Count) != Count) throw EWriteError("Stream-Schreibfehler");
}

int64_t TStream::CopyFrom(TStream& Source, int64_t Count) {
  if (Count == 0) {
    Source.SetPosition(0);
    Count = Source.Size();
  }
  int64_t total = Count;
  char buf[65536];
  while (Count > 0) {
    int64_t n = Count < int64_t(sizeof buf) ? Count : int64_t(sizeof buf);
    Source.ReadBuffer(buf, n);
    WriteBuffer(buf, n);
    Count -= n;
  }
  return total;
}

int64_t TMemoryStream::Read(void* Buffer, int64_t Count) {
  if (Count <= 0 || FPosition >= Size()) return 0;
  int64_t n = Size() - FPosition;
  if (n > Count) n = Count;
  std::memcpy(Buffer, FData.data() + FPosition, static_cast<size_t>(n));
  FPosition += n;
  return n;
}

int64_t TMemoryStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  if (FPosition + Count > Size()) FData.resize(static_cast<size_t>(FPosition + Count));
  std::memcpy(FData.data() + FPosition, Buffer, static_cast<size_t>(Count));
  FPosition += Count;
  return Count;
}

int64_t TMemoryStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  int64_t base = Origin == soFromBeginning ? 0 : Origin == soFromCurrent ? FPosition : Size();
  int64_t pos = base + Offset;
  if (pos < 0) pos = 0;
  FPosition = pos;
  return FPosition;
}

void TMemoryStream::SetSize(int64_t NewSize) {
  FData.resize(static_cast<size_t>(NewSize < 0 ? 0 : NewSize));
  if (FPosition > Size()) FPosition = Size();
}

void TMemoryStream::Clear() {
  FData.clear();
  FPosition = 0;
}

void TMemoryStream::LoadFromStream(TStream& Stream) {
  Stream.SetPosition(0);
  int64_t n = Stream.Size();
  SetSize(n);
  if (n) Stream.ReadBuffer(FData.data(), n);
  FPosition = 0;
}

void TMemoryStream::LoadFromFile(const String& FileName) {
  TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
  LoadFromStream(f);
}

void TMemoryStream::SaveToStream(TStream& Stream) {
  if (!FData.empty()) Stream.WriteBuffer(FData.data(), Size());
}

void TMemoryStream::SaveToFile(const String& FileName) { SaveBytesToFile(FileName, FData.data(), Size()); }

THandleStream::~THandleStream() {
  if (FFile) std::fclose(FFile);
}

int64_t THandleStream::Read(void* Buffer, int64_t Count) {
  if (Count <= 0 || !FFile) return 0;
  return static_cast<int64_t>(std::fread(Buffer, 1, static_cast<size_t>(Count), FFile));
}

int64_t THandleStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0 || !FFile) return 0;
  return static_cast<int64_t>(std::fwrite(Buffer, 1, static_cast<size_t>(Count), FFile));
}

int64_t THandleStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  if (!FFile) return -1;
  int whence = Origin == soFromBeginning ? SEEK_SET : Origin == soFromCurrent ? SEEK_CUR : SEEK_END;
  if (std::fseek(FFile, static_cast<long>(Offset), whence) != 0) return -1;
  return static_cast<int64_t>(std::ftell(FFile));
}

TFileStream::TFileStream(const String& FileName, uint16_t Mode) : THandleStream(FileName) {
  if (Mode == fmCreate) {
    FFile = std::fopen(FileName.c_str(), "w+b");
    if (!FFile) throw EFCreateError("Datei " + FileName + " kann nicht erstellt werden");
    return;
  }
  const char* how = (Mode & 3) == fmOpenRead ? "rb" : "r+b";
  FFile = std::fopen(FileName.c_str(), how);
  if (!FFile) throw EFOpenError("Datei " + FileName + " kann nicht geöffnet werden");
}

TSaveFileStream::TSaveFileStream(const String& FileName) : THandleStream(FileName) {
  if (!FileName.empty() && !IsReplaceableFile(FileName))
    throw EFCreateError("Datei " + FileName + " ist ein Gerät oder Ordner und kann nicht ersetzt werden");
  if (!FileName.empty()) FFile = CreateTemporaryBeside(FileName, FTempName);
  if (!FFile) throw EFCreateError("Datei " + FileName + " kann nicht erstellt werden");
}

TSaveFileStream::~TSaveFileStream() {
  // The temporary is closed before it is removed (Windows removes no open file).
  if (!FFile) return;
  std::fclose(FFile);
  FFile = nullptr;
  RemoveTemporary(FTempName);
}

void TSaveFileStream::Fail() {
  if (FFile) std::fclose(FFile);
  FFile = nullptr;
  RemoveTemporary(FTempName);
  throw EWriteError("Datei " + FFileName + " kann nicht geschrieben werden (Datenträger voll?)");
}

int64_t TSaveFileStream::Write(const void* Buffer, int64_t Count) {
  if (Count <= 0) return 0;
  if (THandleStream::Write(Buffer, Count) != Count) Fail();
  return Count;
}

void TSaveFileStream::Commit() {
  if (!FFile) Fail();
  // A buffered write that fails shows only here, when the buffer reaches the disk.
  bool written = std::fflush(FFile) == 0 && FlushToDisk(FFile);
  written = std::fclose(FFile) == 0 && written;
  FFile = nullptr;
  if (!written) Fail();
  if (!ReplaceFileWith(FTempName, FFileName)) {
    RemoveTemporary(FTempName);
    throw EFCreateError("Datei " + FFileName +
                        " ist schreibgeschützt oder wird von einem anderen Programm verwendet und kann nicht ersetzt werden");
  }
}

void SaveBytesToFile(const String& FileName, const void* Data, int64_t Size) {
  TSaveFileStream f(FileName);
  f.WriteBuffer(Data, Size);
  f.Commit();
}
