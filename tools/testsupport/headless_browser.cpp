#include "headless_browser.h"

#include <cstdio>

namespace testsupport {

namespace {

// The command's standard output, whole.
std::string ShellOutput(const std::string& command) {
  std::string out;
  if (FILE* p = popen(command.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    pclose(p);
  }
  return out;
}

const char kChromium[] = "/usr/bin/chromium";

}  // namespace

bool ChromiumInstalled() { return !ShellOutput(std::string("command -v ") + kChromium).empty(); }

std::string DumpDom(const std::string& pageFile, const std::string& profileFolder, int virtualTimeMs) {
  // No sandbox (tests may run as root) and no GPU (no display); nothing of the browser's own
  // traffic (updates, sync, first-run pages) goes out while it loads the page.
  return ShellOutput(std::string(kChromium) +
                     " --headless --no-sandbox --disable-gpu --disable-background-networking"
                     " --disable-component-update --disable-sync --no-first-run --user-data-dir='" +
                     profileFolder + "' --virtual-time-budget=" + std::to_string(virtualTimeMs) +
                     " --dump-dom 'file://" + pageFile + "' 2>/dev/null");
}

bool FindReport(const std::string& dom, const std::string& marker, std::string& report) {
  const size_t begin = dom.find(marker + "[");
  if (begin == std::string::npos) return false;
  const size_t first = begin + marker.size() + 1, end = dom.find(']', first);
  if (end == std::string::npos) return false;
  report = dom.substr(first, end - first);
  return true;
}

}  // namespace testsupport
