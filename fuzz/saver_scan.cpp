// The host's command-line scan on any bytes: the input is the whole command
// line as the platform hands it to the entry (up to its first zero byte),
// split into program name and tail, the tail's mode read and the window
// handle after it parsed. Each input is also scanned as a bare tail.
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "host/saver_scan.h"

namespace {

bool IsBlank(char c)
{
    const unsigned char byte = static_cast<unsigned char>(c);
    return byte >= 1 && byte <= 32;
}

// A character step of a double-byte code page, as the platform's CharNextA
// takes it: a lead byte and the byte after it are one character, unless that
// byte ends the text; the terminating zero is never passed.
const char* DoubleByteStep(const char* position)
{
    const unsigned char byte = static_cast<unsigned char>(*position);
    if (byte == 0) return position;
    const bool lead = (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
    return lead && position[1] != '\0' ? position + 2 : position + 1;
}

void CheckHandle(const char* text, const char* end)
{
    const std::uintptr_t handle = ParseWindowHandle(text);
    FUZZ_CHECK(handle <= 0xFFFFFFFFu);
    // The digits at the start, read as a number and wrapped to 32 bits.
    std::uint64_t expected = 0;
    for (const char* p = text; p < end && *p >= '0' && *p <= '9'; ++p) expected = (expected * 10 + static_cast<unsigned>(*p - '0')) & 0xFFFFFFFFu;
    FUZZ_CHECK(handle == expected);
}

void CheckMode(const char* tail, const char* end)
{
    const SaverModeScan scan = ScanSaverMode(tail);
    FUZZ_CHECK(scan.rest >= tail && scan.rest <= end);
    // Everything before the deciding byte is a space, '-' or '/'.
    const char* decider = tail;
    while (decider < end && (*decider == ' ' || *decider == '-' || *decider == '/')) ++decider;
    switch (scan.mode) {
    case SaverMode::Settings:
        FUZZ_CHECK(decider == end && scan.rest == end);
        break;
    case SaverMode::SettingsOwned:
    case SaverMode::FullScreen:
        FUZZ_CHECK(scan.rest == decider + 1);
        break;
    case SaverMode::Preview:
    case SaverMode::ChangePassword:
        FUZZ_CHECK(scan.rest > decider && *scan.rest != ' ');
        for (const char* p = decider + 1; p < scan.rest; ++p) FUZZ_CHECK(*p == ' ');
        // The host reads the window handle from here.
        CheckHandle(scan.rest, end);
        break;
    case SaverMode::Bad:
        FUZZ_CHECK(scan.rest == decider && decider < end);
        FUZZ_CHECK(std::strchr("aAcClLpPsS", *decider) == nullptr);
        break;
    }
}

void CheckCommandLine(const char* line, const char* end, SaverCharStep step)
{
    const char* tail = SkipSaverProgramName(line, step);
    FUZZ_CHECK(tail >= line && tail <= end);
    FUZZ_CHECK(tail == end || !IsBlank(*tail));
    if (step == SaverByteStep && line < end) {
        // A plain name ends at the first blank; a quoted one at its closing
        // quote, or runs to the end when there is none.
        const char* nameEnd;
        if (*line == '"') {
            const char* close = static_cast<const char*>(std::memchr(line + 1, '"', static_cast<std::size_t>(end - line - 1)));
            nameEnd = close != nullptr ? close + 1 : end;
        } else {
            nameEnd = line;
            while (nameEnd < end && !IsBlank(*nameEnd)) ++nameEnd;
        }
        FUZZ_CHECK(tail >= nameEnd);
        for (const char* p = nameEnd; p < tail; ++p) FUZZ_CHECK(IsBlank(*p));
    }
    CheckMode(tail, end);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The platform's command line is a zero-terminated string: it ends at the
    // first zero byte of the input.
    const std::string text(reinterpret_cast<const char*>(data), size);
    const char* line = text.c_str();
    const char* end = line + std::strlen(line);
    CheckCommandLine(line, end, SaverByteStep);
    CheckCommandLine(line, end, DoubleByteStep);
    CheckMode(line, end);
    CheckHandle(line, end);
    return 0;
}
