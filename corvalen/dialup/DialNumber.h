// Pure helpers of the RAS access layer: the number that is dialled, bounded text copies into the
// fixed fields of RAS records, and the size of an enumeration table.
#pragma once

#include <cstddef>

// The number dialled for an entry: the dial prefix, then "0" when the area code is not empty and does
// not start with one, then the area code and the local number. Writes at most size - 1 characters and
// a terminator; returns false (and writes the empty text) when the whole number does not fit.
bool AssembleDialNumber(char* out, size_t size, const char* prefix, const char* areaCode, const char* local);

// Copies src into a field of `size` bytes when it fits with its terminator; returns whether it did.
bool CopyToField(char* field, size_t size, const char* src);

// Copies at most `limit` characters of src and a terminator (the field holds limit + 1 bytes).
void CopyLimited(char* field, size_t limit, const char* src);

// Records for an enumeration table: what RAS said it needs, in whole records, plus one spare.
size_t EnumTableRecords(unsigned long neededBytes, size_t recordSize);
