// A module that, installed as a message hook in another program, leaves the
// processor's floating-point control word as a careless hook or input-method
// module may: on the x87, 64-bit precision; on both builds, the precision
// exception unmasked, so the program's next inexact operation faults unless
// the program puts the control word back before it computes.
#include <windows.h>

#include <cstdint>

extern "C" __declspec(dllexport) LRESULT CALLBACK UnsettleFloatingPoint(int code, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CallNextHookEx(nullptr, code, wParam, lParam);
#if defined(__i386__)
    const std::uint16_t word = 0x035F; // precision 64 bits, rounding to nearest, precision exception unmasked
    __asm__ __volatile__("fldcw %0" : : "m"(word));
#else
    const std::uint32_t word = 0x0F80; // every SSE exception masked but the precision exception
    __asm__ __volatile__("ldmxcsr %0" : : "m"(word));
#endif
    return result;
}
