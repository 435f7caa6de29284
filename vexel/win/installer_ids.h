// Control ids of the installer's dialog templates (Vexel.rc) and their dialog procedures.
#pragma once

// "MainDialog"
#define IDC_FOLDER_LABEL 100
#define IDC_FOLDER 101
#define IDC_BROWSE 775
#define IDC_ENTRIES 301
#define IDC_PLAIN_ENTRIES 302
#define IDC_OVERWRITE_GROUP 509
#define IDC_OVERWRITE 501
#define IDC_DONT_OVERWRITE 502
#define IDC_CONFIRM_OVERWRITE 503
#define IDC_RUN 1007
#define IDC_STATUS 601

// "DLGSEL"
#define IDC_SEL_LABEL 2000
#define IDC_SEL_CURRENT 2001
#define IDC_SEL_NETWORK 2002
#define IDC_SEL_LIST 2003
#define IDC_SEL_NEW 2004

// "DLGNEW"
#define IDC_NEW_CURRENT 3001
#define IDC_NEW_NAME 3002

// "FileExist" (101 shows the question)
#define IDC_EXIST_TEXT 101
#define IDC_EXIST_DONT_ASK 401

// "PASSWD"
#define IDC_PASSWORD 101
