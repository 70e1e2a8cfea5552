// Resource identifiers of the relief saver program.
#pragma once

#define IDS_SAVER_DESCRIPTION 1
#define IDD_RELIEF_SETTINGS 2003
