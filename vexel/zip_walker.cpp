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
const char kTextNameReserved[] =
    "Der Filename ist unter Windows nicht erlaubt (ein Gerätename oder ein Punkt oder Leerzeichen am Ende) "
    "und wird übersprungen .";
const char kTextDamaged[] = "Das Archiv ist beschädigt .";
const char kTextNoSizes[] =
    "Das Archiv enthält Einträge ohne Größenangaben und kann nicht weiter gelesen werden .";
const char kTextZip64[] =
    "zip64 wird nicht unterstützt . Das Archiv muss ohne zip64 gepackt sein (Einträge unter 4 GB) .";
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
// Deflate gives at most 1032 bytes per byte of data: a copy of 258 bytes coded in two bits is the
// densest thing the format can say. An entry declaring more than that is damaged, and no entry
// writes more than it declares, so an archive fills the disk with no more than its headers say.
const uint64_t kDeflateMaxExpansion = 1032;

const uint16_t kZip64ExtraId = 0x0001;  // the extra field that carries zip64 sizes
const uint32_t kZip64Size = 0xFFFFFFFFu;  // a size field that says "see the zip64 extra field"

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

// The CRC-32 and the uncompressed size of an entry whose header leaves them 0 because they follow
// the data (general flag bit 3): the data descriptor at `position`, behind the data, with or without
// its signature. What the header holds stays; so does all of it when there is no descriptor.
void ReadDescriptor(WalkHost& host, uint64_t position, LocalHeader& h) {
  unsigned char b[16];
  if (!host.ArchiveSeek(position)) return;
  const size_t got = ReadFull(host, b, sizeof b);
  const unsigned char* d = got >= 4 && Le32(b) == Signature(kDescriptorHigh) ? b + 4 : b;
  const size_t have = got - (size_t)(d - b);  // CRC-32, compressed size, uncompressed size
  if (have >= 4 && h.crc == 0) h.crc = Le32(d);
  if (have >= 12 && h.uncompressedSize == 0) h.uncompressedSize = Le32(d + 8);
}

