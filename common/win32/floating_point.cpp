#include "floating_point.h"

#include <cstdint>

void HoldSaverFloatingPoint()
{
#if defined(__i386__)
    // Precision control 53 bits (0x0200), rounding to nearest (0), the six
    // exception masks set (0x003F); the infinity bit is left as found. The
    // exception flags are cleared first, so no flag a module left behind can
    // fire on the next instruction.
    std::uint16_t word;
    __asm__ __volatile__("fnstcw %0" : "=m"(word));
    word = static_cast<std::uint16_t>((word & 0xF0C0u) | 0x023Fu);
    __asm__ __volatile__("fnclex\n\tfldcw %0" : : "m"(word));
#elif defined(__x86_64__)
    // The default: every exception masked (0x1F80), rounding to nearest, no
    // flush to zero and no denormals-are-zero; the flags cleared.
    const std::uint32_t word = 0x1F80u;
    __asm__ __volatile__("ldmxcsr %0" : : "m"(word));
#endif
}
