// The archive walk of the installer: it reads the zip archive behind the configuration block from
// the front, local header after local header, without the central directory. In list mode it puts
// the entry names into the entry list; in extract mode it extracts the selected entries (stored or
// deflated, traditional encryption with a password asked for), checks their CRC-32 and reports.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "entry_path.h"
#include "walk_host.h"

namespace vexel {

// Texts of the walk (code page 1252 at run time).
extern const char kCaptionError[];        // "Fehler :"
extern const char kTextCannotRead[];      // "Archiv kann nicht gelesen werden ."
extern const char kTextNameMissing[];     // "Filename fehlt ."
extern const char kTextNameTooLong[];
extern const char kTextNameUnsafe[];
extern const char kTextNameReserved[];
extern const char kTextDamaged[];
extern const char kTextNoSizes[];
extern const char kTextZip64[];           // "zip64 wird nicht unterstützt ..."
extern const char kTextWrongPassword[];
extern const char kTextUnknownMethod[];   // "Unbekannter Kompressionstyp ."
extern const char kCaptionFolderError[];  // "Fehler im Verzeichnis ."
extern const char kCaptionCannotOpen[];   // "File kann nicht geöffnet werden ."
extern const char kCaptionCannotClose[];  // "File kann nicht geschlossen werden ."
extern const char kCaptionCannotReplace[];
extern const char kTextNotExtracted[];    // "Das selektierte File kann nicht entpackt werden ."
extern const char kStatusNotExtracted[];  // "The selected file(s) couldn't get extracted"
extern const char kTextAllExtracted[];    // "Alle Files sind entpackt ."
extern const char kCaptionReady[];        // "Ready"
extern const char kStatusExtracting[];    // "Extracting: "
// Appended to the target path while an entry is being extracted.
extern const char kTemporarySuffix[];

// The password remembered between entries (and between walks of one program run).
struct PasswordStore {
  char text[257];
  size_t length;
  bool known;
};

struct WalkOptions {
  uint64_t zipOrigin;
  const char* targetFolder;  // without a trailing "\"
  PasswordStore* password;
  // A test of the archive without its password (the packer's): encrypted entries count as
  // extracted once their method is known; the others are decoded and checked as ever.
  bool skipEncrypted = false;
};

// List mode: empties the list and adds every entry name; returns true when the list is not empty.
// Extract mode: extracts the selected entries and returns true when all of them were extracted
// and no entry of the archive was refused for its name (the installer's all-extracted flag).
bool WalkArchive(WalkHost& host, const WalkOptions& options, bool listMode);

}  // namespace vexel
