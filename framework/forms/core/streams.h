// Streams of the component library: the abstract TStream, TMemoryStream, and over the C
// runtime's files (which take code page 1252 names on Windows) THandleStream with its two kinds:
// TFileStream and TSaveFileStream, through which every file that is written whole is saved.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "classes.h"

enum TSeekOrigin { soFromBeginning = 0, soFromCurrent = 1, soFromEnd = 2 };

// File stream modes (the share flags are accepted and not enforced).
enum : uint16_t {
  fmOpenRead = 0x0000,
  fmOpenWrite = 0x0001,
  fmOpenReadWrite = 0x0002,
  fmShareCompat = 0x0000,
  fmShareExclusive = 0x0010,
  fmShareDenyWrite = 0x0020,
  fmShareDenyRead = 0x0030,
  fmShareDenyNone = 0x0040,
  fmCreate = 0xFFFF,
};

class TStream : public TObject {
public:
  const char* ClassName() const override { return "TStream"; }
  // Read and Write move up to Count bytes and return how many they moved.
  virtual int64_t Read(void* Buffer, int64_t Count) = 0;
  virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
  virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

  int64_t Position() { return Seek(0, soFromCurrent); }
  void SetPosition(int64_t Pos) { Seek(Pos, soFromBeginning); }
  virtual int64_t Size();
  virtual void SetSize(int64_t NewSize);

  // All or an exception: EReadError "Stream-Lesefehler", EWriteError "Stream-Schreibfehler".
  void ReadBuffer(void* Buffer, int64_t Count);
  void WriteBuffer(const void* Buffer, int64_t Count);
  // Copies Count bytes from Source's position; Count 0 copies all of Source from its start.
  int64_t CopyFrom(TStream& Source, int64_t Count);
};

class TMemoryStream : public TStream {
public:
  const char* ClassName() const override { return "TMemoryStream"; }
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  int64_t Size() override { return static_cast<int64_t>(FData.size()); }
  void SetSize(int64_t NewSize) override;

  void Clear();
  char* Memory() { return FData.data(); }
  const char* Memory() const { return FData.data(); }
  void LoadFromStream(TStream& Stream);
  void LoadFromFile(const String& FileName);
  void SaveToStream(TStream& Stream);
  void SaveToFile(const String& FileName);

private:
  std::vector<char> FData;
  int64_t FPosition = 0;
};

// The C runtime file under TFileStream and TSaveFileStream: reading, writing and seeking go
// straight to it. After its file is closed a stream reads and writes nothing and seeks to -1.
class THandleStream : public TStream {
public:
  ~THandleStream() override;
  THandleStream(const THandleStream&) = delete;
  THandleStream& operator=(const THandleStream&) = delete;
  const char* ClassName() const override { return "THandleStream"; }
  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  const String& FileName() const { return FFileName; }

protected:
  explicit THandleStream(const String& FileName) : FFileName(FileName) {}
  std::FILE* FFile = nullptr;
  String FFileName;
};

class TFileStream : public THandleStream {
public:
  // fmCreate creates or empties the file (EFCreateError "Datei <Name> kann nicht erstellt
  // werden"; a file written whole goes through TSaveFileStream instead); the other modes open an
  // existing one (EFOpenError "Datei <Name> kann nicht geöffnet werden").
  TFileStream(const String& FileName, uint16_t Mode);
  const char* ClassName() const override { return "TFileStream"; }
};

// A file written whole or not at all. The bytes go to a temporary file beside FileName, named
// after it ("~<name>.tmp"), so that a save cut off by the end of the program leaves one such file,
// which the next save of FileName reuses; every write is checked, and Commit flushes the temporary
// to the disk, closes it (checked as well) and puts it in FileName's place in one step. A stream
// destroyed without a successful Commit removes its temporary: FileName then is exactly what it
// was before.
//   EFCreateError "Datei <Name> ist ein Gerät oder Ordner und kann nicht ersetzt werden" - FileName
//     exists and is no regular file;
//   EFCreateError "Datei <Name> kann nicht erstellt werden"  - no temporary beside it;
//   EWriteError "Datei <Name> kann nicht geschrieben werden (Datenträger voll?)" - a write, the
//     flush or the close failed;
//   EFCreateError "Datei <Name> ist schreibgeschützt oder wird von einem anderen Programm
//     verwendet und kann nicht ersetzt werden" - the replacing step failed.
class TSaveFileStream : public THandleStream {
public:
  explicit TSaveFileStream(const String& FileName);
  ~TSaveFileStream() override;
  const char* ClassName() const override { return "TSaveFileStream"; }
  // Throws the write error above when the file takes less than given.
  int64_t Write(const void* Buffer, int64_t Count) override;
  void Commit();

private:
  [[noreturn]] void Fail();
  String FTempName;
};

// Writes Size bytes as the whole new content of FileName through a TSaveFileStream.
void SaveBytesToFile(const String& FileName, const void* Data, int64_t Size);
