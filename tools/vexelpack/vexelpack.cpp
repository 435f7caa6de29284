// vexelpack: makes an installer from the installer program, a configuration and a zip archive.
// The program image is padded to exactly 38400 bytes, the 256-byte configuration block follows
// and then the archive.
//
// usage: vexelpack --program Vexel.exe --zip archive.zip --out Setup.exe
//                  [--title TEXT] [--folder FOLDER] [--run COMMAND] [--flags N] [--no-block]
//   --flags      the flags byte (decimal or 0x..): bit 0 offer "Programm starten ?", bit 1 the
//                selectable entry list, bit 2 no overwrite controls, bits 3-4 the overwrite rule
//                (1 overwrite, 2 leave alone, 0 or 3 ask); default 0x03
//   --folder     "><" stands for the temporary folder of the machine that installs
//   --run        program and parameters separated by "|"; "><" stands for the target folder
//   --no-block   no configuration block (defaults; the archive directly behind the image)
// Texts are taken as bytes of code page 1252 (give UTF-8 with --utf8 to have them converted).
//
// The archive is listed first by the installer's own walk, as the installer will list it on the
// user's machine: whatever the walk would tell the user there (an archive it cannot read, entries
// without sizes, a damaged entry, a name it refuses, zip64) refuses the archive here, with the same
// text. Then the walk extracts every entry into nothing, as "Start" would: an entry of a method the
// installer does not know, or whose data its inflate refuses or whose CRC-32 is wrong, refuses the
// archive as well, with the installer's text and the entry's name. Encrypted entries are checked
// for their method only (the packer has no password).
// The program must be the bare installer program: a Windows program ("MZ" and a PE header, whose
// sections end where the file ends); an installer that already carries an archive is refused.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <strings.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "config_block.h"
#include "walk_host.h"
#include "zip_walker.h"

