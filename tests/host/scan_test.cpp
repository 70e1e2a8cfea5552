// Command-line scanning: program name, mode letter, window handle.
#include "host/saver_scan.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string TailOf(const char* commandLine)
{
    return SkipSaverProgramName(commandLine);
}

TEST(SaverProgramNameTest, QuotedNameWithSpacesEndsAtClosingQuote)
{
    EXPECT_EQ(TailOf("\"C:\\Program Files\\Savers\\ondrels.scr\" /s"), "/s");
    EXPECT_EQ(TailOf("\"C:\\a b.scr\"/s"), "/s");
    EXPECT_EQ(TailOf("\"\" /c"), "/c");
}

TEST(SaverProgramNameTest, UnclosedQuoteSwallowsTheWholeLine)
{
    EXPECT_EQ(TailOf("\"C:\\a b.scr /s"), "");
}

TEST(SaverProgramNameTest, PlainNameEndsAtTheFirstBlankOfAnyKind)
{
    EXPECT_EQ(TailOf("ondrels.scr /s"), "/s");
    EXPECT_EQ(TailOf("ondrels.scr\t/p 12"), "/p 12");
    EXPECT_EQ(TailOf("ondrels.scr\x01\x1f /s"), "/s");
    EXPECT_EQ(TailOf("ondrels.scr"), "");
    EXPECT_EQ(TailOf("ondrels.scr   "), "");
    // A quote inside an unquoted name is an ordinary name character.
    EXPECT_EQ(TailOf("on\"drels /s\" /c"), "/s\" /c");
}

TEST(SaverProgramNameTest, BytesAbove127BelongToTheName)
{
    EXPECT_EQ(TailOf("C:\\\xe4\xf6\x81\x40.scr /s"), "/s");
}

TEST(SaverProgramNameTest, EmptyAndMissingLines)
{
    EXPECT_EQ(TailOf(""), "");
    EXPECT_EQ(TailOf("   /s"), "/s");
    EXPECT_STREQ(SkipSaverProgramName(nullptr), "");
}

// A step that treats 0x81..0x9f as lead bytes of two-byte characters, as a
// double-byte code page does. A trail byte may look like a quote or a blank
// only if the step is ignored, so the name rules must go through it.
const char* DoubleByteStep(const char* p)
{
    if (*p == '\0')
        return p;
    const unsigned char byte = static_cast<unsigned char>(*p);
    if (byte >= 0x81 && byte <= 0x9f && p[1] != '\0')
        return p + 2;
    return p + 1;
}

TEST(SaverProgramNameTest, StepsThroughTheGivenCharacterStep)
{
    // 0x81 0x22 is one character here: its trail byte must not end the quote.
    EXPECT_EQ(std::string(SkipSaverProgramName("\"a\x81\"b\" /s", DoubleByteStep)), "/s");
    EXPECT_EQ(std::string(SkipSaverProgramName("\"a\x81\"b\" /s")), "b\" /s");
    // 0x81 0x20 is one character: the name does not end at its trail byte.
    EXPECT_EQ(std::string(SkipSaverProgramName("a\x81 b /s", DoubleByteStep)), "/s");
}

struct ModeCase {
    const char* tail;
    SaverMode mode;
    const char* rest;  // nullptr: not checked
};

class SaverModeScanTest : public ::testing::TestWithParam<ModeCase> {};

TEST_P(SaverModeScanTest, PicksTheModeAndTheRest)
{
    const ModeCase& c = GetParam();
    const SaverModeScan scan = ScanSaverMode(c.tail);
    EXPECT_EQ(scan.mode, c.mode) << "tail \"" << c.tail << "\"";
    if (c.rest != nullptr) {
        EXPECT_STREQ(scan.rest, c.rest) << "tail \"" << c.tail << "\"";
    }
}

