#include "render_args.h"

#include <cstddef>
#include <iterator>
#include <limits>

namespace {

constexpr std::uint64_t kMaxDimension = 65535;
constexpr std::uint64_t kMaxU32 = std::numeric_limits<std::uint32_t>::max();
constexpr std::uint64_t kMaxDelayFactor = 1000;

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

std::string U32Option(const char* name, const std::string& value, std::uint32_t& field)
{
    std::uint64_t n = 0;
    if (!ParseDecimal(value, kMaxU32, n)) return std::string(name) + ": expected a number in 0..4294967295, got '" + value + "'";
    field = static_cast<std::uint32_t>(n);
    return std::string();
}

std::string PathOption(const char* name, const char* what, const std::string& value, std::string& field)
{
    if (value.empty()) return std::string(name) + ": empty " + what;
    field = value;
    return std::string();
}

// Stores an option's value in the arguments (flags get an empty value).
// Returns a one-line message when the value is malformed, else "".
using ApplyOption = std::string (*)(const std::string& value, RenderArgs& out);

struct OptionRule {
    const char* name;
    bool takesValue;
    bool repeatable; // may be given more than once (flags, --set)
    ApplyOption apply;
};

// Every option of every command; each command picks its own below.
const OptionRule kOptions[] = {
    {"--size", true, false,
     [](const std::string& v, RenderArgs& a) -> std::string {
         if (ParseSize(v, a.width, a.height)) return std::string();
         return "--size: expected WxH with W and H in 0..65535, got '" + v + "'";
     }},
    {"--seed", true, false, [](const std::string& v, RenderArgs& a) { return U32Option("--seed", v, a.seed); }},
    {"--frames", true, false, [](const std::string& v, RenderArgs& a) { return U32Option("--frames", v, a.frames); }},
    {"--ticks", true, false, [](const std::string& v, RenderArgs& a) { return U32Option("--ticks", v, a.ticks); }},
    {"--every", true, false,
     [](const std::string& v, RenderArgs& a) -> std::string {
         std::uint64_t n = 0;
         if (!ParseDecimal(v, kMaxU32, n) || n == 0) return "--every: expected a number in 1..4294967295, got '" + v + "'";
         a.every = static_cast<std::uint32_t>(n);
         return std::string();
     }},
    {"--number", true, false,
     [](const std::string& v, RenderArgs& a) -> std::string {
         if (ParseSignedDecimal(v, a.wipeNumber)) return std::string();
         return "--number: expected a number in -2147483648..2147483647, got '" + v + "'";
     }},
    {"--delay-factor", true, false,
     [](const std::string& v, RenderArgs& a) -> std::string {
         std::uint64_t n = 0;
         if (!ParseDecimal(v, kMaxDelayFactor, n)) return "--delay-factor: expected a number in 0..1000, got '" + v + "'";
         a.delayFactor = static_cast<int>(n);
         return std::string();
     }},
    {"--desktop", true, false, [](const std::string& v, RenderArgs& a) { return PathOption("--desktop", "file name", v, a.desktopPath); }},
    {"--ini", true, false, [](const std::string& v, RenderArgs& a) { return PathOption("--ini", "file name", v, a.iniPath); }},
    {"--out", true, false, [](const std::string& v, RenderArgs& a) { return PathOption("--out", "directory name", v, a.outDir); }},
    {"--set", true, true,
     [](const std::string& v, RenderArgs& a) -> std::string {
         const std::string::size_type eq = v.find('=');
         if (eq == std::string::npos) return "--set: expected Key=Value, got '" + v + "'";
         const std::string key = v.substr(0, eq);
         if (!IsSettingKey(key)) return "--set: bad key '" + key + "' (letters, digits, '_' and '.' only)";
         const std::string text = v.substr(eq + 1);
         for (char c : text) {
             if (c == '\n' || c == '\r') return "--set: value of '" + key + "' holds a line break";
         }
         a.sets.emplace_back(key, text);
         return std::string();
     }},
    {"--trace", false, true,
     [](const std::string&, RenderArgs& a) {
         a.trace = true;
         return std::string();
     }},
    {"--trace-draw", false, true,
     [](const std::string&, RenderArgs& a) {
         a.traceDraw = true;
         return std::string();
     }},
};

struct CommandRule {
    const char* name; // nullptr: any other first word, taken as a saver's name
    RenderCommand command;
    const char* options;  // the options it takes, separated by blanks
    const char* required; // those it cannot do without, in the order they are asked for
    const char* usage;    // its usage line after the program name
};

// A new command is one more entry here, its options above, and its run in
// RunRender.
const CommandRule kCommands[] = {
    {nullptr, RenderCommand::SaverFrames, "--size --seed --frames --desktop --ini --set --out --every --trace",
     "--size --seed --frames --out",
     "relief --size WxH --seed N --frames K [--desktop FILE] [--ini FILE] [--set Key=Value]... --out DIR [--every M] [--trace]"},
    {"wipe", RenderCommand::Wipe, "--size --seed --number --desktop --delay-factor --out --trace --trace-draw",
     "--size --seed --number --out",
     "wipe --size WxH --seed N --number K [--desktop FILE] [--delay-factor D] --out DIR [--trace] [--trace-draw]"},
    {"terrain", RenderCommand::Terrain, "--size --seed --ticks --ini --set --out --every --trace --trace-draw",
     "--size --seed --ticks --out",
     "terrain --size WxH --seed N --ticks K [--ini FILE] [--set Key=Value]... --out DIR [--every M] [--trace] [--trace-draw]"},
};

// The words of a blank-separated list, one at a time.
template <typename Visit>
void ForEachWord(const char* list, Visit visit)
{
    const std::string text = list;
    std::string::size_type at = 0;
    while (at < text.size()) {
        const std::string::size_type end = text.find(' ', at);
        const std::string::size_type stop = end == std::string::npos ? text.size() : end;
        if (stop > at) visit(text.substr(at, stop - at));
        at = stop + 1;
    }
}

bool InList(const char* list, const std::string& word)
{
    bool found = false;
    ForEachWord(list, [&](const std::string& w) { found = found || w == word; });
    return found;
}

// Index into kOptions, or -1.
int FindOption(const std::string& name)
{
    for (std::size_t i = 0; i < std::size(kOptions); ++i) {
        if (name == kOptions[i].name) return static_cast<int>(i);
    }
    return -1;
}

const CommandRule& FindCommand(const std::string& word)
{
    const CommandRule* fallback = nullptr;
    for (const CommandRule& c : kCommands) {
        if (c.name == nullptr) fallback = &c;
        else if (word == c.name) return c;
    }
    return *fallback;
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

bool ParseSignedDecimal(const std::string& text, std::int32_t& value)
{
    const bool negative = !text.empty() && text[0] == '-';
    const std::uint64_t limit = negative ? 2147483648u : 2147483647u;
    std::uint64_t magnitude = 0;
    if (!ParseDecimal(negative ? text.substr(1) : text, limit, magnitude)) return false;
    value = static_cast<std::int32_t>(negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude));
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
    static const std::string usage = [] {
        std::string text;
        for (const CommandRule& c : kCommands) text += std::string(text.empty() ? "usage: " : "\n       ") + "saver-render " + c.usage;
        return text;
    }();
    return usage.c_str();
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
    const CommandRule& command = FindCommand(args[0]);
    out.command = command.command;
    if (command.name == nullptr) out.saver = args[0];

    bool seen[std::size(kOptions)] = {};
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& opt = args[i];
        if (isHelp(opt)) {
            out.help = true;
            return std::string();
        }
        const int index = FindOption(opt);
        if (index < 0) {
            if (!opt.empty() && opt[0] == '-') return "unknown option '" + opt + "'";
            return "unexpected argument '" + opt + "'";
        }
        if (!InList(command.options, opt)) return "option '" + opt + "' does not apply to " + args[0];
        const OptionRule& rule = kOptions[index];
        std::string value;
        if (rule.takesValue) {
            if (i + 1 >= args.size()) return opt + ": missing value";
            value = args[++i];
        }
        if (seen[index] && !rule.repeatable) return opt + " given twice";
        seen[index] = true;
        const std::string error = rule.apply(value, out);
        if (!error.empty()) return error;
    }
    std::string missing;
    ForEachWord(command.required, [&](const std::string& name) {
        if (missing.empty() && !seen[FindOption(name)]) missing = "missing " + name;
    });
    return missing;
}
