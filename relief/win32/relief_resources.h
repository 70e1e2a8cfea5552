// Resource identifiers of the relief saver program.
#pragma once

#define IDS_SAVER_DESCRIPTION 1
#define IDD_RELIEF_SETTINGS 2003
#define IDB_RELIEF_BANNER 227

// Controls of the settings dialog.
#define IDC_RELIEF_PREVIEW 1002
#define IDC_RELIEF_DELAY_LABEL 1004
#define IDC_RELIEF_SOFTEN_LABEL 1005
#define IDC_RELIEF_OK 1010
#define IDC_RELIEF_CANCEL 1011
#define IDC_RELIEF_DELAY 1012
#define IDC_RELIEF_INVERT 1013
#define IDC_RELIEF_DEGREES 1015
#define IDC_RELIEF_MAIL 1016
#define IDC_RELIEF_HOME_PAGE 1017
#define IDC_RELIEF_COLORS 1018
#define IDC_RELIEF_SOFTEN 1019
#define IDC_RELIEF_RANDOM_COLOR 1036
#define IDC_RELIEF_CHOSEN_COLOR 1037
#define IDC_RELIEF_SWATCH 1038
#define IDC_RELIEF_COLORS_LABEL 1039

// The author's addresses: button texts and link targets.
#define RELIEF_AUTHOR_MAIL "ondrels@example.org"
#define RELIEF_AUTHOR_HOME_PAGE "http://ondrels.example.org/"
