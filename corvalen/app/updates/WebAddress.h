// What of the server's texts may go to the shell: only web addresses, and only to be opened in
// the browser. The server messages come over plain HTTP, so anyone on the path can write them;
// the shell starts whatever it is handed (a program, a batch file, a file of any registered
// type), so the address of the day, the program page and the links of the text viewer are
// handed on only when they pass this check, and the server messages keep no address that fails.
#pragma once

#include <cstddef>

#include "CString.h"

// The longest address taken: longer ones are no page a reader types or a browser takes.
const int kMaxWebAddressLength = 2048;

// TRUE when `text` is an address of a web page: "http://" or "https://" (in any letter case),
// a host of letters, digits, "-" and "." (or a bracketed IPv6 address) with an optional port of
// digits, then an optional path, query and fragment; at most kMaxWebAddressLength characters,
// every one a printable ASCII character that an address may hold (no blank, no control
// character, no quote, no backslash, none of < > ^ ` { | }). A name and password before the
// host ("user@") are refused as well: they only serve to disguise the host.
bool IsWebAddress(const char* text, size_t length);
bool IsWebAddress(const CString& text);
