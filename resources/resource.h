// Numeric ids shared by the code and the resource script.
#pragma once

// Menu commands, in the order of the menu bar.
#define IDM_FILE_NEW 101
#define IDM_FILE_OPEN 102
#define IDM_FILE_SAVE 103
#define IDM_FILE_SAVE_AS 104
#define IDM_FILE_PRINT 105
#define IDM_FILE_EXIT 100

#define IDM_EDIT_UNDO 110
#define IDM_EDIT_REDO 111
#define IDM_EDIT_CUT 112
#define IDM_EDIT_COPY 113
#define IDM_EDIT_PASTE 114
#define IDM_EDIT_FIND 115
#define IDM_EDIT_REPLACE 116
#define IDM_EDIT_GOTO 117

#define IDM_FONT_FIRST 5000  // 5000..5005, one per face of the font table
#define IDM_FONT_LAST 5005
#define IDM_SIZE_FIRST 5100  // 5100..5112, sizes 10..22
#define IDM_SIZE_LAST 5112
#define IDM_ZOOM_OUT 5201
#define IDM_ZOOM_IN 5202
#define IDM_ZOOM_100 5203
#define IDM_ZOOM_150 5204
#define IDM_ZOOM_200 5205
#define IDM_ZOOM_300 5206
#define IDM_THEME_FIRST 5300  // 5300..5305, one per theme
#define IDM_THEME_LAST 5305
#define IDM_OPTIONS_AUTOWRAP 203

#define IDM_HELP_CHECK_UPDATE 200
#define IDM_HELP_ABOUT 201

// Positions of the popups on the menu bar and inside Options.
#define MENU_POS_FILE 0
#define MENU_POS_EDIT 1
#define MENU_POS_OPTIONS 2
#define MENU_POS_HELP 3
#define OPTIONS_POS_FONT 0
#define OPTIONS_POS_SIZE 1
#define OPTIONS_POS_ZOOM 2
#define OPTIONS_POS_THEME 3

// Child windows.
#define IDC_EDITOR 1300

// Dialog templates.
#define IDD_FIND 300
#define IDD_REPLACE 301
#define IDD_GOTO 302
#define IDD_ABOUT 303

// Find dialog.
#define IDC_FIND_TEXT 1000
#define IDC_FIND_NEXT 1001
#define IDC_FIND_PREVIOUS 1002
#define IDC_MATCH_CASE 1003
#define IDC_WHOLE_WORD 1004

// Replace dialog (shares 1003 and 1004 with the Find dialog).
#define IDC_REPLACE_FIND_TEXT 1100
#define IDC_REPLACE_WITH_TEXT 1101
#define IDC_REPLACE_FIND_NEXT 1102
#define IDC_REPLACE_ONE 1103
#define IDC_REPLACE_ALL 1104

// Go To Line dialog (its label reuses 1206).
#define IDC_GOTO_LINE 1105
#define IDC_GOTO_LABEL 1206

// About box.
#define IDC_ABOUT_LINK 1200
#define IDC_ABOUT_NOTICE 1201
#define IDC_ABOUT_DESCRIPTION 1202
#define IDC_ABOUT_VERSION 1203
#define IDC_ABOUT_NAME 1204
#define IDC_ABOUT_EMAIL 1205
#define IDC_ABOUT_ICON 1206

// Other resources.
#define IDR_ACCELERATORS 400
#define IDI_APP 401
#define IDI_ABOUT 500
