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
// without sizes, a damaged entry, a name it refuses) refuses the archive here, with the same text.
// The program must be the bare installer program; an installer that already carries an archive is
// refused.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

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
  void ListReset() override { count_ = 0; }
  void ListAdd(const char* name) override { ++count_; }
  int ListCount() override { return count_; }
  void Message(const char* text, const char* caption) override { messages.push_back(text); }

  std::vector<std::string> messages;

 private:
  const std::vector<unsigned char>& archive_;
  uint64_t position_ = 0;
  int count_ = 0;
};

// Lists the archive with the installer's walk; false (and what the installer would tell its user,
// on standard error) when the installer would show anything but the list.
bool InstallerReads(const char* zip, const std::vector<unsigned char>& archive) {
  ListingHost host(archive);
  vexel::PasswordStore password = {};
  vexel::WalkOptions options = {0, "", &password};
  const bool listed = vexel::WalkArchive(host, options, true);
  if (listed && host.messages.empty()) return true;
  fprintf(stderr, "vexelpack: %s: das Installationsprogramm meldet beim Lesen des Archivs:\n", zip);
  for (const std::string& m : host.messages) {
    std::string text = Cp1252ToUtf8(m);
    for (size_t at = 0; (at = text.find('\n', at)) != std::string::npos; at += 3) text.replace(at, 1, "\n  ");
    fprintf(stderr, "  %s\n", text.c_str());
  }
  return false;
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
