// The Windows 95/98 password paths, end to end through the probe saver: the
// probe switches the host to those paths, the test verifier answers as
// PASSWORD.CPL and the test change service stands in for MPR.DLL.
#include "tests/host/saver_under_test.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kFaultExitCode = 0xC0000005u;

// Sets a registry value for one test and puts the old state back afterwards.
class RegistryValueGuard {
public:
    RegistryValueGuard(HKEY root, const char* subkey, const char* name) : name_(name)
    {
        RegCreateKeyExA(root, subkey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key_, nullptr);
        DWORD size = 0;
        if (key_ != nullptr && RegQueryValueExA(key_, name, nullptr, &type_, nullptr, &size) == ERROR_SUCCESS) {
            old_.resize(size);
            existed_ = RegQueryValueExA(key_, name, nullptr, &type_, old_.data(), &size) == ERROR_SUCCESS;
        }
    }
    ~RegistryValueGuard()
    {
        if (key_ == nullptr)
            return;
        if (existed_)
            RegSetValueExA(key_, name_, 0, type_, old_.data(), static_cast<DWORD>(old_.size()));
        else
            RegDeleteValueA(key_, name_);
        RegCloseKey(key_);
    }
    RegistryValueGuard(const RegistryValueGuard&) = delete;
    RegistryValueGuard& operator=(const RegistryValueGuard&) = delete;

    void SetNumber(DWORD value)
    {
        RegSetValueExA(key_, name_, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    }
    void SetBytes(const std::vector<BYTE>& bytes)
    {
        RegSetValueExA(key_, name_, 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
    }
    void SetText(const char* text)
    {
        RegSetValueExA(key_, name_, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                       static_cast<DWORD>(std::strlen(text) + 1));
    }
    void Delete() { RegDeleteValueA(key_, name_); }

private:
    HKEY key_ = nullptr;
    const char* name_;
    DWORD type_ = 0;
    std::vector<BYTE> old_;
    bool existed_ = false;
};

class PasswordTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!IsProbeUnderTest())
            GTEST_SKIP() << "the password paths are reached through the probe saver's switches";
        char directory[MAX_PATH];
        char file[MAX_PATH];
        GetTempPathA(sizeof directory, directory);
        GetTempFileNameA(directory, "hpa", 0, file);
        answerPath = file;
        SetAnswer(0);
    }
    void TearDown() override
    {
        saver.End();
        if (!answerPath.empty())
            DeleteFileA(answerPath.c_str());
    }

    // The test change service is MPR.DLL beside the probe; Wine would take
    // its own MPR.DLL unless told to prefer the one found on disk.
    void PreferTestChangeService()
    {
        changeOverride.SetText("native");
    }

    void SetAnswer(int right)
    {
        FILE* out = std::fopen(answerPath.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        std::fputc(right ? '1' : '0', out);
        std::fclose(out);
    }

    SaverStart Win9xStart(const std::string& tail)
    {
        return SaverStart{tail, "", {{"HOST_PROBE_LOG", log.Path()}, {"HOST_PROBE_WIN9X", "1"},
                                     {"HOST_TEST_VERIFIER_FILE", answerPath}}};
    }

    void StartFullScreen(SaverStart start)
    {
        std::string error;
        ASSERT_TRUE(saver.Start(SaverUnderTest(), start, &error)) << error;
        window = saver.WaitForTopLevelWindow("WindowsScreenSaverClass", kStartTimeoutMs);
        ASSERT_NE(window, nullptr) << log.Text();
        ASSERT_GE(log.WaitForLine("timer", kStartTimeoutMs), 0) << log.Text();
    }

    // A sent message is handled only after the close request that was being
    // decided, verifier call included, has returned.
    void WaitUntilIdle()
    {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result);
    }

    void PressKeyInSaver() { PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0); }

    // Close requests within 200 ms of the last check are refused unasked.
    static void OutwaitTheRecheckInterval() { PumpUntil([] { return false; }, 260); }

    void ExpectExitWith(DWORD expected)
    {
        DWORD code = 0x12345;
        ASSERT_TRUE(saver.WaitForExit(kExitTimeoutMs, &code)) << log.Text();
        EXPECT_EQ(code, expected);
    }

    void ExpectClosesWithoutPassword()
    {
        PressKeyInSaver();
        ExpectExitWith(0);
        EXPECT_EQ(log.CountLines("verify "), 0) << log.Text();
        EXPECT_EQ(log.CountLines("running"), 0) << log.Text();
    }

    RegistryValueGuard usePassword{HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveUsePassword"};
    RegistryValueGuard changeOverride{HKEY_CURRENT_USER, "Software\\Wine\\AppDefaults\\host_probe.scr\\DllOverrides",
                                      "mpr"};
    std::string answerPath;
    ProbeLog log;
    SaverProcess saver;
    HWND window = nullptr;
};

