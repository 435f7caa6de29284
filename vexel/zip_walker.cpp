#include "zip_walker.h"

#include <string.h>

#include "crc32.h"
#include "inflate.h"
#include "zip_crypt.h"

namespace vexel {

const char kCaptionError[] = "Fehler :";
const char kTextCannotRead[] = "Archiv kann nicht gelesen werden .";
const char kTextNameMissing[] = "Filename fehlt .";
const char kTextNameTooLong[] = "Ein Filename im Archiv ist länger als 257 Zeichen und wird übersprungen .";
const char kTextNameUnsafe[] = "Der Filename führt aus dem Zielverzeichnis heraus und wird übersprungen .";
const char kTextDamaged[] = "Das Archiv ist beschädigt .";
const char kTextNoSizes[] =
    "Das Archiv enthält Einträge ohne Größenangaben und kann nicht weiter gelesen werden .";
const char kTextWrongPassword[] = "Das Passwort ist falsch . Das Entpacken wird abgebrochen .";
const char kTextUnknownMethod[] = "Unbekannter Kompressionstyp .";
const char kCaptionFolderError[] = "Fehler im Verzeichnis .";
const char kCaptionCannotOpen[] = "File kann nicht geöffnet werden .";
const char kCaptionCannotClose[] = "File kann nicht geschlossen werden .";
const char kCaptionCannotReplace[] = "File kann nicht ersetzt werden .";
const char kTextNotExtracted[] = "Das selektierte File kann nicht entpackt werden .";
const char kStatusNotExtracted[] = "The selected file(s) couldn't get extracted";
const char kTextAllExtracted[] = "Alle Files sind entpackt .";
const char kCaptionReady[] = "Ready";
const char kStatusExtracting[] = "Extracting: ";
const char kTemporarySuffix[] = ".vx~";

namespace {

const size_t kLocalHeaderLength = 30;
const size_t kDescriptorLength = 16;  // signature, CRC-32, compressed and uncompressed size
const size_t kCopyPiece = 0x8000;     // stored entries are copied in pieces of this size
const int kPasswordTries = 3;
const size_t kPasswordAnswer = 81;    // the password dialog reads at most 80 characters

const uint16_t kFlagEncrypted = 0x0001;
const uint16_t kFlagDescriptor = 0x0008;  // sizes and CRC follow the data; check byte from the time

// Signatures are put together at run time, so that the program image itself never holds the
// four bytes of a local header, which tools searching a file for zip headers would find.
volatile uint16_t gSignatureLow = 0x4B50;  // "PK"
uint32_t Signature(uint16_t high) { return (uint32_t)gSignatureLow | ((uint32_t)high << 16); }
const uint16_t kLocalHigh = 0x0403, kDescriptorHigh = 0x0807, kCentralHigh = 0x0201, kEndHigh = 0x0605,
               kEnd64High = 0x0606, kLocator64High = 0x0706, kExtraDataHigh = 0x0806, kSignatureHigh = 0x0505;

uint16_t Le16(const unsigned char* p) { return (uint16_t)(p[0] | (p[1] << 8)); }
uint32_t Le32(const unsigned char* p) {
  return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

size_t ReadFull(WalkHost& host, void* buf, size_t n) {
  size_t got = 0;
  while (got < n) {
    const size_t r = host.ArchiveRead((unsigned char*)buf + got, n - got);
    if (r == 0) break;
    got += r;
  }
  return got;
}

struct LocalHeader {
  uint16_t flags, method, time, nameLength, extraLength;
  uint32_t crc, compressedSize, uncompressedSize;
};

enum HeaderResult { kHeaderOk, kHeaderEnd, kHeaderDamaged };

// Reads the local header at position; data descriptors found there are stepped over (position
// then points at the header found).
HeaderResult ReadLocalHeader(WalkHost& host, uint64_t& position, LocalHeader& h) {
  for (;;) {
    if (!host.ArchiveSeek(position)) return kHeaderEnd;
    unsigned char b[kLocalHeaderLength];
    const size_t got = ReadFull(host, b, sizeof b);
    if (got == 0) return kHeaderEnd;
    if (got < 4) return kHeaderDamaged;
    const uint32_t sig = Le32(b);
    if (sig == Signature(kDescriptorHigh)) {
      position += kDescriptorLength;
      continue;
    }
    if (sig == Signature(kLocalHigh)) {
      if (got < kLocalHeaderLength) return kHeaderDamaged;
      h.flags = Le16(b + 6);
      h.method = Le16(b + 8);
      h.time = Le16(b + 10);
      h.crc = Le32(b + 14);
      h.compressedSize = Le32(b + 18);
      h.uncompressedSize = Le32(b + 22);
      h.nameLength = Le16(b + 26);
      h.extraLength = Le16(b + 28);
      return kHeaderOk;
    }
    // The central directory and the records behind it end the walk; so does the dword
    // 0x50000000, which older writers leave in the signature place.
    if (sig == 0x50000000u || sig == Signature(kCentralHigh) || sig == Signature(kEndHigh) ||
        sig == Signature(kEnd64High) || sig == Signature(kLocator64High) || sig == Signature(kExtraDataHigh) ||
        sig == Signature(kSignatureHigh))
      return kHeaderEnd;
    return kHeaderDamaged;
  }
}

// The CRC-32 of an entry whose header leaves it 0 because it follows the data (general flag bit 3):
// the data descriptor behind the data, with or without its signature.
uint32_t DescriptorCrc(WalkHost& host, uint64_t position, uint32_t fallback) {
  unsigned char b[8];
  if (!host.ArchiveSeek(position) || ReadFull(host, b, sizeof b) != sizeof b) return fallback;
  return Le32(b) == Signature(kDescriptorHigh) ? Le32(b + 4) : Le32(b);
}

void Concat(char* out, size_t size, const char* a, const char* b) {
  size_t n = 0;
  for (const char* p = a; *p && n + 1 < size; ++p) out[n++] = *p;
  for (const char* p = b; *p && n + 1 < size; ++p) out[n++] = *p;
  out[n] = '\0';
}

// Input and output of one entry's data.
struct EntryIo {
  WalkHost* host;
  void* out;
  uint32_t remaining;  // compressed bytes not yet read
  bool encrypted;
  ZipKeys keys;
  bool writeFailed;
};

size_t ReadEntryBytes(void* context, unsigned char* buf, size_t max) {
  EntryIo& io = *(EntryIo*)context;
  size_t n = max < io.remaining ? max : io.remaining;
  n = ReadFull(*io.host, buf, n);
  io.remaining -= (uint32_t)n;
  if (io.encrypted) DecryptBuffer(io.keys, buf, n);
  return n;
}

int WriteEntryBytes(void* context, const unsigned char* buf, size_t n) {
  EntryIo& io = *(EntryIo*)context;
  if (io.writeFailed) return 0;
  if (n && !io.host->WriteOutput(io.out, buf, n)) io.writeFailed = true;
  return !io.writeFailed;
}

bool CopyStored(EntryIo& io, uint32_t& crc) {
  unsigned char piece[kCopyPiece];
  while (io.remaining > 0) {
    const size_t want = io.remaining < kCopyPiece ? io.remaining : kCopyPiece;
    const size_t got = ReadEntryBytes(&io, piece, want);
    if (got == 0) return false;  // the archive ends inside the entry
    if (!WriteEntryBytes(&io, piece, got)) return false;
    crc = UpdateCrc(piece, got, crc);
  }
  return true;
}

enum EntryResult { kEntryDone, kEntryFailed, kEntryStopWalk, kEntryWrongPassword };

EntryResult ExtractEntry(WalkHost& host, const WalkOptions& options, const LocalHeader& h, const char* name,
                         uint64_t dataStart, int index) {
  char path[kPathBufferLength];
  if (IsFolderEntry(name, h.nameLength)) {
    if (!MakeTargetPath(options.targetFolder, name, path, sizeof path) || !CreateFolderTree(host, path)) {
      host.Message(path, kCaptionFolderError);
      return kEntryStopWalk;
    }
    host.ListDeselect(index);
    return kEntryDone;
  }
  if (!MakeTargetPath(options.targetFolder, name, path, sizeof path - sizeof kTemporarySuffix)) {
    Concat(path, sizeof path, options.targetFolder, "\\...");
    host.Message(path, kCaptionCannotOpen);
    return kEntryFailed;
  }

  EntryIo io;
  io.host = &host;
  io.out = 0;
  io.remaining = h.compressedSize;
  io.encrypted = (h.flags & kFlagEncrypted) != 0;
  io.writeFailed = false;
  uint32_t expectedCrc = h.crc;
  if ((h.flags & kFlagDescriptor) && expectedCrc == 0)
    expectedCrc = DescriptorCrc(host, dataStart + h.compressedSize, expectedCrc);

  uint64_t dataBegin = dataStart;
  if (io.encrypted) {
    unsigned char header[kEncryptionHeaderLength];
    if (h.compressedSize < kEncryptionHeaderLength || !host.ArchiveSeek(dataStart) ||
        ReadFull(host, header, sizeof header) != sizeof header) {
      host.Message(kTextDamaged, kCaptionError);
      return kEntryFailed;
    }
    PasswordStore& pw = *options.password;
    bool ok = pw.known && CheckPassword(header, h.flags, pw.text, pw.length, h.time, expectedCrc, io.keys);
    for (int tries = 0; !ok && tries < kPasswordTries; ++tries) {
      char answer[kPasswordAnswer];
      answer[0] = '\0';
      size_t length = host.AskPassword(answer, sizeof answer);
      if (length >= sizeof answer) length = sizeof answer - 1;
      answer[length] = '\0';
      ok = CheckPassword(header, h.flags, answer, length, h.time, expectedCrc, io.keys);
      if (ok) {
        memcpy(pw.text, answer, length + 1);
        pw.length = length;
        pw.known = true;
      }
    }
    if (!ok) return kEntryWrongPassword;
    io.remaining -= kEncryptionHeaderLength;
    dataBegin += kEncryptionHeaderLength;
  }

  if (h.method != 0 && h.method != 8) {
    host.Message(kTextUnknownMethod, kCaptionError);
    return kEntryStopWalk;
  }

  if (host.FileExists(path)) {
    const int mode = host.OverwriteMode();
    if (mode == 1 || (mode == 2 && !host.AskOverwrite(path))) {
      host.ListDeselect(index);  // left alone: counts as done
      return kEntryDone;
    }
  } else {
    char folder[kPathBufferLength];
    memcpy(folder, path, strlen(path) + 1);
    char* cut = strrchr(folder, '\\');
    if (cut) *cut = '\0';
    if (cut && folder[0] && !CreateFolderTree(host, folder)) {
      host.Message(folder, kCaptionFolderError);
      return kEntryStopWalk;
    }
  }

  // The entry is written under a temporary name and put in place only when its CRC-32 is right,
  // so that a damaged entry never replaces a good file.
  char temporary[kPathBufferLength];
  Concat(temporary, sizeof temporary, path, kTemporarySuffix);
  io.out = host.CreateOutput(temporary);
  if (!io.out) {
    host.Message(path, kCaptionCannotOpen);
    return kEntryFailed;
  }
  char status[kPathBufferLength + 16];
  Concat(status, sizeof status, kStatusExtracting, path);
  host.Status(status);

  uint32_t crc = 0xFFFFFFFFu;
  bool ok = host.ArchiveSeek(dataBegin);
  if (ok) {
    if (h.method == 0) {
      ok = CopyStored(io, crc);
    } else {
      InflateIo inflateIo;
      inflateIo.context = &io;
      inflateIo.read = ReadEntryBytes;
      inflateIo.write = WriteEntryBytes;
      ok = InflateEntry(inflateIo, io.remaining, crc) && !io.writeFailed;
    }
  }
  const bool closed = host.CloseOutput(io.out);
  if (!closed) host.Message(path, kCaptionCannotClose);
  if (ok && closed && ~crc == expectedCrc) {
    if (host.ReplaceFile(temporary, path)) {
      host.ListDeselect(index);
      return kEntryDone;
    }
    host.Message(path, kCaptionCannotReplace);
  }
  host.RemoveFile(temporary);
  return kEntryFailed;
}

}  // namespace

bool WalkArchive(WalkHost& host, const WalkOptions& options, bool listMode) {
  if (!host.ArchiveOpen()) {
    host.Message(kTextCannotRead, kCaptionError);
    return false;
  }
  if (listMode) host.ListReset();
  const uint64_t archiveEnd = host.ArchiveSize();
  uint64_t position = options.zipOrigin;
  int index = -1;
  bool reported = false;  // a message about the archive itself has been shown
  char name[kNameBufferLength];
  for (;;) {
    LocalHeader h = LocalHeader();
    const HeaderResult r = ReadLocalHeader(host, position, h);
    if (r == kHeaderEnd) break;
    const uint64_t dataStart = position + kLocalHeaderLength + h.nameLength + h.extraLength;
    const uint64_t next = dataStart + h.compressedSize;
    // A header that is cut off or unknown, or entry data reaching past the end of the file.
    if (r == kHeaderDamaged || next > archiveEnd) {
      if (listMode) host.Message(kTextDamaged, kCaptionError);
      reported = true;
      break;
    }
    // Written to a pipe, an archive has no sizes in its local headers: the next header cannot be
    // found. (A stored entry's size is known to the writer beforehand and is there.)
    if ((h.flags & kFlagDescriptor) && h.compressedSize == 0 && (h.method != 0 || h.uncompressedSize != 0)) {
      if (listMode) host.Message(kTextNoSizes, kCaptionError);
      reported = true;
      break;
    }
    if (h.nameLength == 0) {
      host.Message(kTextNameMissing, kCaptionError);
      reported = true;
      break;
    }
    if (h.nameLength > kMaxNameLength) {
      if (listMode) host.Message(kTextNameTooLong, kCaptionError);
      position = next;
      continue;
    }
    if (!host.ArchiveSeek(position + kLocalHeaderLength) || ReadFull(host, name, h.nameLength) != h.nameLength) {
      if (listMode) host.Message(kTextDamaged, kCaptionError);
      reported = true;
      break;
    }
    name[h.nameLength] = '\0';
    if (!IsSafeEntryName(name, h.nameLength)) {
      if (listMode) {
        char text[kNameBufferLength + sizeof kTextNameUnsafe + 2];
        Concat(text, sizeof text, name, "\n");
        Concat(text, sizeof text, text, kTextNameUnsafe);
        host.Message(text, kCaptionError);
      }
      position = next;
      continue;
    }
    if (listMode) {
      host.ListAdd(name);
      position = next;
      continue;
    }
    const int found = host.ListFind(index, name);
    if (found >= 0) {
      index = found;
      if (host.ListSelected(found)) {
        const EntryResult e = ExtractEntry(host, options, h, name, dataStart, found);
        if (e == kEntryWrongPassword) {
          host.Message(kTextWrongPassword, kCaptionError);
          host.Status(kStatusNotExtracted);
          return false;
        }
        if (e == kEntryStopWalk) break;
      }
    }
    position = next;
  }

  if (listMode) {
    const bool any = host.ListCount() > 0;
    if (!any && !reported) host.Message(kTextCannotRead, kCaptionError);
    return any;
  }
  if (host.ListSelCount() != 0) {
    host.Message(kTextNotExtracted, kCaptionError);
    host.Status(kStatusNotExtracted);
    return false;
  }
  host.Message(kTextAllExtracted, kCaptionReady);
  return true;
}

}  // namespace vexel
