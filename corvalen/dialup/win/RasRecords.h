// The RAS records in the layouts of the RAS generation the router is written for; their sizes go
// into every dwSize field. Declared here rather than taken from <ras.h>: mingw-w64's header has only
// the newest, larger layouts (do not include both in one file).
#pragma once

#include <windows.h>
#include <cstddef>

#define RAS_MaxEntryName 256
#define RAS_MaxDeviceType 16
#define RAS_MaxDeviceName 128
#define RAS_MaxPhoneNumber 128
#define RAS_MaxCallbackNumber 128
#define RAS_MaxAreaCode 10
#define RAS_MaxPadType 32
#define RAS_MaxX25Address 200
#define RAS_MaxFacilities 200
#define RAS_MaxUserData 200
#define RAS_UserNameLength 256
#define RAS_PasswordLength 256
#define RAS_DomainLength 15

DECLARE_HANDLE(HRASCONN);

typedef DWORD RASCONNSTATE;
const RASCONNSTATE RASCS_OpenPort = 0;
const RASCONNSTATE RASCS_PortOpened = 1;
const RASCONNSTATE RASCS_ConnectDevice = 2;
const RASCONNSTATE RASCS_DeviceConnected = 3;
const RASCONNSTATE RASCS_Authenticate = 5;
const RASCONNSTATE RASCS_Authenticated = 14;
const RASCONNSTATE RASCS_StartAuthentication = 19;
const RASCONNSTATE RASCS_Connected = 0x2000;
const RASCONNSTATE RASCS_Disconnected = 0x2001;

// RAS return codes the router looks at.
const DWORD RAS_ERROR_INVALID_HANDLE = 6;
const DWORD RAS_ERROR_INVALID_PARAMETER = 87;
const DWORD RAS_ERROR_BUFFER_TOO_SMALL = 603;
const DWORD RAS_ERROR_USER_DISCONNECTION = 631;
const DWORD RAS_ERROR_PHONE_NUMBER_TOO_LONG = 723;
const DWORD RAS_ERROR_RASMAN_CANNOT_INITIALIZE = 711;

struct RASDIALPARAMSA {
  DWORD dwSize;
  CHAR szEntryName[RAS_MaxEntryName + 1];
  CHAR szPhoneNumber[RAS_MaxPhoneNumber + 1];
  CHAR szCallbackNumber[RAS_MaxCallbackNumber + 1];
  CHAR szUserName[RAS_UserNameLength + 1];
  CHAR szPassword[RAS_PasswordLength + 1];
  CHAR szDomain[RAS_DomainLength + 1];
};

struct RASIPADDR {
  BYTE a, b, c, d;
};

struct RASENTRYA {
  DWORD dwSize;
  DWORD dwfOptions;
  DWORD dwCountryID;
  DWORD dwCountryCode;
  CHAR szAreaCode[RAS_MaxAreaCode + 1];
  CHAR szLocalPhoneNumber[RAS_MaxPhoneNumber + 1];
  DWORD dwAlternateOffset;
  RASIPADDR ipaddr;
  RASIPADDR ipaddrDns;
  RASIPADDR ipaddrDnsAlt;
  RASIPADDR ipaddrWins;
  RASIPADDR ipaddrWinsAlt;
  DWORD dwFrameSize;
  DWORD dwfNetProtocols;
  DWORD dwFramingProtocol;
  CHAR szScript[MAX_PATH];
  CHAR szAutodialDll[MAX_PATH];
  CHAR szAutodialFunc[MAX_PATH];
  CHAR szDeviceType[RAS_MaxDeviceType + 1];
  CHAR szDeviceName[RAS_MaxDeviceName + 1];
  CHAR szX25PadType[RAS_MaxPadType + 1];
  CHAR szX25Address[RAS_MaxX25Address + 1];
  CHAR szX25Facilities[RAS_MaxFacilities + 1];
  CHAR szX25UserData[RAS_MaxUserData + 1];
  DWORD dwChannels;
  DWORD dwReserved1;
  DWORD dwReserved2;
};

const DWORD RASEO_IpHeaderCompression = 0x00000008;
const DWORD RASEO_RemoteDefaultGateway = 0x00000010;
const DWORD RASEO_ModemLights = 0x00000100;
const DWORD RASNP_Ip = 0x00000004;
const DWORD RASFP_Ppp = 0x00000001;

struct RASCONNSTATUSA {
  DWORD dwSize;
  RASCONNSTATE rasconnstate;
  DWORD dwError;
  CHAR szDeviceType[RAS_MaxDeviceType + 1];
  CHAR szDeviceName[RAS_MaxDeviceName + 1];
};

struct RASCONNA {
  DWORD dwSize;
  HRASCONN hrasconn;
  CHAR szEntryName[RAS_MaxEntryName + 1];
  CHAR szDeviceType[RAS_MaxDeviceType + 1];
  CHAR szDeviceName[RAS_MaxDeviceName + 1];
};

