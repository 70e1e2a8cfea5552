// Resource identifiers of the terrain saver program.
#pragma once

#define IDS_SAVER_DESCRIPTION 1
#define IDD_TERRAIN_SETTINGS 2003

// Controls of the settings dialog.
#define IDC_TERRAIN_OK 1010
#define IDC_TERRAIN_CANCEL 1011
