// Fixed numbers and whole runs recorded once by the native build and checked by
// every build, so the Windows programs (another C runtime's sin, pow and sqrt,
// another compiler's float handling) are shown to draw exactly the native
// pictures.
// Record anew with SAVER_RECORD_GOLDEN=1 after an intended change.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "headless/software_surface.h"
#include "relief/relief_life.h"

namespace {

std::string DataPath(const char* name)
{
    std::string path = std::string(SAVER_TEST_DATA_DIR) + "/" + name;
#ifdef _WIN32
    if (!path.empty() && path[0] == '/') path = "Z:" + path; // Wine's view of the Linux tree
#endif
    return path;
}

struct Fnv {
    std::uint64_t hash = 1469598103934665603ull;
    void Add(const void* data, std::size_t size)
    {
        const auto* bytes = static_cast<const std::uint8_t*>(data);
        for (std::size_t i = 0; i < size; ++i) hash = (hash ^ bytes[i]) * 1099511628211ull;
    }
    template <typename T> void AddValue(T value) { Add(&value, sizeof value); }
    std::string Text() const
    {
        std::ostringstream out;
        out << std::hex << hash;
        return out.str();
    }
};

std::vector<std::uint8_t> Picture(int width, int height, std::uint32_t seed)
{
    std::vector<std::uint8_t> picture(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3);
    for (auto& byte : picture) {
        seed = seed * 1664525u + 1013904223u;
        byte = static_cast<std::uint8_t>(seed >> 24);
    }
    return picture;
}

// name -> value, in a fixed order.
std::vector<std::pair<std::string, std::string>> ComputeValues()
{
    std::vector<std::pair<std::string, std::string>> values;
    // The runtimes' sin may differ in the last bit; what a picture depends on
    // is the truncated offset T(amplitude x sine) of the light path, for every
    // amplitude a window up to 8000 pixels wide or high can give.
    for (int count : {180, 181, 360, 1000, 65535}) {
        ReliefLens lens;
        BuildSineTable(lens, count);
        Fnv fnv;
        const int step = count > 1000 ? 97 : 1;
        for (int amplitude = -2000; amplitude <= 4000; amplitude += step) {
            for (double s : lens.sines) fnv.AddValue(static_cast<int>(amplitude * s));
        }
        values.emplace_back("path offsets " + std::to_string(count), fnv.Text());
    }
    {
        Fnv fnv;
        for (int last = 1; last < 128; ++last) {
            for (int base = 0; base < 256; ++base) {
                for (int entry = 0; entry <= last; ++entry) fnv.AddValue(RampChannel(base, entry, last));
            }
        }
        values.emplace_back("ramp channels", fnv.Text());
    }
    for (int size : {5, 20, 100, 384, 525, 540, 1080}) {
        for (int n : {2, 64, 128}) {
            ReliefLens lens;
            lens.lensSize = static_cast<std::uint16_t>(size);
            RuntimeRandom random;
            BuildLensMap(lens, n, 10, random);
            Fnv fnv;
            fnv.Add(lens.lensMap.data(), lens.lensMap.size());
            values.emplace_back("lens " + std::to_string(size) + " " + std::to_string(n), fnv.Text());
        }
    }
    struct RunCase {
        int width, height;
        std::uint32_t seed;
        int degrees, colorCount, soften, invert, frames;
    };
    const RunCase runs[] = {{152, 112, 1, 10, 64, 1, 0, 300}, {151, 113, 99, 360, 16, 2, 1, 300},
                            {640, 480, 123456, 200, 128, 8, 0, 200}, {1024, 768, 0xDEADBEEF, 1000, 2, 0, 1, 100},
                            {9, 11, 5, 10, 64, 1, 0, 50}, {40, 300, 17, 10, 64, 1, 0, 200}};
    for (const RunCase& c : runs) {
        ReliefSettings settings;
        settings.Degrees = c.degrees;
        settings.ColorCount = c.colorCount;
        settings.Soften = c.soften;
        settings.Invert = c.invert;
        const auto picture = Picture(c.width, c.height, c.seed);
        ReliefState state;
        RuntimeRandom random;
        InitRelief(state, settings, random, c.seed, c.width, c.height, 0, picture.data(), picture.size());
        SoftwareSurface surface(c.width, c.height);
        Fnv fnv;
        fnv.Add(state.heights.data(), state.heights.size() * sizeof(std::uint16_t));
        for (int frame = 0; frame < c.frames; ++frame) {
            const ReliefPathPosition p = TickRelief(state, random, surface);
            fnv.AddValue(p.px);
            fnv.AddValue(p.py);
        }
        fnv.Add(surface.pixels.data(), surface.pixels.size() * sizeof(std::uint32_t));
        std::ostringstream name;
        name << "run " << c.width << "x" << c.height << " seed " << c.seed;
        values.emplace_back(name.str(), fnv.Text());
    }
    return values;
}

} // namespace

TEST(GoldenValues, EveryBuildComputesTheRecordedNumbers)
{
    const auto values = ComputeValues();
    const std::string path = DataPath("relief_golden.txt");
    const char* record = std::getenv("SAVER_RECORD_GOLDEN");
    if (record != nullptr && std::strcmp(record, "1") == 0) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        for (const auto& v : values) out << v.first << " = " << v.second << "\n";
        ASSERT_TRUE(static_cast<bool>(out)) << path;
        GTEST_SKIP() << "recorded " << values.size() << " values to " << path;
    }
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(static_cast<bool>(in)) << "cannot read " << path;
    std::map<std::string, std::string> recorded;
    std::string line;
    while (std::getline(in, line)) {
        const auto eq = line.find(" = ");
        if (eq != std::string::npos) recorded[line.substr(0, eq)] = line.substr(eq + 3);
    }
    ASSERT_EQ(recorded.size(), values.size());
    for (const auto& v : values) EXPECT_EQ(recorded[v.first], v.second) << v.first;
}
