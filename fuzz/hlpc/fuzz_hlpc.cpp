// Arbitrary help sources through the help compiler: a source is either refused with a line that
// lies within it (or just behind its end, for what is missing at the end) or compiled into a help
// file whose header states its magic and its own length.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "help_source.h"
#include "help_writer.h"

// Every run allocates and frees a whole help file (4 KB topic blocks and more); AddressSanitizer
// keeps 256 MB of freed memory by default, which alone would reach the run's limit of twice the
// budget. A smaller quarantine still finds a use after free within the same run.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=32"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string source(reinterpret_cast<const char*>(data), size);
  size_t lines = 1;
  for (char c : source) lines += c == '\n';
  try {
    const std::vector<uint8_t> file = hlpc::WriteHelpFile(hlpc::ParseHelpSource(source));
    auto u32 = [&](size_t at) {
      return uint32_t(file[at]) | uint32_t(file[at + 1]) << 8 | uint32_t(file[at + 2]) << 16 | uint32_t(file[at + 3]) << 24;
    };
    if (file.size() < 16 || u32(0) != hlpc::kHelpMagic || u32(12) != file.size() || u32(4) >= file.size()) abort();
  } catch (const hlpc::HelpSourceError& e) {
    if (e.line() < 1 || size_t(e.line()) > lines + 1) abort();
  }
  return 0;
}
