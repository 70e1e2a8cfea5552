/* Linked into the programs of the native x87 build (scripts/x87-compare.sh):
 * sets the x87 precision control to 53 bits before any static constructor
 * or main runs, as the 32-bit Windows programs do at start-up, so that double
 * arithmetic on the x87 stack rounds as double arithmetic does. */
#include <fpu_control.h>

__attribute__((constructor(101))) static void SetX87DoublePrecision(void)
{
    fpu_control_t word;
    _FPU_GETCW(word);
    word = (fpu_control_t)((word & ~_FPU_EXTENDED) | _FPU_DOUBLE);
    _FPU_SETCW(word);
}
