// The command-line table, run end to end against a saver program: each tail
// must pick its mode and end with the mode's exit code.
#include "tests/host/saver_under_test.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr DWORD kBadCommandLine = 0xFFFFFFFFu;

enum class Expect { Settings, SettingsOwned, FullScreen, Preview, Bad };

struct CommandLineCase {
    const char* name;
    const char* tail;  // "%h" stands for the handle of a window of the test
    Expect expect;
};

std::string Substitute(std::string text, const std::string& handle)
{
    const size_t at = text.find("%h");
    if (at != std::string::npos)
        text.replace(at, 2, handle);
    return text;
}

// Closes whatever the mode showed the way a user would and checks the result.
void FinishSettings(SaverProcess& saver, HWND expectedOwner)
{
    const HWND dialog = saver.WaitForTopLevelWindow("#32770", kStartTimeoutMs);
    ASSERT_NE(dialog, nullptr) << "no settings dialog appeared";
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), expectedOwner);
    // As a user would: the Cancel button if there is one, else the close box.
    const HWND cancel = GetDlgItem(dialog, IDCANCEL);
    if (cancel != nullptr)
        PostMessageA(cancel, BM_CLICK, 0, 0);
    else
        PostMessageA(dialog, WM_CLOSE, 0, 0);
    DWORD code = 0;
    ASSERT_TRUE(saver.WaitForExit(kExitTimeoutMs, &code));
    EXPECT_EQ(code, 0u);
}

void FinishFullScreen(SaverProcess& saver)
{
    const HWND window = saver.WaitForTopLevelWindow("WindowsScreenSaverClass", kStartTimeoutMs);
    ASSERT_NE(window, nullptr) << "no full-screen window appeared";
    PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
    DWORD code = 1;
    ASSERT_TRUE(saver.WaitForExit(kExitTimeoutMs, &code));
    EXPECT_EQ(code, 0u);
}

void FinishPreview(SaverProcess& saver, TestWindow& parent)
{
    HWND child = nullptr;
    PumpUntil([&] {
        child = FindWindowExA(parent.Handle(), nullptr, "WindowsScreenSaverClass", nullptr);
        return child != nullptr || !saver.IsRunning();
    }, kStartTimeoutMs);
    ASSERT_NE(child, nullptr) << "no preview window appeared in the parent";
    PostMessageA(child, WM_CLOSE, 0, 0);
    DWORD code = 1;
    ASSERT_TRUE(saver.WaitForExit(kExitTimeoutMs, &code));
    EXPECT_EQ(code, 0u);
}

class CommandLineTableTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTableTest, RunsTheModeOfTheTail)
{
    const CommandLineCase& c = GetParam();
    TestWindow window(240, 180);
    ASSERT_TRUE(window.BringToFront());

    SaverProcess saver;
    std::string error;
    SaverStart start;
    start.tail = Substitute(c.tail, window.HandleText());
    ASSERT_TRUE(saver.Start(SaverUnderTest(), start, &error)) << error;

    switch (c.expect) {
    case Expect::Settings:
        FinishSettings(saver, nullptr);
        break;
    case Expect::SettingsOwned:
        FinishSettings(saver, window.Handle());
        break;
    case Expect::FullScreen:
        FinishFullScreen(saver);
        break;
    case Expect::Preview:
        FinishPreview(saver, window);
        break;
    case Expect::Bad: {
        DWORD code = 0;
        ASSERT_TRUE(saver.WaitForExit(kExitTimeoutMs, &code));
        EXPECT_EQ(code, kBadCommandLine);
        break;
    }
    }
}

