#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "headless/ini_settings_store.h"
#include "common/settings_path.h"
#include "relief/relief_settings.h"

namespace {

// Records every read and write, in order, and answers reads from a map.
class RecordingStore : public SettingsStore {
public:
    std::map<std::string, std::int32_t> values;
    std::vector<std::string> reads;
    std::vector<std::pair<std::string, std::string>> writes;

    std::int32_t ReadSettingInt(const char* section, const char* key, std::int32_t defaultValue) override
    {
        EXPECT_STREQ(section, "ScreenSaver.Ondrels");
        reads.push_back(key);
        const auto it = values.find(key);
        return it == values.end() ? defaultValue : it->second;
    }
    void WriteSettingString(const char* section, const char* key, const char* text) override
    {
        EXPECT_STREQ(section, "ScreenSaver.Ondrels");
        writes.emplace_back(key, text);
    }
};

std::string TempPath(const char* name) { return ::testing::TempDir() + name; }

} // namespace

TEST(ReliefSettings, DefaultsWithoutAFileAndReadOrder)
{
    RecordingStore store;
    const ReliefSettings s = LoadReliefSettings(store);
    EXPECT_EQ(s.Degrees, 10);
    EXPECT_EQ(s.UseColor, 0);
    EXPECT_EQ(s.ColorCount, 64);
    EXPECT_EQ(s.Delay, 1000); // a missing Delay reads as 1, out of range
    EXPECT_EQ(s.Soften, 1);
    EXPECT_EQ(s.Invert, 0);
    EXPECT_EQ(s.RGB_Red, 0);
    EXPECT_EQ(s.RGB_Green, 0);
    EXPECT_EQ(s.RGB_Blue, 0);
    EXPECT_EQ(store.reads, (std::vector<std::string>{"Degrees", "UseColor", "ColorCount", "Delay", "Soften", "Invert"}));
}

TEST(ReliefSettings, ColourKeysReadOnlyWhenUseColorIsSet)
{
    RecordingStore store;
    store.values = {{"UseColor", 0}, {"RGB_Red", 10}, {"RGB_Green", 20}, {"RGB_Blue", 30}};
    ReliefSettings s = LoadReliefSettings(store);
    EXPECT_EQ(s.RGB_Red + s.RGB_Green + s.RGB_Blue, 0);

    store = RecordingStore();
    store.values = {{"UseColor", 7}};
    s = LoadReliefSettings(store);
    EXPECT_EQ(s.UseColor, 7);
    EXPECT_EQ(s.RGB_Red, 156);
    EXPECT_EQ(s.RGB_Green, 164);
    EXPECT_EQ(s.RGB_Blue, 34);
    EXPECT_EQ(store.reads.back(), "RGB_Blue");
    EXPECT_EQ(store.reads.size(), 9u);
}

TEST(ReliefSettings, DelayOutsideTenToFiveThousandBecomesOneSecond)
{
    const std::pair<std::int32_t, std::int32_t> cases[] = {{9, 1000}, {10, 10}, {5000, 5000}, {5001, 1000}, {-5, 1000}, {0, 1000}};
    for (const auto& c : cases) {
        RecordingStore store;
        store.values["Delay"] = c.first;
        EXPECT_EQ(LoadReliefSettings(store).Delay, c.second) << c.first;
    }
}

TEST(ReliefSettings, WritesAllNineKeysInOrderWithFlagsAsOneOrZero)
{
    RecordingStore store;
    ReliefSettings s;
    s.Degrees = 270;
    s.Invert = 5;
    s.UseColor = 0;
    s.ColorCount = 16;
    s.Delay = 40;
    s.Soften = -3;
    s.RGB_Red = 1;
    s.RGB_Green = 2;
    s.RGB_Blue = 300;
    SaveReliefSettings(store, s);
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"Degrees", "270"}, {"Invert", "1"}, {"UseColor", "0"}, {"ColorCount", "16"}, {"Delay", "40"},
        {"Soften", "-3"}, {"RGB_Red", "1"}, {"RGB_Green", "2"}, {"RGB_Blue", "300"}};
    EXPECT_EQ(store.writes, expected);
}

TEST(SettingsPath, ReplacesEverythingAfterTheLastDot)
{
    EXPECT_EQ(BuildSettingsPath("D:\\SAVERS\\RELIEF.SCR"), "D:\\SAVERS\\RELIEF.INI");
    EXPECT_EQ(BuildSettingsPath("D:\\A.B\\SAVER"), "D:\\A.INI");
    EXPECT_EQ(BuildSettingsPath("C:\\x\\saver.tar.scr"), "C:\\x\\saver.tar.INI");
    EXPECT_EQ(BuildSettingsPath("C:\\x\\saver."), "C:\\x\\saver.INI");
    EXPECT_EQ(BuildSettingsPath("C:\\NODOT\\SAVER"), "C:\\NODOT\\SAVER.INI");
    EXPECT_EQ(BuildSettingsPath(""), ".INI");
}

