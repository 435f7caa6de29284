// The router's installation folder: the value PATH under the machine key
// HKEY_LOCAL_MACHINE\Software\ASTREL\Corvalen2.0, read as the router's registry store reads it
// but without turning a stored single blank into the empty text. "" when missing.
#pragma once

#include <string>

std::string ReadRouterPath();
