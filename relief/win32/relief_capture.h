// The desktop picture the relief saver turns into its height field: the
// snapshot that the helper program writes, or a copy of the screen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

extern const char kSnapshotPath[]; // "C:\snapwnd.dat"

// How long window creation waits for the snapshot helper before going on.
constexpr unsigned long kSnapWaitMilliseconds = 5000;

// "cmd.exe /C ""<directory>snap.exe""": the outer quotes are the ones the
// command shell strips, the inner ones keep a directory with spaces, "&" or
// other shell characters one path, so nothing but the helper runs. The shell
// expands %NAME% even between quotes: for a directory with a "%" the line is
// "cmd.exe /C .\snap.exe", started in the directory.
std::string BuildSnapCommandLine(const std::string& directory);

// Starts the helper from the program's own directory and waits for it to end,
// at most kSnapWaitMilliseconds. A helper that cannot be started is ignored.
void RunSnapProgram();

// The picture at width x height, rows bottom-up, blue-green-red, packed.
// From the snapshot file (black where it is short) when fromSnapshotFile is
// set (Windows NT); by copying the screen on Windows 95/98 or where the file
// is missing.
std::vector<std::uint8_t> CaptureDesktopPicture(int width, int height, bool fromSnapshotFile);

// Reads the first size bytes of the snapshot file into picture (the rest stays
// as it is). Opened for reading only. Returns false when it cannot be opened.
bool ReadSnapshotFile(const char* path, std::vector<std::uint8_t>& picture);