TEST(SettingsPath, LongPathsAreNeverCut)
{
    // Paths far beyond 128 characters, with the dot near the old buffer's end
    // and well past it.
    for (std::size_t length : {120u, 125u, 126u, 127u, 128u, 259u, 1000u}) {
        const std::string directory = "C:\\" + std::string(length, 'd') + "\\";
        EXPECT_EQ(BuildSettingsPath(directory + "ondrels.scr"), directory + "ondrels.INI");
    }
}

TEST(IniSettingsStore, ReadsTheDecimalNumberAtTheStartOfTheValue)
{
    EXPECT_EQ(ParseProfileInt("42"), 42);
    EXPECT_EQ(ParseProfileInt("  17abc"), 17);
    EXPECT_EQ(ParseProfileInt("-9"), -9);
    EXPECT_EQ(ParseProfileInt("+8"), 8);
    EXPECT_EQ(ParseProfileInt("abc"), 0);
    EXPECT_EQ(ParseProfileInt("4294967297"), 1); // wraps in 32 bits
    EXPECT_EQ(ParseProfileInt("2147483648"), INT32_MIN);
}

TEST(IniSettingsStore, ReadsAFileAsTheProfileApiDoes)
{
    const std::string path = TempPath("relief_read.ini");
    {
        std::ofstream out(path, std::ios::binary);
        out << "[Other]\r\nDegrees=999\r\n"
            << "  [screensaver.ondrels]  \r\n"
            << "degrees = 360 \r\n"
            << "ColorCount=\"16\"\r\n"
            << "Delay=\r\n"
            << "Soften=x3\r\n"
            << "Degrees=200\r\n"
            << "[ScreenSaver.Ondrels]\r\nInvert=1\r\n";
    }
    IniSettingsStore store;
    ASSERT_TRUE(store.Load(path));
    const ReliefSettings s = LoadReliefSettings(store);
    EXPECT_EQ(s.Degrees, 360);   // first key of the first matching section, any case
    EXPECT_EQ(s.ColorCount, 16); // quotes around a value are dropped
    EXPECT_EQ(s.Delay, 1000);    // an empty value reads as the default
    EXPECT_EQ(s.Soften, 0);      // text that is no number reads as 0
    EXPECT_EQ(s.Invert, 0);      // a second section of the same name is not read
    std::remove(path.c_str());
}

TEST(IniSettingsStore, WrittenSettingsReadBackAndOtherSectionsSurvive)
{
    const std::string path = TempPath("relief_write.ini");
    {
        std::ofstream out(path, std::ios::binary);
        out << "[Keep]\nA=1\n\n[ScreenSaver.Ondrels]\nDegrees=181\n";
    }
    IniSettingsStore store;
    ASSERT_TRUE(store.Load(path));
    store.SetPath(path);
    ReliefSettings s;
    s.Degrees = 300;
    s.UseColor = 1;
    s.RGB_Red = 10;
    s.RGB_Green = 20;
    s.RGB_Blue = 30;
    s.Delay = 77;
    SaveReliefSettings(store, s);

    IniSettingsStore again;
    ASSERT_TRUE(again.Load(path));
    const ReliefSettings back = LoadReliefSettings(again);
    EXPECT_EQ(back.Degrees, 300);
    EXPECT_EQ(back.UseColor, 1);
    EXPECT_EQ(back.RGB_Blue, 30);
    EXPECT_EQ(back.Delay, 77);
    EXPECT_EQ(again.ReadSettingInt("Keep", "A", 5), 1);
    EXPECT_EQ(again.ReadSettingInt("Keep", "Missing", 5), 5);
    std::remove(path.c_str());
}

TEST(IniSettingsStore, TextReadsAsTheSameFileWould)
{
    IniSettingsStore store;
    store.LoadText("[Other]\nDegrees=999\n[ScreenSaver.Ondrels]\r\nDegrees=270\r\nDelay=20");
    EXPECT_EQ(store.ReadSettingInt("ScreenSaver.Ondrels", "Degrees", 10), 270);
    EXPECT_EQ(store.ReadSettingInt("ScreenSaver.Ondrels", "Delay", 1), 20); // last line without an end
    // A second text replaces the first.
    store.LoadText("[ScreenSaver.Ondrels]\n");
    EXPECT_EQ(store.ReadSettingInt("ScreenSaver.Ondrels", "Degrees", 10), 10);
    EXPECT_EQ(store.ReadSettingInt("Other", "Degrees", 5), 5);
}

TEST(IniSettingsStore, MissingFileIsAnEmptyProfile)
{
    IniSettingsStore store;
    EXPECT_TRUE(store.Load(TempPath("no_such_file.ini")));
    EXPECT_EQ(store.ReadSettingInt("ScreenSaver.Ondrels", "Degrees", 10), 10);
}
