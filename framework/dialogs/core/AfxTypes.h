// Basic types of the dialog library. They match the Windows definitions of the same names, so a
// file that includes <windows.h> as well sees the same typedefs; natively the fixed-width ones
// keep their Windows sizes (LONG and DWORD are 32 bits in the archive format).
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef _WIN32
typedef unsigned long DWORD;
typedef long LONG;
#else
typedef std::uint32_t DWORD;
typedef std::int32_t LONG;
#endif
typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef unsigned int UINT;
typedef const char* LPCTSTR;
typedef char* LPTSTR;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

static_assert(sizeof(DWORD) == 4 && sizeof(LONG) == 4 && sizeof(WORD) == 2, "archive field sizes");

// An iteration position of the collections; NULL ends an iteration.
struct __POSITION {};
typedef __POSITION* POSITION;