TEST_F(PasswordTest, WrongPasswordKeepsTheSaverRightPasswordEndsIt)
{
    usePassword.SetNumber(1);
    StartFullScreen(Win9xStart("/s"));
    const int runningOn = log.IndexOf("running 1");
    ASSERT_GE(runningOn, 0) << log.Text();
    EXPECT_LT(runningOn, log.IndexOf("create")) << "the running flag goes on before the window exists";

    PressKeyInSaver();
    ASSERT_GE(log.WaitForLine("verify " + std::to_string(reinterpret_cast<ULONG_PTR>(window)), kExitTimeoutMs), 0)
        << log.Text();
    WaitUntilIdle();
    EXPECT_TRUE(saver.IsRunning());
    EXPECT_EQ(log.IndexOf("running 0"), -1);

    SetAnswer(1);
    OutwaitTheRecheckInterval();
    PressKeyInSaver();
    ExpectExitWith(0);
    EXPECT_EQ(log.CountLines("verify "), 2) << log.Text();
    const int runningOff = log.IndexOf("running 0");
    ASSERT_GE(runningOff, 0) << log.Text();
    EXPECT_GT(runningOff, log.IndexOf("destroy")) << "the running flag goes off after the message loop";
}

TEST_F(PasswordTest, CloseRequestsRightAfterACheckAreRefusedUnasked)
{
    usePassword.SetNumber(1);
    StartFullScreen(Win9xStart("/s"));
    PressKeyInSaver();
    PressKeyInSaver();
    ASSERT_GE(log.WaitForLine("close", kExitTimeoutMs, 2), 0) << log.Text();
    WaitUntilIdle();
    EXPECT_EQ(log.CountLines("verify "), 1) << log.Text();
    EXPECT_TRUE(saver.IsRunning());

    OutwaitTheRecheckInterval();
    PressKeyInSaver();
    ASSERT_GE(log.WaitForLine("verify ", kExitTimeoutMs, 2), 0) << log.Text();
    WaitUntilIdle();
    EXPECT_TRUE(saver.IsRunning());

    SetAnswer(1);
    OutwaitTheRecheckInterval();
    PressKeyInSaver();
    ExpectExitWith(0);
}

TEST_F(PasswordTest, PasswordsOffCloseAtOnce)
{
    usePassword.SetNumber(0);
    StartFullScreen(Win9xStart("/s"));
    ExpectClosesWithoutPassword();
}

TEST_F(PasswordTest, MissingValueMeansOff)
{
    usePassword.Delete();
    StartFullScreen(Win9xStart("/s"));
    ExpectClosesWithoutPassword();
}

TEST_F(PasswordTest, ValueLongerThanFourBytesMeansOff)
{
    usePassword.SetBytes({1, 1, 1, 1, 1, 1, 1, 1});
    StartFullScreen(Win9xStart("/s"));
    ExpectClosesWithoutPassword();
}

TEST_F(PasswordTest, ValueTypeIsNotLookedAt)
{
    usePassword.SetText("1");  // the bytes '1', 0: a non-zero number
    StartFullScreen(Win9xStart("/s"));
    PressKeyInSaver();
    ASSERT_GE(log.WaitForLine("verify ", kExitTimeoutMs), 0) << log.Text();
    SetAnswer(1);
    OutwaitTheRecheckInterval();
    PressKeyInSaver();
    ExpectExitWith(0);
}

TEST_F(PasswordTest, MissingVerifierMeansNoPassword)
{
    usePassword.SetNumber(1);
    SaverStart start = Win9xStart("/s");
    start.environment.push_back({"HOST_PROBE_PASSWORD_MODULE", "NOSUCHPW.CPL"});
    StartFullScreen(start);
    ExpectClosesWithoutPassword();
}

TEST_F(PasswordTest, VerifierWithoutItsEntryMeansNoPassword)
{
    usePassword.SetNumber(1);
    SaverStart start = Win9xStart("/s");
    start.environment.push_back({"HOST_PROBE_PASSWORD_MODULE", "MPR.DLL"});
    StartFullScreen(start);
    ExpectClosesWithoutPassword();
}

