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
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "config_block.h"

namespace {

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
  if (image.size() > vexel::kImageLength) {
    fprintf(stderr, "vexelpack: %s ist %zu Bytes groß, das Programm darf höchstens %u Bytes haben\n", program,
            image.size(), (unsigned)vexel::kImageLength);
    return 1;
  }
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