INSTANTIATE_TEST_SUITE_P(Tails, CommandLineTableTest, ::testing::Values(
    CommandLineCase{"Empty", "", Expect::Settings},
    CommandLineCase{"OnlyBlanks", " \t ", Expect::Settings},
    CommandLineCase{"SlashC", "/c", Expect::SettingsOwned},
    CommandLineCase{"SlashCWithIgnoredNumber", "/c:1234", Expect::SettingsOwned},
    CommandLineCase{"HyphenCapitalC", "-C", Expect::SettingsOwned},
    CommandLineCase{"SlashS", "/s", Expect::FullScreen},
    CommandLineCase{"HyphenS", "-s", Expect::FullScreen},
    CommandLineCase{"BareS", "s", Expect::FullScreen},
    CommandLineCase{"SpacesThenCapitalS", "   /S", Expect::FullScreen},
    CommandLineCase{"SlashHyphenSlashS", "/-/s", Expect::FullScreen},
    CommandLineCase{"TabAfterProgramName", "\t/s", Expect::FullScreen},
    CommandLineCase{"SlashP", "/p %h", Expect::Preview},
    CommandLineCase{"SlashL", "/l %h", Expect::Preview},
    CommandLineCase{"CapitalPNoSpace", "/P%h", Expect::Preview},
    CommandLineCase{"HyphenLSpaces", "-l   %h", Expect::Preview},
    CommandLineCase{"PreviewColonEndsNumber", "/p:%h", Expect::Bad},
    CommandLineCase{"PreviewNoHandle", "/p", Expect::Bad},
    CommandLineCase{"PreviewZero", "/p 0", Expect::Bad},
    CommandLineCase{"PreviewWrapsToZero", "/p 4294967296", Expect::Bad},
    CommandLineCase{"PreviewWrapsToNoWindow", "/p 99999999999", Expect::Bad},
    CommandLineCase{"PreviewTabBeforeHandle", "/p\t%h", Expect::Bad},
    CommandLineCase{"UnknownLetter", "/x", Expect::Bad},
    CommandLineCase{"TabAfterSlash", "/\ts", Expect::Bad},
    CommandLineCase{"HighByte", "/\xe9", Expect::Bad},
    CommandLineCase{"LetterBeforeMode", "x /s", Expect::Bad},
    CommandLineCase{"ChangePasswordOnThisPlatform", "/a", Expect::Bad},
    CommandLineCase{"ChangePasswordWithOwner", "/a %h", Expect::Bad}),
    [](const ::testing::TestParamInfo<CommandLineCase>& tested) { return std::string(tested.param.name); });

// Whole command lines whose program name needs the quote rules.
TEST(CommandLineProgramNameTest, QuotedNameWithSpacesIsSkippedWithItsQuote)
{
    SaverProcess saver;
    std::string error;
    SaverStart start;
    start.commandLine = "\"C:\\Some Folder\\saver with spaces.scr\" /s";
    ASSERT_TRUE(saver.Start(SaverUnderTest(), start, &error)) << error;
    FinishFullScreen(saver);
}

TEST(CommandLineProgramNameTest, UnclosedQuoteSwallowsTheLine)
{
    SaverProcess saver;
    std::string error;
    SaverStart start;
    start.commandLine = "\"" + SaverUnderTest() + " /s";
    ASSERT_TRUE(saver.Start(SaverUnderTest(), start, &error)) << error;
    FinishSettings(saver, nullptr);
}

TEST(CommandLineProgramNameTest, UnquotedNameEndsAtItsBlank)
{
    SaverProcess saver;
    std::string error;
    SaverStart start;
    start.commandLine = "saver.scr\x01/s";
    ASSERT_TRUE(saver.Start(SaverUnderTest(), start, &error)) << error;
    FinishFullScreen(saver);
}

TEST(CommandLinePreviewTest, HandleOfAWindowThatIsGoneIsRefused)
{
    std::string handle;
    {
        TestWindow gone(50, 50);
        handle = gone.HandleText();
    }
    SaverProcess saver;
    std::string error;
    SaverStart start;
    start.tail = "/p " + handle;
    ASSERT_TRUE(saver.Start(SaverUnderTest(), start, &error)) << error;
    DWORD code = 0;
    ASSERT_TRUE(saver.WaitForExit(kExitTimeoutMs, &code));
    EXPECT_EQ(code, kBadCommandLine);
}

TEST(CommandLineSettingsTest, OkEndsWithOneWhenTheProbeRuns)
{
    if (!IsProbeUnderTest())
        GTEST_SKIP() << "OK writes the settings of a real saver";
    SaverProcess saver;
    std::string error;
    ASSERT_TRUE(saver.Start(SaverUnderTest(), SaverStart{"/c", "", {}}, &error)) << error;
    const HWND dialog = saver.WaitForTopLevelWindow("#32770", kStartTimeoutMs);
    ASSERT_NE(dialog, nullptr);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    DWORD code = 0;
    ASSERT_TRUE(saver.WaitForExit(kExitTimeoutMs, &code));
    EXPECT_EQ(code, 1u);
}

TEST(CommandLineSettingsTest, DeclinedControlsEndWithZeroAndNoDialog)
{
    if (!IsProbeUnderTest())
        GTEST_SKIP() << "needs the probe saver's switch";
    ProbeLog log;
    SaverProcess saver;
    std::string error;
    SaverStart start{"", "", {{"HOST_PROBE_LOG", log.Path()}, {"HOST_PROBE_NO_DIALOG", "1"}}};
    ASSERT_TRUE(saver.Start(SaverUnderTest(), start, &error)) << error;
    DWORD code = 1;
    ASSERT_TRUE(saver.WaitForExit(kExitTimeoutMs, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_GE(log.IndexOf("register-controls"), 0) << log.Text();
    EXPECT_EQ(log.IndexOf("dialog"), -1) << log.Text();
}

} // namespace
