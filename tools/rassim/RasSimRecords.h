// The RAS records as this generation of RAS lays them out (the layouts older programs pass in
// their dwSize fields). The simulator declares them itself: mingw-w64's <ras.h> has only the newest,
// larger layouts. Every record is checked against its size and the offsets callers rely on.
#pragma once

#include <windows.h>
#include <cstddef>

namespace rassim {

constexpr int kMaxEntryName = 256;
constexpr int kMaxPhoneNumber = 128;
constexpr int kMaxCallbackNumber = 128;
constexpr int kMaxAreaCode = 10;
constexpr int kMaxDeviceType = 16;
constexpr int kMaxDeviceName = 128;
constexpr int kMaxPadType = 32;
constexpr int kMaxX25Address = 200;
constexpr int kMaxFacilities = 200;
constexpr int kMaxUserData = 200;
constexpr int kUserLen = 256;
constexpr int kPasswordLen = 256;
constexpr int kDomainLen = 15;

struct DialParams {  // RASDIALPARAMSA
  DWORD dwSize;
  char szEntryName[kMaxEntryName + 1];
  char szPhoneNumber[kMaxPhoneNumber + 1];
  char szCallbackNumber[kMaxCallbackNumber + 1];
  char szUserName[kUserLen + 1];
  char szPassword[kPasswordLen + 1];
  char szDomain[kDomainLen + 1];
};
static_assert(sizeof(DialParams) == 1052, "RASDIALPARAMSA");

struct IpAddr { BYTE a, b, c, d; };

struct Entry {  // RASENTRYA
  DWORD dwSize;
  DWORD dwfOptions;
  DWORD dwCountryID;
  DWORD dwCountryCode;
  char szAreaCode[kMaxAreaCode + 1];
  char szLocalPhoneNumber[kMaxPhoneNumber + 1];
  DWORD dwAlternateOffset;
  IpAddr ipaddr, ipaddrDns, ipaddrDnsAlt, ipaddrWins, ipaddrWinsAlt;
  DWORD dwFrameSize;
  DWORD dwfNetProtocols;
  DWORD dwFramingProtocol;
  char szScript[MAX_PATH];
  char szAutodialDll[MAX_PATH];
  char szAutodialFunc[MAX_PATH];
  char szDeviceType[kMaxDeviceType + 1];
  char szDeviceName[kMaxDeviceName + 1];
  char szX25PadType[kMaxPadType + 1];
  char szX25Address[kMaxX25Address + 1];
  char szX25Facilities[kMaxFacilities + 1];
  char szX25UserData[kMaxUserData + 1];
  DWORD dwChannels;
  DWORD dwReserved1;
  DWORD dwReserved2;
};
static_assert(sizeof(Entry) == 1768, "RASENTRYA");
static_assert(offsetof(Entry, szLocalPhoneNumber) == 27, "RASENTRYA number");
static_assert(offsetof(Entry, szAutodialDll) == 452, "RASENTRYA AutoDial library");
static_assert(offsetof(Entry, szDeviceName) == 989, "RASENTRYA device");

struct ConnStatus {  // RASCONNSTATUSA
  DWORD dwSize;
  DWORD rasconnstate;
  DWORD dwError;
  char szDeviceType[kMaxDeviceType + 1];
  char szDeviceName[kMaxDeviceName + 1];
};
static_assert(sizeof(ConnStatus) == 160, "RASCONNSTATUSA");

struct Conn {  // RASCONNA
  DWORD dwSize;
  HANDLE hrasconn;
  char szEntryName[kMaxEntryName + 1];
  char szDeviceType[kMaxDeviceType + 1];
  char szDeviceName[kMaxDeviceName + 1];
};
static_assert(sizeof(Conn) == 412, "RASCONNA");

struct EntryName {  // RASENTRYNAMEA
  DWORD dwSize;
  char szEntryName[kMaxEntryName + 1];
};
static_assert(sizeof(EntryName) == 264, "RASENTRYNAMEA");

struct DevInfo {  // RASDEVINFOA
  DWORD dwSize;
  char szDeviceType[kMaxDeviceType + 1];
  char szDeviceName[kMaxDeviceName + 1];
};
static_assert(sizeof(DevInfo) == 152, "RASDEVINFOA");

struct CountryInfo {  // RASCTRYINFOA, followed by the country's name
  DWORD dwSize;
  DWORD dwCountryID;
  DWORD dwNextCountryID;
  DWORD dwCountryCode;
  DWORD dwCountryNameOffset;
};
static_assert(sizeof(CountryInfo) == 20, "RASCTRYINFOA");

struct EntryDlg {  // RASENTRYDLGA
  DWORD dwSize;
  HWND hwndOwner;
  DWORD dwFlags;
  LONG xDlg;
  LONG yDlg;
  char szEntry[kMaxEntryName + 1];
  DWORD dwError;
  ULONG_PTR reserved;
  ULONG_PTR reserved2;
};
static_assert(sizeof(EntryDlg) == 292, "RASENTRYDLGA");

// Connection states and error codes of RAS that the simulator produces.
enum : DWORD {
  kOpenPort = 0, kPortOpened = 1, kConnectDevice = 2, kDeviceConnected = 3,
  kAllDevicesConnected = 4, kAuthenticate = 5, kAuthenticated = 14,
  kConnected = 0x2000, kDisconnected = 0x2001,
};
enum : DWORD {
  kErrInvalidHandle = 6, kErrInvalidParameter = 87, kErrInvalidName = 123, kErrAlreadyExists = 183,
  kErrBufferTooSmall = 603, kErrBufferInvalid = 610, kErrEntryNotFound = 623, kErrRemoteDisconnect = 629,
  kErrInvalidSize = 632, kErrPortNotAvailable = 633, kErrLineBusy = 676, kErrNoAnswer = 678,
  kErrNoDialtone = 680, kErrAuthFailure = 691, kErrRasmanInit = 711,
};

}  // namespace rassim
