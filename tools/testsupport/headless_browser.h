// Pages opened in a real browser by the native tests that check what a user sees: headless
// Chromium (Debian's package `chromium`, which tools/setup/setup.sh installs) loads a page
// from a file and prints its document as it stands once the page has loaded. A test adds a
// script to its page that writes what it measured into the page as "MARKER[...]" and reads
// that back with FindReport.
#pragma once

#include <string>

namespace testsupport {

// True when the browser is installed.
bool ChromiumInstalled();

// The document of the page `pageFile` (an absolute path) as the browser has it after
// `virtualTimeMs` of page time (scripts, timers and loads run on), printed by --dump-dom; empty
// when the browser could not run. `profileFolder` is the browser's profile of this test run.
std::string DumpDom(const std::string& pageFile, const std::string& profileFolder, int virtualTimeMs);

// What a page's script wrote as `marker`[...] into the document `dom` (its first report);
// false when there is none.
bool FindReport(const std::string& dom, const std::string& marker, std::string& report);

}  // namespace testsupport
