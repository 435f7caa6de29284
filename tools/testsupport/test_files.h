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

// The path with every "/" turned into "\\": a path of the build (which may be spelt with forward
// slashes) as the programs and the file dialogs under test spell it.
std::string WinPath(std::string path);

// Removes the folder with everything in it (what cannot be removed stays).
void RemoveTree(const std::string& folder);

}  // namespace testsupport
