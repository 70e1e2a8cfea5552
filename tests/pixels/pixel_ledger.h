// The pixel ledger: what the Windows tests saw the programs draw, written down
// so that a native program can draw the same with the native build and
// compare (tests/pixels/windows_pixel_check.cpp). The Windows tests of both
// builds append a line per picture: its kind, the settings and seed it was
// drawn with, and a hash of its pixels. Portable: no platform header.
#pragma once

#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace pixel_ledger {

// FNV-1a over the pixels' 0x00RRGGBB values, low byte first.
inline std::uint64_t HashPixels(const std::vector<std::uint32_t>& pixels)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const std::uint32_t p : pixels) {
        for (int shift = 0; shift < 32; shift += 8) {
            hash ^= (p >> shift) & 0xFFu;
            hash *= 1099511628211ull;
        }
    }
    return hash;
}

inline std::string HexHash(std::uint64_t hash)
{
    std::ostringstream out;
    out << std::hex << hash;
    return out.str();
}

// A desktop picture with bright bands and dark blocks, so slopes show in the
// relief: width x height pixels, bottom-up rows of blue, green, red.
inline std::vector<std::uint8_t> PatternPicture(int width, int height)
{
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool bright = ((x / 23) + (y / 17)) % 3 == 0;
            const std::size_t at = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
            picture[at] = static_cast<std::uint8_t>(bright ? 250 : x % 40);
            picture[at + 1] = static_cast<std::uint8_t>(bright ? 240 : y % 60);
            picture[at + 2] = static_cast<std::uint8_t>(bright ? 230 : 10);
        }
    }
    return picture;
}

// One line: the kind, then name=value fields, blank-separated.
struct Entry {
    std::string kind;
    std::map<std::string, std::string> fields;
    long long Number(const std::string& name) const
    {
        const auto found = fields.find(name);
        return found == fields.end() ? 0 : std::stoll(found->second);
    }
    std::string Text(const std::string& name) const
    {
        const auto found = fields.find(name);
        return found == fields.end() ? std::string() : found->second;
    }
};

inline std::string FormatLine(const std::string& kind, const std::vector<std::pair<std::string, std::string>>& fields)
{
    std::string line = kind;
    for (const auto& field : fields) line += " " + field.first + "=" + field.second;
    return line;
}

inline bool ParseLine(const std::string& line, Entry& entry)
{
    std::istringstream words(line);
    if (!(words >> entry.kind)) return false;
    entry.fields.clear();
    std::string word;
    while (words >> word) {
        const std::size_t equals = word.find('=');
        if (equals == std::string::npos) return false;
        entry.fields[word.substr(0, equals)] = word.substr(equals + 1);
    }
    return true;
}

inline void AppendLine(const std::string& path, const std::string& line)
{
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << line << "\n";
}

} // namespace pixel_ledger
