#include "relief_life.h"

#include <memory>
#include <new>

std::uint16_t ReliefDimension(int clientSize)
{
    if (clientSize < 0) return 0;
    if (clientSize > 0xFFFF) return 0xFFFF;
    return static_cast<std::uint16_t>(clientSize);
}

bool InitRelief(ReliefState& state, const ReliefSettings& settings, RuntimeRandom& random, std::uint32_t seed,
                int clientWidth, int clientHeight, std::int32_t usePalette,
                const std::uint8_t* picture, std::size_t pictureSize, int pixelBytes)
{
    SeedRuntimeRandom(random, seed);
    ClearReliefState(state);
    try {
        state.width = ReliefDimension(clientWidth);
        state.height = ReliefDimension(clientHeight);
        state.lens.centerX = static_cast<std::uint16_t>(state.width / 2);
        state.lens.centerY = static_cast<std::uint16_t>(state.height / 2);
        state.lens.lensSize = static_cast<std::uint16_t>(state.height / 2);
        const std::size_t size = state.lens.lensSize;
        state.lensPixelBytes = static_cast<std::uint8_t>(pixelBytes == 4 ? 4 : 3);
        state.lensPixels.assign(size * size * state.lensPixelBytes, 0);
        state.usePalette = usePalette;
        BuildPaletteRamp(state, settings, random);
        BuildLensMap(state.lens, state.colorCount, settings.Degrees, random);
        BuildHeightField(state, picture, pictureSize, settings.Invert);
        SoftenHeightFieldPasses(state, settings.Soften);
        BuildReliefFrameTables(state);
    } catch (const std::bad_alloc&) {
        ClearReliefState(state);
        return false;
    }
    return true;
}

ReliefPathPosition TickRelief(ReliefState& state, RuntimeRandom& random, DrawSurface& surface)
{
    const ReliefPathPosition position = StepLightPath(state.lens, random);
    const int size = state.lens.lensSize;
    if (size == 0 || state.colors.empty()) return position;
    ComputeReliefFramePixels(state, position);
    if (state.lensPixelBytes == 4) {
        surface.PutPixelBlock32(position.px, ReliefSquareTop(state, position), size, size, state.lensPixels.data());
    } else {
        surface.PutPixelBlock(position.px, ReliefSquareTop(state, position), size, size, state.lensPixels.data());
    }
    return position;
}

void FreeRelief(ReliefState& state) { ClearReliefState(state); }

namespace {

const char* const kReliefKeys[] = {"Degrees", "RGB_Red", "RGB_Green", "RGB_Blue", "UseColor",
                                   "ColorCount", "Delay", "Soften", "Invert", nullptr};

void* CreateReliefSaver(const SaverPlace& place, unsigned& timerPeriod)
{
    try {
        auto saver = std::make_unique<ReliefSaverState>();
        if (place.settings != nullptr) saver->settings = LoadReliefSettings(*place.settings);
        if (!InitRelief(saver->relief, saver->settings, saver->random, place.seed, place.width, place.height, place.usePalette,
                        place.picture, place.pictureSize, place.pixelBytes))
            return nullptr;
        if (place.usePalette != 0) {
            // The ramp holds platform colour values (red in the low byte);
            // a surface palette names colours as 0x00RRGGBB.
            saver->palette.colors.reserve(saver->relief.colors.size());
            for (const std::uint32_t color : saver->relief.colors)
                saver->palette.colors.push_back((color & 0xFFu) << 16 | (color & 0xFF00u) | (color >> 16 & 0xFFu));
            saver->palette.serial = 1;
            if (place.surface != nullptr) place.surface->SelectPalette(saver->palette);
        }
        timerPeriod = static_cast<unsigned>(saver->settings.Delay);
        return saver.release();
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void TickReliefSaver(void* state, const SaverPlace& place)
{
    if (state == nullptr || place.surface == nullptr) return;
    auto& saver = *static_cast<ReliefSaverState*>(state);
    if (!saver.palette.colors.empty()) place.surface->SelectPalette(saver.palette);
    const ReliefPathPosition position = TickRelief(saver.relief, saver.random, *place.surface);
    if (auto* events = dynamic_cast<ReliefEvents*>(place.events)) events->LightMoved(position);
}

void DestroyReliefSaver(void* state) { delete static_cast<ReliefSaverState*>(state); }

} // namespace

const SaverLife kReliefLife = {"relief", kReliefSection, kReliefKeys, CreateReliefSaver, TickReliefSaver, DestroyReliefSaver};
