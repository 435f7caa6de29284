// Files and folders of a test run: whole files read and written as bytes, folder trees removed.
#pragma once

#include <string>

namespace testsupport {

// The file's bytes; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);

// Writes `data` as the whole file; false when it could not be written completely.
bool WriteFileBytes(const std::string& path, const std::string& data);

// A new folder of this test run in the temporary folder, named `name`, the process id and a
// count; returned without a trailing "\".
std::string NewTempFolder(const std::string& name);

// A path as the programs and file dialogs under Wine spell it: every "/" turned into "\\", and a
// path of the Linux side ("/tmp/...") on drive Z:. A path that names its drive already (the build's
// paths as the tests are given them, "Z:/...") keeps it.
std::string WinPath(std::string path);

// Removes the folder with everything in it (what cannot be removed stays).
void RemoveTree(const std::string& folder);

}  // namespace testsupport
