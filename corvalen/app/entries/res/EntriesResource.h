// Templates and control ids of the dial-up entry dialogs.
#pragma once

#define IDD_NEUEVERBINDUNG 5527
#define IDC_NV_HELP 1000
#define IDC_NV_USER 1057
#define IDC_NV_PASSWORD 1058
#define IDC_NV_NAME 1059
#define IDC_NV_SAVE 1060
#define IDC_NV_DAY 1090
