// The desktop picture the relief saver turns into its height field: the
// snapshot that the helper program writes, or a copy of the screen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/win32/snapshot_file.h"

// How long window creation waits for the snapshot helper before going on.
constexpr unsigned long kSnapWaitMilliseconds = 5000;

// The full path of snap.exe beside the program at programPath, or an empty
// text when that path cannot name it safely: not a full path (a drive and a
// backslash, or a "\\" share), or holding a '"' or a '?', which the ANSI
// code page puts where a character of the folder's name had no match (a
// full-width quotation mark becomes '"'), so the path no longer names the
// folder the program lies in.
std::string BuildSnapProgramPath(const std::string& programPath);

// Starts snap.exe beside the program by its full path, with no shell and no
// search, and waits for it at most kSnapWaitMilliseconds. Returns true only
// when the helper ended within that time with exit code 0, i.e. when the
// snapshot file holds a picture this start asked for. A helper still running
// at the time limit is ended: nothing will read what it writes, and a hung
// helper left behind at every start would pile up for the whole session.
bool RunSnapProgram();

// The picture at width x height, rows bottom-up, blue-green-red, packed.
// From the snapshot file (black where it is short) when fromSnapshotFile is
// set (Windows NT, after a helper run that succeeded); by copying the screen
// otherwise, or where the file cannot be opened.
// The screen is copied from (left, top) of the virtual screen.
std::vector<std::uint8_t> CaptureDesktopPicture(int width, int height, bool fromSnapshotFile, int left = 0, int top = 0);

// Reads the first size bytes of the snapshot file into picture (the rest stays
// as it is). Opened for reading only. Returns false when it cannot be opened.
bool ReadSnapshotFile(const char* path, std::vector<std::uint8_t>& picture);
