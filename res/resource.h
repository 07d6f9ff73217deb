// Resource ids of Umbrix, shared by the C++ sources and res/umbrix.rc.
// Plain #defines only, so that both the compiler and windres can read this file.
#ifndef UMBRIX_RES_RESOURCE_H
#define UMBRIX_RES_RESOURCE_H

// Dialog templates
#define IDD_ABOUTBOX      100
#define IDD_UMBRIX_DIALOG 102
#define IDD_DIRECTORY     103
#define IDD_PROGRESS      104
#define IDD_RENAME_LIST   105

// Strings and the system-menu command of the About item
#define IDS_ABOUTBOX 101
#define IDM_ABOUTBOX 0x0010

// Icon group: the program icon
#define IDR_MAINFRAME 128

// Bitmaps: the splash picture at 100, 150 and 200 %
#define IDB_SPLASH     129
#define IDB_SPLASH_150 130
#define IDB_SPLASH_200 131

// The four folder images of the directory tree at 16 pixels, and at 20, 24 and 32 pixels for
// larger DPIs (each set in the same order)
#define IDB_DIR              134
#define IDB_DIR_SELECTED     135
#define IDB_PATH             136
#define IDB_PATH_SELECTED    137
#define IDB_DIR_20           140
#define IDB_DIR_SELECTED_20  141
#define IDB_PATH_20          142
#define IDB_PATH_SELECTED_20 143
#define IDB_DIR_24           144
#define IDB_DIR_SELECTED_24  145
#define IDB_PATH_24          146
#define IDB_PATH_SELECTED_24 147
#define IDB_DIR_32           148
#define IDB_DIR_SELECTED_32  149
#define IDB_PATH_32          150
#define IDB_PATH_SELECTED_32 151

// Controls of the main dialog (IDD_UMBRIX_DIALOG)
#define IDC_TO_LOWER_CASE 1003
#define IDC_TO_UPPER_CASE 1004
#define IDC_WEB_LINK      1005
#define IDC_UNDO          1007

// Controls of the About dialog (IDD_ABOUTBOX)
#define IDC_ABOUT_WEB_LINK 1006

// Controls of the directory selection dialog (IDD_DIRECTORY)
#define IDC_DIRECTORY_PATH   1003
#define IDC_DRIVE_LIST       1005
#define IDC_DIRECTORY_TREE   1007
#define IDC_FILE_COUNT       1010
#define IDC_PART_WHOLE       1011
#define IDC_PART_EXTENSION   1012
#define IDC_PART_STEM        1013
#define IDC_RENAME_LIST_OPEN 1014

// Controls of the list of every rename a run would make (IDD_RENAME_LIST)
#define IDC_RENAME_LIST           1020
#define IDC_RENAME_LIST_DIRECTORY 1021
#define IDC_RENAME_LIST_STATUS    1022

// Controls of the progress window of a long rename run (IDD_PROGRESS)
#define IDC_PROGRESS_ACTION    1010
#define IDC_PROGRESS_DIRECTORY 1011
#define IDC_PROGRESS_BAR       1012
#define IDC_PROGRESS_COUNT     1013

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif

#endif
