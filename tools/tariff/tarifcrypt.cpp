// tarifcrypt: scrambles a plain XML tariff source into the stored form of "tarif.dat" and back.
//   tarifcrypt scramble   tarife.xml tarif.dat
//   tarifcrypt unscramble tarif.dat  tarife.xml
// The tool checks nothing about the XML; tarifrank shows whether the router can read a file.
#include <cstdio>
#include <cstring>
#include <string>

#include "TarifScramble.h"

namespace {
bool ReadAll(const char* path, std::string& out) {
  std::FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  char buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
  bool ok = !std::ferror(f);
  std::fclose(f);
  return ok;
}

bool WriteAll(const char* path, const std::string& data) {
  std::FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  bool ok = std::fwrite(data.data(), 1, data.size(), f) == data.size();
  return (std::fclose(f) == 0) && ok;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 || (std::strcmp(argv[1], "scramble") != 0 && std::strcmp(argv[1], "unscramble") != 0)) {
    std::fprintf(stderr,
                 "Aufruf: tarifcrypt scramble <tarife.xml> <tarif.dat>\n"
                 "        tarifcrypt unscramble <tarif.dat> <tarife.xml>\n");
    return 2;
  }
  std::string data;
  if (!ReadAll(argv[2], data)) {
    std::fprintf(stderr, "tarifcrypt: %s kann nicht gelesen werden\n", argv[2]);
    return 1;
  }
  unsigned char* bytes = reinterpret_cast<unsigned char*>(data.empty() ? nullptr : &data[0]);
  if (argv[1][0] == 's') ScrambleTarif(bytes, data.size());
  else UnscrambleTarif(bytes, data.size());
  if (!WriteAll(argv[3], data)) {
    std::fprintf(stderr, "tarifcrypt: %s kann nicht geschrieben werden\n", argv[3]);
    return 1;
  }
  return 0;
}
