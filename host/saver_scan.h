// Command-line scanning of the screen-saver host: skipping the program name,
// picking the run mode from the command tail and reading a window handle.
// Portable: no platform headers, so it is tested natively.
#pragma once

#include <cstdint>

// Steps from one character of an ANSI command line to the next. On Windows the
// entry passes a CharNextA-based step so a double-byte character is never
// split; SaverByteStep moves one byte. Both return the same pointer at the
// terminating zero.
using SaverCharStep = const char* (*)(const char* position);

const char* SaverByteStep(const char* position);

// Skips the program name at the start of a full command line and the blanks
// (bytes 1 to 32) after it, returning the command tail. A name that opens a
// double quote runs up to and including the closing quote, or to the end of
// the text when the quote is never closed.
const char* SkipSaverProgramName(const char* commandLine, SaverCharStep step = SaverByteStep);

enum class SaverMode {
    Settings,          // empty tail: the settings dialog with no owner
    SettingsOwned,     // "c": the settings dialog owned by the foreground window
    Preview,           // "p" or "l": a preview inside the window named by the rest
    FullScreen,        // "s"
    ChangePassword,    // "a": change the password; the rest may name the owner
    Bad,               // anything else: exit code -1
};

struct SaverModeScan {
    SaverMode mode;
    // For Preview and ChangePassword: the text after the letter and the spaces
    // that follow it. For the other modes: the text after the mode letter (or
    // the end of the tail), which the modes do not read.
    const char* rest;
};

// Reads the mode letter from a command tail. Only spaces, "-" and "/" are
// skipped before the letter; the first other byte decides.
SaverModeScan ScanSaverMode(const char* tail);

// Reads decimal digits from the start of the text into a window-handle value.
// The value is computed in 32-bit arithmetic that wraps on overflow; the first
// non-digit ends it and no digits give 0.
std::uintptr_t ParseWindowHandle(const char* text);
