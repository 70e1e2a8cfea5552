// One headless render: settings, desktop picture, window creation, ticks and
// frame files, as the command line asks. The saver's own code does all the
// drawing; this only feeds it and records the surface.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "common/software_surface.h"
#include "render_args.h"

// Exit codes of saver-render.
constexpr int kExitOk = 0;
constexpr int kExitUsage = 2; // bad arguments, unreadable input, unwritable output

// Runs a parsed command line. Trace lines ("tick T px PX py PY") go to trace;
// problems and the closing "wrote N frames to DIR" go to log, problems as one
// line starting "saver-render: ". Returns the exit code.
int RunRender(const RenderArgs& args, std::ostream& trace, std::ostream& log);

// DIR/frame-00005.png for tick 5.
std::string FramePath(const std::string& dir, std::uint32_t tick);

// The surface as top-down 8-bit RGB.
std::vector<std::uint8_t> SurfaceToRgb(const SoftwareSurface& surface);

// Creates dir and its parents when missing.
bool MakeDirectories(const std::string& dir, std::string& error);

// zlib level for frame files: fast, since frames can be 4K and many.
constexpr int kFrameCompressionLevel = 2;
