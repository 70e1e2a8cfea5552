// One headless render as the command line asks: a saver's frames (settings,
// desktop picture, window creation, ticks and frame files), a wipe over the
// desktop picture (its pauses recorded as pictures instead of waited), or the
// terrain saver's scenes (its wipes' pauses counted instead of waited). The
// savers' own code does all the drawing; this only feeds it and records the
// surface.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "headless/software_surface.h"
#include "render_args.h"

// Exit codes of saver-render.
constexpr int kExitOk = 0;
constexpr int kExitUsage = 2; // bad arguments, unreadable input, unwritable output

// Runs a parsed command line. Trace lines go to trace: "tick T px PX py PY"
// for a saver's frames; for a wipe, with --trace-draw one line per drawing
// call and "sleep MS" per pause, then with --trace "wipe K pauses P sleep-ms T";
// for the terrain saver, in the order they happen, with --trace the scene,
// grid and wipe lines (terrain_trace.h) and with --trace-draw one line per
// drawing call (quads as "quad I J INDEX X1 Y1 ... X4 Y4") and pause.
// Problems and the closing "wrote N frames to DIR" ("wrote N pictures to DIR"
// for a wipe) go to log, problems as one line starting "saver-render: ".
// Returns the exit code.
int RunRender(const RenderArgs& args, std::ostream& trace, std::ostream& log);

// DIR/frame-00005.png for tick 5.
std::string FramePath(const std::string& dir, std::uint32_t tick);
// DIR/pause-00005.png for a wipe's fifth pause.
std::string PausePath(const std::string& dir, std::uint64_t pause);
// DIR/final.png: the surface when the wipe has ended.
std::string FinalPath(const std::string& dir);

// The surface as top-down 8-bit RGB.
std::vector<std::uint8_t> SurfaceToRgb(const SoftwareSurface& surface);

// Creates dir and its parents when missing.
bool MakeDirectories(const std::string& dir, std::string& error);

// zlib level for frame files: fast, since frames can be 4K and many.
constexpr int kFrameCompressionLevel = 2;