TEST_F(PasswordTest, OtherPlatformsNeverAsk)
{
    usePassword.SetNumber(1);
    SaverStart start = Win9xStart("/s");
    start.environment.erase(start.environment.begin() + 1);  // no HOST_PROBE_WIN9X
    StartFullScreen(start);
    ExpectClosesWithoutPassword();
}

TEST_F(PasswordTest, PreviewNeverAsks)
{
    usePassword.SetNumber(1);
    TestWindow parent(200, 150);
    std::string error;
    ASSERT_TRUE(saver.Start(SaverUnderTest(), Win9xStart("/p " + parent.HandleText()), &error)) << error;
    ASSERT_GE(log.WaitForLine("timer", kStartTimeoutMs), 0) << log.Text();
    const HWND child = FindWindowExA(parent.Handle(), nullptr, "WindowsScreenSaverClass", nullptr);
    ASSERT_NE(child, nullptr);
    PostMessageA(child, WM_CLOSE, 0, 0);
    ExpectExitWith(0);
    EXPECT_EQ(log.CountLines("verify "), 0) << log.Text();
    EXPECT_EQ(log.CountLines("running"), 0) << log.Text();
}

TEST_F(PasswordTest, ChangeGoesToTheServiceWithTheNamedOwner)
{
    PreferTestChangeService();
    TestWindow owner(120, 90);
    std::string error;
    ASSERT_TRUE(saver.Start(SaverUnderTest(), Win9xStart("/a " + owner.HandleText()), &error)) << error;
    ExpectExitWith(0);
    EXPECT_GE(log.IndexOf("change SCRSAVE " + owner.HandleText() + " 0 0"), 0) << log.Text();
}

TEST_F(PasswordTest, ChangeWithoutAUsableOwnerUsesTheForegroundWindow)
{
    PreferTestChangeService();
    TestWindow foreground(120, 90);
    ASSERT_TRUE(foreground.BringToFront());
    for (const char* tail : {"/a", "-A   0", "/a 99999999999", "/a:12"}) {
        ProbeLog runLog;
        SaverStart start = Win9xStart(tail);
        start.environment[0].second = runLog.Path();
        SaverProcess change;
        std::string error;
        ASSERT_TRUE(change.Start(SaverUnderTest(), start, &error)) << error;
        DWORD code = 1;
        ASSERT_TRUE(change.WaitForExit(kExitTimeoutMs, &code)) << tail;
        EXPECT_EQ(code, 0u) << tail;
        EXPECT_GE(runLog.IndexOf("change SCRSAVE " + foreground.HandleText() + " 0 0"), 0)
            << tail << "\n" << runLog.Text();
    }
}

TEST_F(PasswordTest, ChangeWithoutItsServiceShowsNothingAndEndsWithZero)
{
    SaverStart start = Win9xStart("/a");
    start.environment.push_back({"HOST_PROBE_CHANGE_MODULE", "NOSUCHMPR.DLL"});
    std::string error;
    ASSERT_TRUE(saver.Start(SaverUnderTest(), start, &error)) << error;
    ExpectExitWith(0);
    EXPECT_EQ(log.IndexOf("change"), -1) << log.Text();
}

// A fault in a run mode is reported by the system's filter; with no debugger
// to start, the filter hands it back and the guard switches the running flag
// off and ends the process with the fault's code.
TEST_F(PasswordTest, FaultInTheRunModeSwitchesTheRunningFlagOff)
{
    RegistryValueGuard debugger{HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug",
                                "Debugger"};
    debugger.SetText("no_such_debugger_for_host_tests.exe %ld %ld");
    usePassword.SetNumber(1);
    SaverStart start = Win9xStart("/s");
    start.environment.push_back({"HOST_PROBE_FAULT", "timer"});
    std::string error;
    ASSERT_TRUE(saver.Start(SaverUnderTest(), start, &error)) << error;
    ExpectExitWith(kFaultExitCode);
    const int on = log.IndexOf("running 1");
    const int fault = log.IndexOf("timer");
    const int off = log.IndexOf("running 0");
    ASSERT_GE(on, 0) << log.Text();
    ASSERT_GT(fault, on) << log.Text();
    EXPECT_GT(off, fault) << log.Text();
}

} // namespace
