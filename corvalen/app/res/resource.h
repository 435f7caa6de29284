// Resource ids of Corvalen: dialog templates, control ids (the tool tip of a control is the
// string-table entry with the control's id), icons, the splash bitmap and the tray menus.
#pragma once

#define IDD_CORVALEN_MAIN 102
#define IDB_SPLASH 166
#define IDI_CORVALEN 167
#define IDI_CORVALEN_TRAY 5531
#define IDR_TRAY_OFFLINE 172
#define IDR_TRAY_ONLINE 173

#define IDC_PROVIDER 1015
#define IDC_DETAILS 1006
#define IDC_AENDERN 1065
#define IDC_VERBINDEN 1050
#define IDC_TRENNEN 1052
#define IDC_OPTIONEN 1042
#define IDC_HILFE 1084
#define IDC_KOSTEN 1120
#define IDC_GROUP_VERBINDUNG 1071
#define IDC_PREIS 1062
#define IDC_TAKT 1063
#define IDC_EINWAHL 1064
#define IDC_BENUTZER 5539
#define IDC_PASSWORT 1041
#define IDC_STATUS 1051
#define IDC_INFOFELD 1053
#define IDC_LBL_KOSTEN 1125
#define IDC_ONLINE_KOSTEN 1126
#define IDC_LBL_ZEIT 1127
#define IDC_ONLINE_ZEIT 1128
#define IDC_LBL_PREIS 1129
#define IDC_ONLINE_PREIS 1130
#define IDC_LBL_TAKT 1121
#define IDC_ONLINE_TAKT 1124
#define IDC_LBL_EINWAHL 1122
#define IDC_ONLINE_EINWAHL 1123
#define IDC_LBL_STUNDEN 1131
#define IDC_LBL_DM 1132

#define ID_TRAY_WIEDERHERSTELLEN 40002
#define ID_TRAY_BEENDEN 40004
#define ID_TRAY_TRENNEN 40006
#define IDM_ABOUTBOX 16
