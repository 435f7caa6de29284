// The PNG reader reads files, so its targets write each input to a file of this process first.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

// The file of this process, removed when the process ends. Write() puts one input into it and
// answers its path ("" when the file cannot be written).
class TFuzzInputFile {
public:
  explicit TFuzzInputFile(const char* Target)
      : FPath("/tmp/" + std::string(Target) + "." + std::to_string(getpid()) + ".png") {}
  ~TFuzzInputFile() { std::remove(FPath.c_str()); }

  std::string Write(const uint8_t* data, size_t size) const {
    std::FILE* f = std::fopen(FPath.c_str(), "wb");
    if (!f) return "";
    const bool whole = size == 0 || std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && whole ? FPath : "";
  }

private:
  std::string FPath;
};
