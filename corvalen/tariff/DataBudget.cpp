#include "DataBudget.h"

#include "CFile.h"

BOOL ReadDataFile(const char* path, std::string& out) { return ReadWholeFile(path, out, kDataFileLimit); }
