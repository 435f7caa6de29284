// hlpc: compiles a help source (help_source.h) into a Windows Help 3.1 file.
//   hlpc SOURCE OUTPUT
// A refused source is named with the line and the fault, and no output is written then; the
// output is written under a temporary name and takes the old file's place only when it is whole.
#include <stdio.h>

#include <fstream>
#include <sstream>

#include "help_source.h"
#include "help_writer.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "Aufruf: hlpc QUELLE HILFEDATEI\n");
    return 2;
  }
  const std::string sourcePath = argv[1], outPath = argv[2];
  std::ifstream in(sourcePath, std::ios::binary);
  if (!in) {
    fprintf(stderr, "hlpc: %s kann nicht gelesen werden\n", sourcePath.c_str());
    return 1;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    fprintf(stderr, "hlpc: %s kann nicht gelesen werden\n", sourcePath.c_str());
    return 1;
  }
  std::vector<uint8_t> file;
  try {
    file = hlpc::WriteHelpFile(hlpc::ParseHelpSource(text.str()));
  } catch (const hlpc::HelpSourceError& e) {
    fprintf(stderr, "hlpc: %s: %s\n", sourcePath.c_str(), e.what());
    return 1;
  }
  const std::string temp = outPath + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(file.data()), std::streamsize(file.size()));
    out.close();
    if (!out) {
      remove(temp.c_str());
      fprintf(stderr, "hlpc: %s kann nicht geschrieben werden\n", outPath.c_str());
      return 1;
    }
  }
  if (rename(temp.c_str(), outPath.c_str()) != 0) {
    remove(temp.c_str());
    fprintf(stderr, "hlpc: %s kann nicht geschrieben werden\n", outPath.c_str());
    return 1;
  }
  return 0;
}