namespace {

// The bare program as the Windows build leaves it (make_dist.cmake packs that one).
const char kBareProgram[] = "build/win32/vexel/Vexel.exe";

bool ReadAll(const char* path, std::vector<unsigned char>& out) {
  FILE* f = fopen(path, "rb");
  if (!f) return false;
  unsigned char buf[65536];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
  const bool ok = !ferror(f);
  fclose(f);
  return ok;
}

// UTF-8 to code page 1252 for the characters the installer's texts use (Latin-1 and the euro).
bool Utf8ToCp1252(const std::string& in, std::string& out) {
  out.clear();
  for (size_t i = 0; i < in.size();) {
    const unsigned char c = (unsigned char)in[i];
    if (c < 0x80) {
      out += (char)c;
      ++i;
    } else if ((c & 0xE0) == 0xC0 && i + 1 < in.size()) {
      const unsigned cp = ((c & 0x1Fu) << 6) | ((unsigned char)in[i + 1] & 0x3Fu);
      if (cp < 0xA0 || cp > 0xFF) return false;
      out += (char)cp;
      i += 2;
    } else if (c == 0xE2 && i + 2 < in.size() && (unsigned char)in[i + 1] == 0x82 && (unsigned char)in[i + 2] == 0xAC) {
      out += (char)0x80;
      i += 3;
    } else {
      return false;
    }
  }
  return true;
}

// Code page 1252 (the walk's texts and the entry names) to UTF-8 for the terminal.
std::string Cp1252ToUtf8(const std::string& in) {
  // 0x80..0x9F; 0 where the code page has no character (the byte is shown as U+FFFD).
  static const unsigned short kHigh[32] = {
      0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  std::string out;
  for (unsigned char c : in) {
    unsigned cp = c;
    if (c >= 0x80 && c < 0xA0) cp = kHigh[c - 0x80] ? kHigh[c - 0x80] : 0xFFFD;
    if (cp < 0x80) {
      out += (char)cp;
    } else if (cp < 0x800) {
      out += (char)(0xC0 | (cp >> 6));
      out += (char)(0x80 | (cp & 0x3F));
    } else {
      out += (char)(0xE0 | (cp >> 12));
      out += (char)(0x80 | ((cp >> 6) & 0x3F));
      out += (char)(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

// The archive in memory as the walk reads the installer's file; the entry list and the messages
// for the user are recorded.
class ListingHost : public vexel::WalkHost {
 public:
  explicit ListingHost(const std::vector<unsigned char>& archive) : archive_(archive) {}

  bool ArchiveOpen() override { return true; }
  uint64_t ArchiveSize() override { return archive_.size(); }
  bool ArchiveSeek(uint64_t position) override {
    position_ = position;
    return true;
  }
  size_t ArchiveRead(void* buf, size_t n) override {
    if (position_ >= archive_.size()) return 0;
    const size_t left = (size_t)(archive_.size() - position_);
    const size_t got = n < left ? n : left;
    memcpy(buf, archive_.data() + position_, got);
    position_ += got;
    return got;
  }
  // The list: every entry name, all selected, as the installer selects them before "Start".
  void ListReset() override { names.clear(), selected.clear(); }
  void ListAdd(const char* name) override { names.push_back(name), selected.push_back(true); }
  int ListCount() override { return (int)names.size(); }
  int ListFind(int after, const char* name) override {
    const int n = (int)names.size();
    for (int k = 1; k <= n; ++k) {
      const int i = (after + k + n) % n;
      if (strcasecmp(names[i].c_str(), name) == 0) return i;
    }
    return -1;
  }
  bool ListSelected(int index) override { return selected[index]; }
  void ListDeselect(int index) override { selected[index] = false; }
  int ListSelCount() override {
    int n = 0;
    for (bool s : selected) n += s;
    return n;
  }
  void Message(const char* text, const char* caption) override { messages.push_back(text); }

  // Extracting into nothing: no file exists, every folder can be made (and then exists), output
  // is dropped.
  int OverwriteMode() override { return 0; }
  bool FolderExists(const char* path) override { return folders_.count(path) != 0; }
  bool CreateFolder(const char* path) override { return folders_.insert(path).second; }
  void* CreateOutput(const char* path) override { return this; }
  bool WriteOutput(void* file, const unsigned char* buf, size_t n) override { return true; }
  bool CloseOutput(void* file) override { return true; }
  bool ReplaceFile(const char* from, const char* to) override { return true; }

  std::vector<std::string> messages;
  std::vector<std::string> names;
  std::vector<bool> selected;

 private:
  const std::vector<unsigned char>& archive_;
  uint64_t position_ = 0;
  std::set<std::string> folders_;
};

// Prints what the installer would tell its user, one message a line (a message's own line breaks
// indented as well).
void PrintMessages(const char* zip, const char* when, const std::vector<std::string>& messages) {
  fprintf(stderr, "vexelpack: %s: das Installationsprogramm meldet %s:\n", zip, when);
  for (const std::string& m : messages) {
    std::string text = Cp1252ToUtf8(m);
    for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 3) text.replace(at, 1, "\n  ");
    fprintf(stderr, "  %s\n", text.c_str());
  }
}

// Lists the archive with the installer's walk; false (and what the installer would tell its user,
// on standard error) when the installer would show anything but the list.
bool InstallerReads(const char* zip, const std::vector<unsigned char>& archive) {
  ListingHost host(archive);
  vexel::PasswordStore password = {};
  vexel::WalkOptions options = {0, "", &password};
  const bool listed = vexel::WalkArchive(host, options, true);
  if (!listed || !host.messages.empty()) {
    PrintMessages(zip, "beim Lesen des Archivs", host.messages);
    return false;
  }
  // "Start": every entry extracted into nothing, through the installer's inflate and CRC-32.
  options.skipEncrypted = true;
  if (vexel::WalkArchive(host, options, false)) return true;
  host.messages.erase(std::remove(host.messages.begin(), host.messages.end(), std::string(vexel::kTextAllExtracted)),
                      host.messages.end());
  for (size_t i = 0; i < host.names.size(); ++i)
    if (host.selected[i]) host.messages.push_back("nicht entpackt: " + host.names[i]);
  PrintMessages(zip, "beim Entpacken", host.messages);
  return false;
}

uint32_t Le32(const std::vector<unsigned char>& b, size_t at) {
  return (uint32_t)b[at] | ((uint32_t)b[at + 1] << 8) | ((uint32_t)b[at + 2] << 16) | ((uint32_t)b[at + 3] << 24);
}
unsigned Le16(const std::vector<unsigned char>& b, size_t at) { return b[at] | (b[at + 1] << 8); }

// Whether the file is a Windows program for the installer's 32-bit x86: "MZ", the PE header the
// DOS header points to, machine i386, and an image whose headers and sections (and symbol table,
// where there is one) end exactly where the file ends. Else `why` says what is wrong.
bool IsWindowsProgram(const std::vector<unsigned char>& image, std::string& why) {
  const size_t size = image.size();
  if (size < 64 || image[0] != 'M' || image[1] != 'Z') return why = "beginnt nicht mit \"MZ\"", false;
  const uint32_t pe = Le32(image, 0x3C);
  if ((uint64_t)pe + 24 > size || memcmp(image.data() + pe, "PE\0\0", 4) != 0)
    return why = "hat keinen PE-Kopf", false;
  if (Le16(image, pe + 4) != 0x14C) return why = "ist kein Programm für 32-Bit-x86 (i386)", false;
  const unsigned sections = Le16(image, pe + 6), optional = Le16(image, pe + 20);
  const uint32_t symbols = Le32(image, pe + 12), symbolCount = Le32(image, pe + 16);
  const uint64_t table = (uint64_t)pe + 24 + optional;
  if (optional < 64 || table + 40ull * sections > size) return why = "hat einen abgeschnittenen PE-Kopf", false;
  uint64_t end = Le32(image, pe + 24 + 60);  // SizeOfHeaders
  for (unsigned i = 0; i < sections; ++i) {
    const size_t s = (size_t)(table + 40ull * i);
    const uint32_t raw = Le32(image, s + 16), at = Le32(image, s + 20);
    if (raw && (uint64_t)at + raw > end) end = (uint64_t)at + raw;
  }
  if (symbols) {  // the COFF symbol table and its string table behind it
    const uint64_t strings = (uint64_t)symbols + 18ull * symbolCount;
    end = strings + 4 <= size ? strings + Le32(image, (size_t)strings) : strings + 4;
  }
  if (end > size) return why = "ist abgeschnitten (das Programm ist " + std::to_string(end) + " Bytes lang)", false;
  if (end < size)
    return why = "hat hinter dem Programm (" + std::to_string(end) + " Bytes) noch " + std::to_string(size - end) +
                 " Bytes",
           false;
  return true;
}

// True when the file is an installer already: the program image followed by a configuration block
// or an archive.
bool IsInstaller(const std::vector<unsigned char>& image) {
  if (image.size() < vexel::kImageLength + 4) return false;
  const unsigned char* behind = image.data() + vexel::kImageLength;
  return memcmp(behind, "RIR", 3) == 0 || memcmp(behind, "PK\x03\x04", 4) == 0;
}

int Usage() {
  fprintf(stderr,
          "Aufruf: vexelpack --program Vexel.exe --zip Archiv.zip --out Setup.exe [--title TEXT]\n"
          "                  [--folder ORDNER] [--run BEFEHL] [--flags N] [--no-block] [--utf8]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const char *program = nullptr, *zip = nullptr, *out = nullptr;
  std::string title, folder, run;
  unsigned flags = 0x03;
  bool block = true, utf8 = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    const bool hasValue = i + 1 < argc;
    if (a == "--program" && hasValue) program = argv[++i];
    else if (a == "--zip" && hasValue) zip = argv[++i];
    else if (a == "--out" && hasValue) out = argv[++i];
    else if (a == "--title" && hasValue) title = argv[++i];
    else if (a == "--folder" && hasValue) folder = argv[++i];
    else if (a == "--run" && hasValue) run = argv[++i];
    else if (a == "--flags" && hasValue) {
      char* end = nullptr;
      flags = (unsigned)strtoul(argv[++i], &end, 0);
      if (!end || *end || flags > 255) return Usage();
    } else if (a == "--no-block") block = false;
    else if (a == "--utf8") utf8 = true;
    else return Usage();
  }
  if (!program || !zip || !out) return Usage();
  if (utf8) {
    std::string t, f, r;
    if (!Utf8ToCp1252(title, t) || !Utf8ToCp1252(folder, f) || !Utf8ToCp1252(run, r)) {
      fprintf(stderr, "vexelpack: ein Text hat Zeichen außerhalb von Code-Page 1252\n");
      return 1;
    }
    title = t, folder = f, run = r;
  }

  std::vector<unsigned char> image, archive;
  if (!ReadAll(program, image)) {
    fprintf(stderr, "vexelpack: %s kann nicht gelesen werden\n", program);
    return 1;
  }
  if (!ReadAll(zip, archive)) {
    fprintf(stderr, "vexelpack: %s kann nicht gelesen werden\n", zip);
    return 1;
  }
  if (IsInstaller(image)) {
    fprintf(stderr,
            "vexelpack: %s ist schon ein Installationsprogramm mit Archiv; --program braucht das Programm "
            "allein: %s\n",
            program, kBareProgram);
    return 1;
  }
  std::string why;
  if (!IsWindowsProgram(image, why)) {
    fprintf(stderr, "vexelpack: %s ist kein Windows-Programm: es %s; --program braucht das Programm allein: %s\n",
            program, why.c_str(), kBareProgram);
    return 1;
  }
  if (image.size() > vexel::kImageLength) {
    fprintf(stderr, "vexelpack: %s ist %zu Bytes groß, das Programm darf höchstens %u Bytes haben\n", program,
            image.size(), (unsigned)vexel::kImageLength);
    return 1;
  }
  if (!InstallerReads(zip, archive)) return 1;
  image.resize(vexel::kImageLength, 0);
  if (block) {
    unsigned char b[vexel::kBlockLength];
    if (!vexel::WriteConfigBlock((uint8_t)flags, title.c_str(), folder.c_str(), run.c_str(), b)) {
      fprintf(stderr, "vexelpack: Titel, Ordner und Befehl passen nicht in den Block (zusammen höchstens 249 Bytes)\n");
      return 1;
    }
    image.insert(image.end(), b, b + sizeof b);
  }
  image.insert(image.end(), archive.begin(), archive.end());

  const std::string tmp = std::string(out) + ".tmp";
  FILE* f = fopen(tmp.c_str(), "wb");
  if (!f) {
    fprintf(stderr, "vexelpack: %s kann nicht geschrieben werden\n", out);
    return 1;
  }
  const bool written = fwrite(image.data(), 1, image.size(), f) == image.size();
  if (fclose(f) != 0 || !written || rename(tmp.c_str(), out) != 0) {
    remove(tmp.c_str());
    fprintf(stderr, "vexelpack: %s kann nicht geschrieben werden\n", out);
    return 1;
  }
  return 0;
}
