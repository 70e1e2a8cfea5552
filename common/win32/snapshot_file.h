// Where the relief saver's helper leaves its picture of the desktop, and
// where the saver reads it.
#pragma once

constexpr char kSnapshotPath[] = "C:\\snapwnd.dat";
// The helper writes here first and then puts the file in the snapshot's place.
constexpr char kSnapshotPartialPath[] = "C:\\snapwnd.dat.partial";
