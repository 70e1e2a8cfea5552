#include "host/saver_scan.h"

namespace {

// Blanks are the bytes 1 to 32; every other non-zero byte, 128 and above
// included, belongs to a name.
bool IsBlank(char c)
{
    const unsigned char byte = static_cast<unsigned char>(c);
    return byte >= 1 && byte <= 32;
}

bool IsNameCharacter(char c)
{
    return c != '\0' && !IsBlank(c);
}

const char* SkipSpaces(const char* text)
{
    while (*text == ' ')
        ++text;
    return text;
}

} // namespace

const char* SaverByteStep(const char* position)
{
    return *position == '\0' ? position : position + 1;
}

const char* SkipSaverProgramName(const char* commandLine, SaverCharStep step)
{
    if (commandLine == nullptr)
        return "";
    if (step == nullptr)
        step = SaverByteStep;

    const char* p = commandLine;
    if (*p == '"') {
        p = step(p);
        while (*p != '\0' && *p != '"')
            p = step(p);
        if (*p == '"')
            p = step(p);
    } else {
        while (IsNameCharacter(*p))
            p = step(p);
    }
    while (IsBlank(*p))
        p = step(p);
    return p;
}

SaverModeScan ScanSaverMode(const char* tail)
{
    if (tail == nullptr)
        return {SaverMode::Settings, ""};

    const char* p = tail;
    for (;;) {
        switch (*p) {
        case '\0':
            return {SaverMode::Settings, p};
        case ' ':
        case '-':
        case '/':
            ++p;
            continue;
        case 'a':
        case 'A':
            return {SaverMode::ChangePassword, SkipSpaces(p + 1)};
        case 'c':
        case 'C':
            return {SaverMode::SettingsOwned, p + 1};
        case 'l':
        case 'L':
        case 'p':
        case 'P':
            return {SaverMode::Preview, SkipSpaces(p + 1)};
        case 's':
        case 'S':
            return {SaverMode::FullScreen, p + 1};
        default:
            return {SaverMode::Bad, p};
        }
    }
}

std::uintptr_t ParseWindowHandle(const char* text)
{
    if (text == nullptr)
        return 0;
    // Unsigned 32-bit so that a digit run too long for 32 bits wraps instead of
    // overflowing; such a value as a rule names no window.
    std::uint32_t value = 0;
    for (const char* p = text; *p >= '0' && *p <= '9'; ++p)
        value = value * 10u + static_cast<std::uint32_t>(*p - '0');
    return value;
}
