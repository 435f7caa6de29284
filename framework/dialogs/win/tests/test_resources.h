// Ids of the test program's resources.
#pragma once

#define IDD_FORM 100
#define IDD_PAGE1 201
#define IDD_PAGE2 202
#define IDD_PAGE3 203

#define IDC_NAME 1001
#define IDC_COUNT 1002
#define IDC_AUTO 1003
#define IDC_COMBO 1004
#define IDC_LIST 1005
#define IDC_GROUP 1006
#define IDC_AGREE 1007
#define IDC_DISAGREE 1008
#define IDC_STATUS 1009
#define IDC_RICH 1010
#define IDC_ZAEHLEN 1011

#define IDC_DEVICE 1101
#define IDC_DIALSTRING 1102
#define IDC_TAKEOVER 1103

#define IDS_TITLE 138
#define IDS_ERROR_TITLE 5104
#define IDS_QUESTION 5115
#define IDS_LONG 5587
#define IDS_WIZARD 123

#define IDD_LISTS 300
#define IDC_ENTRIES 1201
#define IDC_FROM 1202
#define IDB_SPLASH 166
#define IDR_TRAY 172
