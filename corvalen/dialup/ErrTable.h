// The English error texts that every RAS access operation answers with an index into.
#pragma once

class CErrTable {
 public:
  // Number of texts; indices from 0 to kCount - 1.
  static const int kCount = 120;
  // The text of an index; outside the table "CErrTable::GetErrorString: Array out of bounds!".
  static const char* GetErrorString(int index);
};

// Indices that the RAS access layer returns.
enum ErrTableIndex {
  kErrOk = 0,
  kErrFailed = 1,
  kErrBufferShort = 35,
  kErrNullBuffer = 36,
  kErrIndexRange = 39,
  kErrRasNotLoaded = 92,
  kErrDialProcess = 93,
  kErrDialAttempt = 94,
  kErrRasHandle = 95,
  kErrRasEnum = 96,
};
