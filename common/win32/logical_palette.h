// Logical palettes, made one way wherever the programs make them.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

using LogicalPaletteMaker = HPALETTE(WINAPI*)(const LOGPALETTE* description);

// A logical palette (version 0x300) of `count` entries, at most 256, each
// given by entry(i) as a PALETTEENTRY, made by `make` (CreatePalette, or a
// test's stand-in). nullptr when it cannot be made.
template <typename Entry>
HPALETTE MakeLogicalPalette(std::size_t count, Entry entry, LogicalPaletteMaker make = &CreatePalette)
{
    if (count > 256) count = 256;
    std::vector<std::uint8_t> storage;
    try {
        storage.resize(sizeof(LOGPALETTE) + count * sizeof(PALETTEENTRY));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    auto* description = reinterpret_cast<LOGPALETTE*>(storage.data());
    description->palVersion = 0x300;
    description->palNumEntries = static_cast<WORD>(count);
    for (std::size_t i = 0; i < count; ++i) description->palPalEntry[i] = entry(i);
    return make != nullptr ? make(description) : nullptr;
}
