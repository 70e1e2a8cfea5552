// The x87 precision of the 32-bit build, linked into every program that
// links the effect logic or the host (see the top CMakeLists.txt): the savers
// and the test programs that compute what the savers draw. They compute on
// the x87 stack, every value held at its own type (-ffloat-store); with the
// precision control at 53 bits each double operation then rounds once, as in
// the SSE arithmetic of the 64-bit and native builds, and draws the same
// pixels. The runtime starts the x87 at 64 bits, and its own sin, cos, sincos
// and pow are x87 code written for that: at 53 bits pow gives other last bits
// (the relief ramp's colours change), so those calls are wrapped
// (-Wl,--wrap=NAME) to run at 64 bits as they do in the 64-bit build. The
// host holds the precision again before every message reaches a saver
// (common/win32/floating_point.h), whatever another module did to it.
#include <cstdint>

#include "floating_point.h"

namespace {

constexpr std::uint16_t kPrecisionControl = 0x0300;
constexpr std::uint16_t kExtendedPrecision = 0x0300;

std::uint16_t ReadX87Control()
{
    std::uint16_t word;
    __asm__ __volatile__("fnstcw %0" : "=m"(word));
    return word;
}

void WriteX87Control(std::uint16_t word) { __asm__ __volatile__("fldcw %0" : : "m"(word)); }

void SetX87Precision(std::uint16_t precision)
{
    WriteX87Control(static_cast<std::uint16_t>((ReadX87Control() & ~kPrecisionControl) | precision));
}

// Runs a runtime function at 64 bits and puts the caller's precision back.
struct RuntimePrecision {
    const std::uint16_t saved = ReadX87Control();
    RuntimePrecision() { SetX87Precision(kExtendedPrecision); }
    ~RuntimePrecision() { WriteX87Control(saved); }
    RuntimePrecision(const RuntimePrecision&) = delete;
    RuntimePrecision& operator=(const RuntimePrecision&) = delete;
};

// Before every other constructor and WinMain, after the runtime's own
// start-up has set the x87 up.
__attribute__((constructor(101))) void HoldX87ToDoublePrecision() { HoldSaverFloatingPoint(); }

} // namespace

extern "C" {

double __real_sin(double x);
double __real_cos(double x);
double __real_pow(double x, double y);
void __real_sincos(double x, double* sine, double* cosine);

double __wrap_sin(double x)
{
    RuntimePrecision runtime;
    return __real_sin(x);
}

double __wrap_cos(double x)
{
    RuntimePrecision runtime;
    return __real_cos(x);
}

double __wrap_pow(double x, double y)
{
    RuntimePrecision runtime;
    return __real_pow(x, y);
}

void __wrap_sincos(double x, double* sine, double* cosine)
{
    RuntimePrecision runtime;
    __real_sincos(x, sine, cosine);
}

} // extern "C"
