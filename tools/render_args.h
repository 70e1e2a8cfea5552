// Command line of the headless renderer:
//   saver-render SAVER --size WxH --seed N --frames K [--desktop FILE]
//                [--ini FILE] [--set Key=Value]... --out DIR [--every M] [--trace]
// Parsing only checks the shape of the arguments; whether SAVER exists and
// whether the files can be read is decided by the caller.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

struct RenderArgs {
    std::string saver;
    int width = 0;
    int height = 0;
    std::uint32_t seed = 0;
    std::uint32_t frames = 0;
    std::string desktopPath; // empty: the built-in synthetic desktop
    std::string iniPath;     // empty: no settings file
    // Key/value pairs of --set in command-line order.
    std::vector<std::pair<std::string, std::string>> sets;
    std::string outDir;
    std::uint32_t every = 1;
    bool trace = false;
    bool help = false; // --help or -h: print the usage and stop
};

// Parses the arguments after the program name. Returns an empty string on
// success, else a one-line message naming the offending argument.
std::string ParseRenderArgs(const std::vector<std::string>& args, RenderArgs& out);

// Strict decimal: digits only (no sign, blanks or suffix), value <= maxValue.
bool ParseDecimal(const std::string& text, std::uint64_t maxValue, std::uint64_t& value);

// "WxH" with both parts strict decimals in 0..65535.
bool ParseSize(const std::string& text, int& width, int& height);

const char* RenderUsage();
