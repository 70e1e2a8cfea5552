// Command line of the headless renderer, one command per first word:
//   saver-render SAVER --size WxH --seed N --frames K [--desktop FILE]
//                [--ini FILE] [--set Key=Value]... --out DIR [--every M] [--trace]
//   saver-render wipe --size WxH --seed N --number K [--desktop FILE]
//                [--delay-factor D] --out DIR [--trace] [--trace-draw]
//   saver-render terrain --size WxH --seed N --ticks K [--ini FILE]
//                [--set Key=Value]... --out DIR [--every M] [--trace] [--trace-draw]
// Each command takes its own set of options; an option of another command is
// an error. Parsing only checks the shape of the arguments; whether SAVER
// exists and whether the files can be read is decided by the caller.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

enum class RenderCommand {
    SaverFrames, // any first word but the ones below: a saver whose frames to render
    Wipe,        // "wipe": one of the terrain saver's wipes over the desktop picture
    Terrain,     // "terrain": the terrain saver's scenes, created and ticked as its window does
};

struct RenderArgs {
    RenderCommand command = RenderCommand::SaverFrames;
    std::string saver; // SaverFrames: the saver's name (the first word)
    int width = 0;
    int height = 0;
    std::uint32_t seed = 0;
    std::string desktopPath; // empty: the built-in synthetic desktop
    std::string outDir;
    bool trace = false;
    bool help = false; // --help or -h: print the usage and stop

    // SaverFrames
    std::uint32_t frames = 0;
    // SaverFrames and Terrain
    std::string iniPath; // empty: no settings file
    // Key/value pairs of --set in command-line order.
    std::vector<std::pair<std::string, std::string>> sets;
    std::uint32_t every = 1;

    // Wipe
    std::int32_t wipeNumber = 0; // outside 0..14: a wipe drawn at random
    int delayFactor = 2;
    // Wipe and Terrain
    bool traceDraw = false; // one trace line per drawing call and pause

    // Terrain
    std::uint32_t ticks = 0;
};

// Parses the arguments after the program name. Returns an empty string on
// success, else a one-line message naming the offending argument.
std::string ParseRenderArgs(const std::vector<std::string>& args, RenderArgs& out);

// Strict decimal: digits only (no sign, blanks or suffix), value <= maxValue.
bool ParseDecimal(const std::string& text, std::uint64_t maxValue, std::uint64_t& value);

// A strict decimal with an optional leading '-', within a signed 32-bit integer.
bool ParseSignedDecimal(const std::string& text, std::int32_t& value);

// "WxH" with both parts strict decimals in 0..65535.
bool ParseSize(const std::string& text, int& width, int& height);

// One usage line per command.
const char* RenderUsage();