INSTANTIATE_TEST_SUITE_P(CommandTails, SaverModeScanTest, ::testing::Values(
    ModeCase{"", SaverMode::Settings, ""},
    ModeCase{"   ", SaverMode::Settings, ""},
    ModeCase{"/-/ ", SaverMode::Settings, ""},
    ModeCase{"/s", SaverMode::FullScreen, nullptr},
    ModeCase{"-s", SaverMode::FullScreen, nullptr},
    ModeCase{"s", SaverMode::FullScreen, nullptr},
    ModeCase{"   /S", SaverMode::FullScreen, nullptr},
    ModeCase{"/-/s", SaverMode::FullScreen, nullptr},
    ModeCase{"/sx", SaverMode::FullScreen, nullptr},
    ModeCase{"/c", SaverMode::SettingsOwned, nullptr},
    ModeCase{"/c:1234", SaverMode::SettingsOwned, nullptr},
    ModeCase{"C", SaverMode::SettingsOwned, nullptr},
    ModeCase{"/p 1234", SaverMode::Preview, "1234"},
    ModeCase{"/l 1234", SaverMode::Preview, "1234"},
    ModeCase{"/P   56 78", SaverMode::Preview, "56 78"},
    ModeCase{"/L7", SaverMode::Preview, "7"},
    ModeCase{"/p:1234", SaverMode::Preview, ":1234"},
    ModeCase{"/p", SaverMode::Preview, ""},
    ModeCase{"/p\t12", SaverMode::Preview, "\t12"},
    ModeCase{"/a 99", SaverMode::ChangePassword, "99"},
    ModeCase{"A", SaverMode::ChangePassword, ""},
    ModeCase{"/\ts", SaverMode::Bad, nullptr},
    ModeCase{"\t/s", SaverMode::Bad, nullptr},
    ModeCase{"/x", SaverMode::Bad, nullptr},
    ModeCase{"/1", SaverMode::Bad, nullptr},
    ModeCase{"//?", SaverMode::Bad, nullptr},
    ModeCase{"/\xe4", SaverMode::Bad, nullptr},
    ModeCase{"x /s", SaverMode::Bad, nullptr}));

TEST(SaverModeScanTest, MissingTailIsTheSettingsMode)
{
    EXPECT_EQ(ScanSaverMode(nullptr).mode, SaverMode::Settings);
}

TEST(ParseWindowHandleTest, ReadsLeadingDecimalDigits)
{
    EXPECT_EQ(ParseWindowHandle("1234"), 1234u);
    EXPECT_EQ(ParseWindowHandle("0001234"), 1234u);
    EXPECT_EQ(ParseWindowHandle("4294967295"), 4294967295u);
}

TEST(ParseWindowHandleTest, StopsAtTheFirstNonDigit)
{
    EXPECT_EQ(ParseWindowHandle("12:34"), 12u);
    EXPECT_EQ(ParseWindowHandle("12 34"), 12u);
    EXPECT_EQ(ParseWindowHandle("12\xb3"), 12u);
    EXPECT_EQ(ParseWindowHandle(":1234"), 0u);
    EXPECT_EQ(ParseWindowHandle(" 1234"), 0u);
    EXPECT_EQ(ParseWindowHandle("-5"), 0u);
    EXPECT_EQ(ParseWindowHandle(""), 0u);
    EXPECT_EQ(ParseWindowHandle(nullptr), 0u);
}

TEST(ParseWindowHandleTest, BytesAbove127AreNeverDigits)
{
    // 0xb0..0xb9 would be '0'..'9' if the top bit were dropped.
    EXPECT_EQ(ParseWindowHandle("\xb1\xb2"), 0u);
}

TEST(ParseWindowHandleTest, LongDigitRunsWrapAt32Bits)
{
    EXPECT_EQ(ParseWindowHandle("4294967296"), 0u);
    EXPECT_EQ(ParseWindowHandle("4294967297"), 1u);
    EXPECT_EQ(ParseWindowHandle("99999999999"), 1215752191u);
    EXPECT_EQ(ParseWindowHandle("123456789012345678901234567890"), 1312754386u);
}

} // namespace
