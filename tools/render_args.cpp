#include "render_args.h"

#include <limits>

namespace {

constexpr std::uint64_t kMaxDimension = 65535;
constexpr std::uint64_t kMaxU32 = std::numeric_limits<std::uint32_t>::max();

// Setting keys are plain names; anything else would be read by the profile
// parser as a section header, a comment or part of the value.
bool IsSettingKey(const std::string& key)
{
    if (key.empty()) return false;
    for (char c : key) {
        const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '.';
        if (!ok) return false;
    }
    return true;
}

} // namespace

bool ParseDecimal(const std::string& text, std::uint64_t maxValue, std::uint64_t& value)
{
    if (text.empty()) return false;
    std::uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        const std::uint64_t digit = static_cast<std::uint64_t>(c - '0');
        if (v > (maxValue - digit) / 10) return false;
        v = v * 10 + digit;
    }
    value = v;
    return true;
}

bool ParseSize(const std::string& text, int& width, int& height)
{
    const std::string::size_type x = text.find('x');
    if (x == std::string::npos) return false;
    std::uint64_t w = 0, h = 0;
    if (!ParseDecimal(text.substr(0, x), kMaxDimension, w)) return false;
    if (!ParseDecimal(text.substr(x + 1), kMaxDimension, h)) return false;
    width = static_cast<int>(w);
    height = static_cast<int>(h);
    return true;
}

const char* RenderUsage()
{
    return "usage: saver-render relief --size WxH --seed N --frames K [--desktop FILE] [--ini FILE]"
           " [--set Key=Value]... --out DIR [--every M] [--trace]";
}

std::string ParseRenderArgs(const std::vector<std::string>& args, RenderArgs& out)
{
    out = RenderArgs();
    auto isHelp = [](const std::string& a) { return a == "--help" || a == "-h"; };
    if (args.empty()) return "missing saver name";
    if (isHelp(args[0])) {
        out.help = true;
        return std::string();
    }
    if (args[0].empty() || args[0][0] == '-') return "expected a saver name first, got '" + args[0] + "'";
    out.saver = args[0];

    bool haveSize = false, haveSeed = false, haveFrames = false, haveOut = false;
    bool haveDesktop = false, haveIni = false, haveEvery = false;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& opt = args[i];
        if (opt == "--trace") {
            out.trace = true;
            continue;
        }
        if (isHelp(opt)) {
            out.help = true;
            return std::string();
        }
        const bool takesValue = opt == "--size" || opt == "--seed" || opt == "--frames" || opt == "--desktop" ||
                                opt == "--ini" || opt == "--set" || opt == "--out" || opt == "--every";
        if (!takesValue) {
            if (!opt.empty() && opt[0] == '-') return "unknown option '" + opt + "'";
            return "unexpected argument '" + opt + "'";
        }
        if (i + 1 >= args.size()) return opt + ": missing value";
        const std::string& value = args[++i];
        auto once = [&](bool& seen) {
            if (seen) return false;
            seen = true;
            return true;
        };
        std::uint64_t n = 0;
        if (opt == "--size") {
            if (!once(haveSize)) return "--size given twice";
            if (!ParseSize(value, out.width, out.height))
                return "--size: expected WxH with W and H in 0..65535, got '" + value + "'";
        } else if (opt == "--seed") {
            if (!once(haveSeed)) return "--seed given twice";
            if (!ParseDecimal(value, kMaxU32, n)) return "--seed: expected a number in 0..4294967295, got '" + value + "'";
            out.seed = static_cast<std::uint32_t>(n);
        } else if (opt == "--frames") {
            if (!once(haveFrames)) return "--frames given twice";
            if (!ParseDecimal(value, kMaxU32, n)) return "--frames: expected a number in 0..4294967295, got '" + value + "'";
            out.frames = static_cast<std::uint32_t>(n);
        } else if (opt == "--every") {
            if (!once(haveEvery)) return "--every given twice";
            if (!ParseDecimal(value, kMaxU32, n) || n == 0)
                return "--every: expected a number in 1..4294967295, got '" + value + "'";
            out.every = static_cast<std::uint32_t>(n);
        } else if (opt == "--desktop") {
            if (!once(haveDesktop)) return "--desktop given twice";
            if (value.empty()) return "--desktop: empty file name";
            out.desktopPath = value;
        } else if (opt == "--ini") {
            if (!once(haveIni)) return "--ini given twice";
            if (value.empty()) return "--ini: empty file name";
            out.iniPath = value;
        } else if (opt == "--out") {
            if (!once(haveOut)) return "--out given twice";
            if (value.empty()) return "--out: empty directory name";
            out.outDir = value;
        } else { // --set
            const std::string::size_type eq = value.find('=');
            if (eq == std::string::npos) return "--set: expected Key=Value, got '" + value + "'";
            const std::string key = value.substr(0, eq);
            if (!IsSettingKey(key)) return "--set: bad key '" + key + "' (letters, digits, '_' and '.' only)";
            const std::string text = value.substr(eq + 1);
            for (char c : text) {
                if (c == '\n' || c == '\r') return "--set: value of '" + key + "' holds a line break";
            }
            out.sets.emplace_back(key, text);
        }
    }
    if (!haveSize) return "missing --size";
    if (!haveSeed) return "missing --seed";
    if (!haveFrames) return "missing --frames";
    if (!haveOut) return "missing --out";
    return std::string();
}
