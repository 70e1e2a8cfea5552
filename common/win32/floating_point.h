// The floating-point state the savers compute in. Another module loaded into
// the process (a hook, an input-method module) may change the processor's
// floating-point control word; the host puts it back before every message
// and dialog message reaches a saver, so frames never depend on it.
#pragma once

// 32-bit build: the x87 at double precision, rounding to nearest, every
// exception masked. 64-bit build: the SSE control word at rounding to
// nearest, every exception masked, denormals kept.
void HoldSaverFloatingPoint();
