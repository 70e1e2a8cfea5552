// The relief saver's window creation and ticks on a software surface of any
// size 0..400 each way, with any settings, seed and desktop picture (short
// pictures as given, black where they end, or the input's bytes repeated over
// the whole picture), then its destruction.
#include <algorithm>
#include <vector>

#include "headless/software_surface.h"
#include "fuzz_support.h"
#include "relief/relief_life.h"

namespace {

// The softening passes of one input stay within this many cell visits, so an
// input runs in milliseconds; a huge Soften still reaches the 255-pass cap on
// small windows.
constexpr std::int64_t kSoftenBudget = 600000;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    const int width = ConsumeSide(input);
    const int height = ConsumeSide(input);
    const std::uint32_t seed = input.ConsumeIntegral<std::uint32_t>();
    const std::int32_t usePalette = ConsumeSettingValue(input);
    ReliefSettings settings;
    settings.Degrees = ConsumeSettingValue(input);
    settings.RGB_Red = ConsumeSettingValue(input);
    settings.RGB_Green = ConsumeSettingValue(input);
    settings.RGB_Blue = ConsumeSettingValue(input);
    settings.UseColor = ConsumeSettingValue(input);
    settings.ColorCount = ConsumeSettingValue(input);
    settings.Delay = ConsumeSettingValue(input);
    settings.Soften = ConsumeSettingValue(input);
    settings.Invert = ConsumeSettingValue(input);
    const int ticks = input.ConsumeIntegralInRange<int>(0, 6);
    const bool repeat = input.ConsumeBool();
    std::vector<std::uint8_t> picture = input.ConsumeRemainingBytes<std::uint8_t>();

    const std::int64_t cells = static_cast<std::int64_t>(width) * height;
    if (cells > 0 && settings.Soften > 0 && std::min<std::int64_t>(settings.Soften, kMaxSoftenPasses) * cells > kSoftenBudget)
        settings.Soften = static_cast<std::int32_t>(kSoftenBudget / cells);
    const std::size_t pictureSize = static_cast<std::size_t>(cells) * 3;
    if (repeat && !picture.empty()) {
        std::vector<std::uint8_t> whole(pictureSize);
        for (std::size_t i = 0; i < pictureSize; ++i) whole[i] = picture[i % picture.size()];
        picture.swap(whole);
    }

    ReliefState state;
    RuntimeRandom random;
    SoftwareSurface surface(width, height);
    FUZZ_CHECK(InitRelief(state, settings, random, seed, width, height, usePalette, picture.data(), picture.size()));
    const int lens = height / 2;
    FUZZ_CHECK(state.width == width && state.height == height && state.lens.lensSize == lens);
    FUZZ_CHECK(state.colorCount >= 2 && state.colorCount <= 128 && state.colors.size() == state.colorCount);
    FUZZ_CHECK(state.heights.size() == static_cast<std::size_t>(cells));
    // Brightness maps to heights 0..S, and averaging keeps them there.
    for (std::uint16_t h : state.heights) FUZZ_CHECK(h <= lens);

    // Every lens pixel shows a colour of the ramp.
    std::vector<std::uint32_t> ramp(state.colors); // 0x00BBGGRR: blue, green, red from the top byte down
    std::sort(ramp.begin(), ramp.end());
    for (int t = 0; t < ticks; ++t) {
        const ReliefPathPosition position = TickRelief(state, random, surface);
        // The path of a window at least half as wide as high never leaves
        // the 16-bit range.
        if (2 * width >= height) FUZZ_CHECK(position.px >= 0 && position.px <= 0xFFFF && position.py >= 0 && position.py <= 0xFFFF);
        if (lens == 0) continue;
        FUZZ_CHECK(state.lensPixels.size() == static_cast<std::size_t>(lens) * static_cast<std::size_t>(lens) * 3);
        for (std::size_t i = 0; i < state.lensPixels.size(); i += 3) {
            const std::uint32_t bgr = static_cast<std::uint32_t>(state.lensPixels[i]) << 16 | static_cast<std::uint32_t>(state.lensPixels[i + 1]) << 8 |
                                      state.lensPixels[i + 2];
            FUZZ_CHECK(std::binary_search(ramp.begin(), ramp.end(), bgr));
        }
    }
    FreeRelief(state);
    FUZZ_CHECK(state.heights.empty() && state.colors.empty() && state.lensPixels.empty());
    return 0;
}