// True for an entry written as zip64: a size field of all ones with the zip64 extra field behind
// the name (whose blocks are read one after another, each an id and a length).
bool IsZip64Entry(WalkHost& host, const LocalHeader& h, uint64_t extraStart, uint64_t archiveEnd) {
  if (h.compressedSize != kZip64Size && h.uncompressedSize != kZip64Size) return false;
  uint64_t at = extraStart;
  const uint64_t end = extraStart + h.extraLength;
  while (at + 4 <= end && at + 4 <= archiveEnd) {
    unsigned char b[4];
    if (!host.ArchiveSeek(at) || ReadFull(host, b, sizeof b) != sizeof b) return false;
    if (Le16(b) == kZip64ExtraId) return true;
    at += 4 + Le16(b + 2);
  }
  return false;
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
  uint64_t writable;   // bytes the entry may still write: what it declares
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
  if (n > io.writable) {
    io.writeFailed = true;  // more data than the entry declares: a damaged entry or a bomb
    return 0;
  }
  io.writable -= n;
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

// A folder entry: the folder is made with its parents, and the entry counts as extracted.
EntryResult ExtractFolder(WalkHost& host, const WalkOptions& options, const char* name, int index) {
  char path[kPathBufferLength];
  if (!MakeTargetPath(options.targetFolder, name, path, sizeof path) || !CreateFolderTree(host, path)) {
    host.Message(path, kCaptionFolderError);
    return kEntryStopWalk;
  }
  host.ListDeselect(index);
  return kEntryDone;
}

// Reads the entry's encryption header and sets the keys: with the password remembered from an
// earlier entry, else with one the user gives (three tries), which is then remembered.
EntryResult StartDecryption(WalkHost& host, PasswordStore& pw, const LocalHeader& h, uint64_t dataStart,
                            uint32_t expectedCrc, ZipKeys& keys) {
  unsigned char header[kEncryptionHeaderLength];
  if (h.compressedSize < kEncryptionHeaderLength || !host.ArchiveSeek(dataStart) ||
      ReadFull(host, header, sizeof header) != sizeof header) {
    host.Message(kTextDamaged, kCaptionError);
    return kEntryFailed;
  }
  bool ok = pw.known && CheckPassword(header, h.flags, pw.text, pw.length, h.time, expectedCrc, keys);
  for (int tries = 0; !ok && tries < kPasswordTries; ++tries) {
    char answer[kPasswordAnswer];
    answer[0] = '\0';
    size_t length = host.AskPassword(answer, sizeof answer);
    if (length >= sizeof answer) length = sizeof answer - 1;
    answer[length] = '\0';
    ok = CheckPassword(header, h.flags, answer, length, h.time, expectedCrc, keys);
    if (ok) {
      memcpy(pw.text, answer, length + 1);
      pw.length = length;
      pw.known = true;
    }
  }
  return ok ? kEntryDone : kEntryWrongPassword;
}

enum TargetResult { kTargetWrite, kTargetLeaveAlone, kTargetBlocked, kTargetFolderFailed };

// Whether the entry is written to `path`: a folder of that name is in the way (the file cannot be
// opened, which is told before anything is decoded); an existing file may be left alone (by the
// overwrite mode or the user's answer); for a new file the folders on its path are made.
TargetResult PrepareTarget(WalkHost& host, const char* path) {
  if (host.FolderExists(path)) {
    host.Message(path, kCaptionCannotOpen);
    return kTargetBlocked;
  }
  if (host.FileExists(path)) {
    const int mode = host.OverwriteMode();
    return mode == 1 || (mode == 2 && !host.AskOverwrite(path)) ? kTargetLeaveAlone : kTargetWrite;
  }
  char folder[kPathBufferLength];
  memcpy(folder, path, strlen(path) + 1);
  char* cut = strrchr(folder, '\\');
  if (cut) *cut = '\0';
  if (cut && folder[0] && !CreateFolderTree(host, folder)) {
    host.Message(folder, kCaptionFolderError);
    return kTargetFolderFailed;
  }
  return kTargetWrite;
}

// Decodes the entry's data (stored or deflated) from `dataBegin` into the open output and
// computes its CRC-32 (without the final inversion).
bool DecodeData(WalkHost& host, EntryIo& io, uint16_t method, uint64_t dataBegin, uint32_t& crc) {
  if (!host.ArchiveSeek(dataBegin)) return false;
  if (method == 0) return CopyStored(io, crc);
  InflateIo inflateIo;
  inflateIo.context = &io;
  inflateIo.read = ReadEntryBytes;
  inflateIo.write = WriteEntryBytes;
  return InflateEntry(inflateIo, io.remaining, crc) && !io.writeFailed;
}

// The entry is written under a temporary name and put in place only when its CRC-32 is right,
// so that a damaged entry never replaces a good file.
EntryResult WriteEntry(WalkHost& host, EntryIo& io, uint16_t method, uint64_t dataBegin, uint32_t expectedCrc,
                       const char* path, int index) {
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
  const bool ok = DecodeData(host, io, method, dataBegin, crc);
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

// One selected entry: a folder is made; a file is decrypted if need be, checked for a method the
// walk knows, and written unless an existing file is to be left alone.
EntryResult ExtractEntry(WalkHost& host, const WalkOptions& options, const LocalHeader& h, const char* name,
                         uint64_t dataStart, int index) {
  if (IsFolderEntry(name, h.nameLength)) return ExtractFolder(host, options, name, index);
  char path[kPathBufferLength];
  if (!MakeTargetPath(options.targetFolder, name, path, sizeof path - sizeof kTemporarySuffix)) {
    Concat(path, sizeof path, options.targetFolder, "\\...");
    host.Message(path, kCaptionCannotOpen);
    return kEntryFailed;
  }

  EntryIo io;
  io.host = &host;
  io.out = 0;
  io.remaining = h.compressedSize;
  // A stored entry writes its data as it is, so the archive's length bounds it already.
  io.writable = h.method == 0 ? UINT64_MAX : h.uncompressedSize;
  io.encrypted = (h.flags & kFlagEncrypted) != 0;
  io.writeFailed = false;
  const uint32_t expectedCrc = h.crc;

  uint64_t dataBegin = dataStart;
  if (io.encrypted && options.skipEncrypted) {
    if (h.method != 0 && h.method != 8) {
      host.Message(kTextUnknownMethod, kCaptionError);
      return kEntryStopWalk;
    }
    host.ListDeselect(index);
    return kEntryDone;
  }
  if (io.encrypted) {
    const EntryResult r = StartDecryption(host, *options.password, h, dataStart, expectedCrc, io.keys);
    if (r != kEntryDone) return r;
    io.remaining -= kEncryptionHeaderLength;
    dataBegin += kEncryptionHeaderLength;
  }

  if (h.method != 0 && h.method != 8) {
    host.Message(kTextUnknownMethod, kCaptionError);
    return kEntryStopWalk;
  }

  switch (PrepareTarget(host, path)) {
    case kTargetLeaveAlone:
      host.ListDeselect(index);  // left alone: counts as done
      return kEntryDone;
    case kTargetBlocked:
      return kEntryFailed;  // stays selected; the walk goes on
    case kTargetFolderFailed:
      return kEntryStopWalk;
    case kTargetWrite:
      break;
  }
  return WriteEntry(host, io, h.method, dataBegin, expectedCrc, path, index);
}

// One entry of the walk: its header, where its data and the next header begin, and its name.
struct WalkEntry {
  LocalHeader h;
  uint64_t dataStart;
  uint64_t next;
  bool last;     // the next header cannot be found: the walk ends behind this entry
  bool refused;  // refused for its name: not listed, and the installation lacks it
  char name[kNameBufferLength];
};

// kEntryDamaged: an entry with a good name whose data cannot be extracted (cut off, without
// sizes, or declaring more than its data can hold). It is listed like any other, so that it stays
// selected when the walk extracts and the walk then reports that not every selected entry was
// extracted: a damaged entry that dropped out of the list would let a broken installation pass
// for a complete one, and start the program behind it.
enum EntryCheck { kEntryUse, kEntryDamaged, kEntrySkip, kEntryEndsWalk };

// A refused name, told in list mode: the name, then why it is skipped.
void ReportName(WalkHost& host, bool listMode, const char* name, const char* why) {
  if (!listMode) return;
  char text[kNameBufferLength + sizeof kTextNameReserved + 2];
  Concat(text, sizeof text, name, "\n");
  Concat(text, sizeof text, text, why);
  host.Message(text, kCaptionError);
}

// Checks the header just read at `position` and reads the entry's name. An entry whose name is
// refused is skipped (the walk goes on at the next header); a header without a readable name ends
// the walk; `reported` tells that a message about the archive itself has been shown. The messages
// of the archive and its entries are shown when the walk lists the archive, not again when it
// extracts.
EntryCheck CheckEntry(WalkHost& host, bool listMode, uint64_t position, uint64_t archiveEnd, HeaderResult r,
                      bool first, WalkEntry& e, bool& reported) {
  LocalHeader& h = e.h;
  const uint64_t nameEnd = position + kLocalHeaderLength + h.nameLength;
  e.dataStart = nameEnd + h.extraLength;
  e.next = e.dataStart + h.compressedSize;
  e.last = false;
  e.refused = false;
  // No zip archive where the archive should start (a foreign signature, a cut-off header): the
  // archive cannot be read, which the walk tells as for an empty one, in listing and on "Start".
  if (first && r == kHeaderDamaged) return kEntryEndsWalk;
  // A header that is cut off or unknown, or a name reaching past the end of the file.
  if (r == kHeaderDamaged || nameEnd > archiveEnd) {
    if (listMode) host.Message(kTextDamaged, kCaptionError);
    reported = true;
    return kEntryEndsWalk;
  }
  if (h.nameLength == 0) {
    host.Message(kTextNameMissing, kCaptionError);
    reported = true;
    return kEntryEndsWalk;
  }
  // Entry data reaching past the end of the file (a cut-off archive), or none at all: written to a
  // pipe, an archive has no sizes in its local headers. (A stored entry's size is known to the
  // writer beforehand and is there.) Either way the next header cannot be found.
  const bool zip64 = IsZip64Entry(host, h, nameEnd, archiveEnd);
  const bool cut = e.next > archiveEnd;
  const bool noSizes =
      (h.flags & kFlagDescriptor) && h.compressedSize == 0 && (h.method != 0 || h.uncompressedSize != 0);
  e.last = cut || noSizes || zip64;
  if (h.nameLength > kMaxNameLength) {
    e.refused = true;
    if (listMode) host.Message(kTextNameTooLong, kCaptionError);
    return e.last ? kEntryEndsWalk : kEntrySkip;
  }
  if (!host.ArchiveSeek(position + kLocalHeaderLength) || ReadFull(host, e.name, h.nameLength) != h.nameLength) {
    if (listMode) host.Message(kTextDamaged, kCaptionError);
    reported = true;
    return kEntryEndsWalk;
  }
  e.name[h.nameLength] = '\0';
  const EntryNameCheck name = CheckEntryName(e.name, h.nameLength);
  if (name != kNameSafe) {
    e.refused = true;
    ReportName(host, listMode, e.name, name == kNameEscapes ? kTextNameUnsafe : kTextNameReserved);
    return e.last ? kEntryEndsWalk : kEntrySkip;
  }
  if (e.last) {
    if (listMode) host.Message(zip64 ? kTextZip64 : cut ? kTextDamaged : kTextNoSizes, kCaptionError);
    reported = true;
    return kEntryDamaged;
  }
  if (h.flags & kFlagDescriptor) ReadDescriptor(host, e.next, h);
  // More than deflate can make of the entry's data: no entry of a sound archive.
  if (h.method == 8 && h.uncompressedSize > (uint64_t)h.compressedSize * kDeflateMaxExpansion) {
    if (listMode) host.Message(kTextDamaged, kCaptionError);
    reported = true;
    return kEntryDamaged;
  }
  return kEntryUse;
}

// Extract mode: the entry is extracted when the list holds it selected; a damaged one fails and
// stays selected. `index` is the list item found last, where the search for the next name begins.
EntryResult ExtractIfSelected(WalkHost& host, const WalkOptions& options, const WalkEntry& e, bool damaged,
                              int& index) {
  const int found = host.ListFind(index, e.name);
  if (found < 0) return kEntryDone;
  index = found;
  if (!host.ListSelected(found)) return kEntryDone;
  if (damaged) return kEntryFailed;
  return ExtractEntry(host, options, e.h, e.name, e.dataStart, found);
}

// The end of a walk in list mode: true when the list holds an entry; an archive without one that
// was not reported already is reported as unreadable.
bool FinishList(WalkHost& host, bool reported) {
  const bool any = host.ListCount() > 0;
  if (!any && !reported) host.Message(kTextCannotRead, kCaptionError);
  return any;
}

// The end of a walk in extract mode: true, with the report of success, when no selected entry is
// left and no entry was refused for its name (the installation would lack it: no report of
// success, and so no program started). The status line is set before the report: setting it
// lets one pending window message through, and once the report is closed the user's next click
// must reach the dialog, which ignores clicks while the walk runs.
bool FinishExtract(WalkHost& host, bool refused) {
  if (host.ListSelCount() != 0 || refused) {
    host.Status(kStatusNotExtracted);
    host.Message(kTextNotExtracted, kCaptionError);
    return false;
  }
  host.Message(kTextAllExtracted, kCaptionReady);
  return true;
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
  bool refused = false;   // an entry was refused for its name
  WalkEntry e;
  for (;;) {
    e.h = LocalHeader();
    const HeaderResult r = ReadLocalHeader(host, position, e.h);
    if (r == kHeaderEnd) break;
    const EntryCheck check =
        CheckEntry(host, listMode, position, archiveEnd, r, position == options.zipOrigin, e, reported);
    refused = refused || e.refused;
    if (check == kEntryEndsWalk) break;
    if (check != kEntrySkip) {
      if (listMode) {
        host.ListAdd(e.name);
      } else {
        const EntryResult result = ExtractIfSelected(host, options, e, check == kEntryDamaged, index);
        if (result == kEntryWrongPassword) {
          host.Status(kStatusNotExtracted);  // before the report, as in FinishExtract
          host.Message(kTextWrongPassword, kCaptionError);
          return false;
        }
        if (result == kEntryStopWalk) break;
      }
    }
    if (e.last) break;
    position = e.next;
  }
  return listMode ? FinishList(host, reported) : FinishExtract(host, refused);
}

}  // namespace vexel
