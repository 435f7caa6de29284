// Code page 1252, the program's character set, and UTF-8, the character set of XML texts (the
// tariff file, the server's messages) and of a Linux terminal.
#pragma once

#include <string>

// UTF-8 narrowed to code page 1252: every character the code page has becomes its byte; a
// character it lacks becomes '?'. Bytes that are not part of a well-formed UTF-8 sequence are
// taken as code page 1252 already and kept as they are, so a text that is 1252 already (or
// mixed) comes through unchanged.
std::string Utf8ToCp1252(const std::string& text);

// Code page 1252 widened to UTF-8 (the five bytes the code page leaves unassigned become the
// control characters of the same number, as Windows maps them).
std::string Cp1252ToUtf8(const std::string& text);

// The Unicode character of a code page 1252 byte.
unsigned Cp1252ToUnicode(unsigned char byte);
