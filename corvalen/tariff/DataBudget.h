// The memory budget of one read of a data file or server file, and the largest file a reader
// takes in whole.
//
// Corvalen is a 32-bit program that stays in the notification area for hours; what it reads from
// outside (tarif.dat and its downloads, Feiertags.dat, free.log, rechnung.log, ServerInfo.dat,
// Corva.dat) must never push it to the edge of its 2 GB of address space. One read may hold
// kDataBudgetBytes, the same 128 MB as one picture read of Quillet
// (quillet/imaging/picture_budget.h): the file, its unscrambled copy, expat's buffers and what the
// reader builds from it together.
//
// - A file is read whole only up to kDataFileLimit. The files of a real installation are far
//   smaller (a tariff database of 300 providers with five rules each is 2 MB, a cost log of ten
//   years of daily connections 400 KB), so a longer one is no file of this program and is
//   refused like a damaged one, before anything is allocated for it.
// - Readers whose records take more memory than their text (the tariff reader's condition trees,
//   the cost log's records) count what they build and refuse a file beyond kDataBuildBudget.
// Both builds use these values; the fuzz targets run with them and with libFuzzer's malloc limit
// set to the budget (tools/fuzz/run-fuzz.sh).
#pragma once

#include <cstddef>
#include <string>

#include "AfxTypes.h"

constexpr size_t kDataBudgetBytes = size_t(128) << 20;
constexpr size_t kDataFileLimit = size_t(16) << 20;
// What a reader may build: the budget less the file and one copy of it.
constexpr size_t kDataBuildBudget = kDataBudgetBytes - 2 * kDataFileLimit;
// What one allocation costs beyond its size (the heap's header and rounding), for the readers'
// counts of what they build.
constexpr size_t kAllocationOverhead = 16;

// Reads a data file whole into `out`. FALSE (and `out` empty) when it cannot be opened or read,
// or when it is longer than kDataFileLimit; CFile::Exists tells a missing file from the others.
BOOL ReadDataFile(const char* path, std::string& out);