struct RASENTRYNAMEA {
  DWORD dwSize;
  CHAR szEntryName[RAS_MaxEntryName + 1];
};

struct RASDEVINFOA {
  DWORD dwSize;
  CHAR szDeviceType[RAS_MaxDeviceType + 1];
  CHAR szDeviceName[RAS_MaxDeviceName + 1];
};

struct RASENTRYDLGA {
  DWORD dwSize;
  HWND hwndOwner;
  DWORD dwFlags;
  LONG xDlg;
  LONG yDlg;
  CHAR szEntry[RAS_MaxEntryName + 1];
  DWORD dwError;
  ULONG_PTR reserved;
  ULONG_PTR reserved2;
};
const DWORD RASEDFLAG_NoRename = 0x00000008;

// The AutoDial service's parameters of a hook call.
struct RASADPARAMS {
  DWORD dwSize;
  HWND hwndOwner;
  DWORD dwFlags;
  LONG xDlg;
  LONG yDlg;
};

static_assert(sizeof(RASDIALPARAMSA) == 1052, "RASDIALPARAMSA of this RAS generation");
static_assert(sizeof(RASENTRYA) == 1768, "RASENTRYA of this RAS generation");
static_assert(offsetof(RASENTRYA, szLocalPhoneNumber) == 27, "RASENTRYA layout");
static_assert(offsetof(RASENTRYA, szAutodialDll) == 452, "RASENTRYA layout");
static_assert(offsetof(RASENTRYA, szDeviceType) == 972, "RASENTRYA layout");
static_assert(sizeof(RASCONNSTATUSA) == 160, "RASCONNSTATUSA of this RAS generation");
static_assert(sizeof(RASCONNA) == 412, "RASCONNA of this RAS generation");
static_assert(sizeof(RASENTRYNAMEA) == 264, "RASENTRYNAMEA of this RAS generation");
static_assert(sizeof(RASDEVINFOA) == 152, "RASDEVINFOA");
static_assert(sizeof(RASENTRYDLGA) == 292, "RASENTRYDLGA");
static_assert(sizeof(RASADPARAMS) == 20, "RASADPARAMS");

// Entry points as the RAS libraries export them.
typedef void(WINAPI* RASDIALFUNC)(UINT, RASCONNSTATE, DWORD);
typedef DWORD(WINAPI* PFN_RasDialA)(void*, LPCSTR, RASDIALPARAMSA*, DWORD, void*, HRASCONN*);
typedef DWORD(WINAPI* PFN_RasHangUpA)(HRASCONN);
typedef DWORD(WINAPI* PFN_RasGetConnectStatusA)(HRASCONN, RASCONNSTATUSA*);
typedef DWORD(WINAPI* PFN_RasEnumConnectionsA)(RASCONNA*, LPDWORD, LPDWORD);
typedef DWORD(WINAPI* PFN_RasEnumEntriesA)(LPCSTR, LPCSTR, RASENTRYNAMEA*, LPDWORD, LPDWORD);
typedef DWORD(WINAPI* PFN_RasEnumDevicesA)(RASDEVINFOA*, LPDWORD, LPDWORD);
typedef DWORD(WINAPI* PFN_RasCreatePhonebookEntryA)(HWND, LPCSTR);
typedef DWORD(WINAPI* PFN_RasEditPhonebookEntryA)(HWND, LPCSTR, LPCSTR);
typedef DWORD(WINAPI* PFN_RasSetEntryDialParamsA)(LPCSTR, RASDIALPARAMSA*, BOOL);
typedef DWORD(WINAPI* PFN_RasGetEntryDialParamsA)(LPCSTR, RASDIALPARAMSA*, LPBOOL);
typedef DWORD(WINAPI* PFN_RasGetCountryInfoA)(void*, LPDWORD);
typedef DWORD(WINAPI* PFN_RasGetEntryPropertiesA)(LPCSTR, LPCSTR, RASENTRYA*, LPDWORD, LPBYTE, LPDWORD);
typedef DWORD(WINAPI* PFN_RasSetEntryPropertiesA)(LPCSTR, LPCSTR, RASENTRYA*, DWORD, LPBYTE, DWORD);
typedef DWORD(WINAPI* PFN_RasRenameEntryA)(LPCSTR, LPCSTR, LPCSTR);
typedef DWORD(WINAPI* PFN_RasDeleteEntryA)(LPCSTR, LPCSTR);
typedef DWORD(WINAPI* PFN_RasValidateEntryNameA)(LPCSTR, LPCSTR);
typedef BOOL(WINAPI* PFN_RasEntryDlgA)(LPSTR, LPSTR, RASENTRYDLGA*);
