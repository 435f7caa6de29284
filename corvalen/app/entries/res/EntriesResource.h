// Templates and control ids of the dial-up entry dialogs.
#pragma once

#define IDD_NEUEVERBINDUNG 5527
#define IDC_NV_HELP 1000
#define IDC_NV_USER 1057
#define IDC_NV_PASSWORD 1058
#define IDC_NV_NAME 1059
#define IDC_NV_SAVE 1060
#define IDC_NV_DAY 1090

#define IDD_UEBERNAHME 5532
#define IDC_UE_HELP 9
#define IDC_UE_ASSIGN 1096
#define IDC_UE_UNASSIGN 1097
#define IDC_UE_ASSIGNED 1102
#define IDC_UE_FREE 1105

#define IDD_ZUORDNEN 174
#define IDC_ZU_HELP 1000
#define IDC_ZU_COMBO 1104
#define IDC_ZU_NUMBER 1106
#define IDC_ZU_PRICE 1107
#define IDC_ZU_LOGIN 1108
#define IDC_ZU_FREEHOURS 1118
