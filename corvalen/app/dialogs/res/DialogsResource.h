// Resource ids of Corvalen's smaller dialogs and the set-up wizard: templates and control ids.
// The tool tip of a control is the string-table entry with the control's id.
#pragma once

// Templates.
#define IDD_INFO 100
#define IDD_WZD_MODEM 111
#define IDD_WZD_UPDATE 148
#define IDD_WZD_UEBERNAHME 149
#define IDD_TIPP 175
#define IDD_DETAILS_RE1 176
#define IDD_BENUTZERDATEN 5512
#define IDD_TIPP20 5517
#define IDD_WZD_AMTSHOLUNG 5520
#define IDD_DETAILS 5528
#define IDD_AGB 5529
#define IDD_FREIMINUTEN 5530

// The program icon shown by the dialogs.
#define IDI_CORVALEN_DLG 167

// Controls.
#define IDC_DELETE 3
#define IDC_HILFE_FM 1000
#define IDC_DIALSTRING 1010
#define IDC_FM_MINUTES 1010
#define IDC_FM_DAY 1011
#define IDC_FM_CALLS 1012
#define IDC_FM_HOURS 1013
#define IDC_AGB_TEXT 1036
#define IDC_USERNAME 1057
#define IDC_SAVEPASSWORD 1060
#define IDC_VIEWER20 1061
#define IDC_PASSWORD 1069
#define IDC_FM_SPIN_HOURS 1086
#define IDC_FM_SPIN_DAY 1087
#define IDC_FM_SPIN_CALLS 1088
#define IDC_FM_SPIN_MINUTES 1089
#define IDC_ACTIVATION_LABEL 1090
#define IDC_INFO_VERSION 1093
#define IDC_TAKEOVER 1098
#define IDC_ACTIVATION_DATE 1103
#define IDC_VIEWER 1114
#define IDC_FM_CALLS_LABEL 1115
#define IDC_AGB_YES 5534
#define IDC_AGB_NO 5535
#define IDC_DEVICES 5536
#define IDC_UPDATE_LIST 5540

// The dialogs of the options pages.
#define IDD_BENUTZERRECHNUNG 5521
#define IDD_ANBIETERAUSWAHL 5522
#define IDD_POSTFACH 5523
#define IDD_PROTOKOLLDATEIEN 5525

#define IDC_AW_HIDE 1000
#define IDC_AW_SHOW 1001
#define IDC_AW_HELP 1002
#define IDC_AW_TAKT1 1018
#define IDC_AW_TAKT60 1026
#define IDC_AW_LOGIN 1027
#define IDC_AW_NOLOGIN 1028
#define IDC_AW_NODIALFEE 1029
#define IDC_AW_NOBASEFEE 1030
#define IDC_AW_SHOWN 1033
#define IDC_AW_HIDDEN 1034

#define IDC_PF_HELP 1000
#define IDC_PF_USER 1009
#define IDC_PF_PASSWORD 1010
#define IDC_PF_CHECK 1018
#define IDC_PF_SAVE 1026

#define IDC_BR_BILL 1000
#define IDC_BR_HELP 1001
#define IDC_BR_FROMDATE 1009
#define IDC_BR_TODATE 1021
#define IDC_BR_FROMTIME 1116
#define IDC_BR_TOTIME 1117

#define IDC_PD_EXPORT_BILL 1000
#define IDC_PD_IMPORT_BILL 1001
#define IDC_PD_DELETE_BILL 1002
#define IDC_PD_EXPORT_FREE 1003
#define IDC_PD_IMPORT_FREE 1004
#define IDC_PD_DELETE_FREE 1005
