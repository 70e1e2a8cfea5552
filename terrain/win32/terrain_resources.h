// Resource identifiers of the terrain saver program.
#pragma once

#define IDS_SAVER_DESCRIPTION 1
#define IDD_TERRAIN_SETTINGS 2003

// Controls of the settings dialog.
#define IDC_TERRAIN_OK 1010
#define IDC_TERRAIN_CANCEL 1011
#define IDC_TERRAIN_DEPTH 1015
#define IDC_TERRAIN_MAIL 1016
#define IDC_TERRAIN_SPEED 1018
#define IDC_TERRAIN_MODE 1042
#define IDC_TERRAIN_LEVEL 1043
#define IDC_TERRAIN_ERASE 1046
#define IDC_TERRAIN_THRESHOLD 1047
#define IDC_TERRAIN_COLOR 1048

// The author's address, the caption of the e-mail button.
#define TERRAIN_AUTHOR_MAIL "kesmar@example.org"
