// Both real savers, ondrels.scr and kesmar.scr: their resources and exports,
// and each in a hostile place: a settings file that is a directory, a
// read-only file or a megabyte of noise, a program path far longer than 128
// characters (up to the longest a program can be started from), an install
// folder with shell characters in its name. Full screen each one runs and
// draws until a key ends it with 0; its settings dialog opens with what it
// could read and OK ends it with 1.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "common/win32/profile_settings_store.h"
#include "tests/host/saver_under_test.h"
#include "tests/relief_win32/dialog_driver.h"
#include "tests/win32/screen_cover.h"

namespace {

// What a test needs to know of one saver program.
struct SaverProgram {
    const char* name;      // of the program, ".scr" added, and of its settings file, ".INI" added
    const char* title;     // string 1, the name the display settings list
    bool withHelper;       // snap.exe beside it
    const char* section;
    int sliderId;          // a slider of the dialog that shows one key as stored
    const char* key;
    int defaultValue;      // the key's value without a settings file
    int storedValue;       // the test's settings file gives this
    int chosenValue;       // the test moves the slider here before OK
};

const SaverProgram kPrograms[] = {
    {"ondrels", "Ondrels ScreenSaver", true, "ScreenSaver.Ondrels", 1012, "Delay", 1000, 1700, 700},
    {"kesmar", "Kesmar ScreenSaver", false, "ScreenSaver.Kesmar", 1015, "Depth", 25, 37, 60},
};

constexpr int kOk = 1010;

// A copy of the program (and its helper) in a directory of the test's, with
// its settings file's path.
struct InstalledSaver {
    const SaverProgram& saver;
    std::string directory, program, settings;

    // Where the saver keeps the settings it cannot keep beside itself.
    std::string userSettings;

    InstalledSaver(const SaverProgram& s, const std::string& where)
        : saver(s), directory(where), program(where + "\\" + s.name + ".scr"), settings(where + "\\" + s.name + ".INI"),
          userSettings(GetUserSettingsFolder() + s.name + ".INI")
    {
        DeleteFileA(userSettings.c_str());
        dialog_test::MakeDirectories(directory);
        const std::string bin = dialog_test::BinDirectory();
        EXPECT_TRUE(CopyFileA((bin + s.name + ".scr").c_str(), program.c_str(), FALSE)) << program;
        if (s.withHelper) {
            EXPECT_TRUE(CopyFileA((bin + "snap.exe").c_str(), (directory + "\\snap.exe").c_str(), FALSE));
        }
        SetFileAttributesA(settings.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(settings.c_str());
        RemoveDirectoryA(settings.c_str());
    }
    ~InstalledSaver()
    {
        DeleteFileA(userSettings.c_str());
        SetFileAttributesA(settings.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(settings.c_str());
        RemoveDirectoryA(settings.c_str());
    }

    void WriteStoredSettings() const
    {
        std::ofstream out(settings, std::ios::binary | std::ios::trunc);
        out << "[" << saver.section << "]\r\n" << saver.key << "=" << saver.storedValue << "\r\n";
    }
    int ReadKey(const std::string& file) const { return static_cast<int>(GetPrivateProfileIntA(saver.section, saver.key, -1, file.c_str())); }
    int ReadKey() const { return ReadKey(settings); }

    // Full screen over a cover of the test's: it covers the screen and draws
    // within the time, and a key ends it with exit code 0.
    void ExpectRunsAndDraws() const
    {
        ScreenCover cover;
        ASSERT_TRUE(cover);
        SaverProcess process;
        SaverStart start;
        start.tail = "/s";
        std::string error;
        ASSERT_TRUE(process.Start(program, start, &error)) << error;
        ASSERT_NE(process.WaitForTopLevelWindow("WindowsScreenSaverClass", kStartTimeoutMs), nullptr) << "no full-screen window";
        EXPECT_TRUE(cover.WaitUntilCoveredAndDrawn(15000)) << "nothing drawn full screen";
        SendKeyPress(VK_SPACE);
        DWORD code = 0xFFFFFFFFu;
        ASSERT_TRUE(process.WaitForExit(kExitTimeoutMs, &code)) << "a key did not end it";
        EXPECT_EQ(code, 0u);
    }

    // The settings dialog opens and shows `shown` on the slider; the slider
    // is moved to the chosen value and OK ends the dialog with exit code 1.
    void ExpectDialogShowsAndOkEndsWithOne(int shown) const
    {
        SaverProcess process;
        SaverStart start;
        start.tail = "/c";
        std::string error;
        ASSERT_TRUE(process.Start(program, start, &error)) << error;
        const HWND dialog = process.WaitForTopLevelWindow("#32770", kStartTimeoutMs);
        ASSERT_NE(dialog, nullptr) << "no settings dialog";
        EXPECT_EQ(SendDlgItemMessageA(dialog, saver.sliderId, TBM_GETPOS, 0, 0), shown) << saver.key << " as shown";
        SendDlgItemMessageA(dialog, saver.sliderId, TBM_SETPOS, TRUE, saver.chosenValue);
        PostMessageA(GetDlgItem(dialog, kOk), BM_CLICK, 0, 0);
        DWORD code = 0xFFFFFFFFu;
        ASSERT_TRUE(process.WaitForExit(kExitTimeoutMs, &code)) << "OK did not end the dialog";
        EXPECT_EQ(code, 1u);
    }
};

// A megabyte of bytes of every value, the same every run.
std::string Noise()
{
    std::string bytes(1024 * 1024, '\0');
    std::uint32_t state = 0x5EED5EEDu;
    for (char& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

// Counts the resources it is called for (a callback of the platform's
// calling convention, which a lambda is not in the 32-bit build).
BOOL CALLBACK CountResource(HMODULE, LPCSTR, LPSTR, LONG_PTR count)
{
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

} // namespace

TEST(SaverPrograms, ResourcesAndExports)
{
    for (const SaverProgram& program : kPrograms) {
        SCOPED_TRACE(program.name);
        HMODULE saver = LoadLibraryExA((dialog_test::BinDirectory() + program.name + ".scr").c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
        ASSERT_NE(saver, nullptr);
        char text[64] = {};
        ASSERT_GT(LoadStringA(saver, 1, text, sizeof text), 0);
        EXPECT_STREQ(text, program.title);
        EXPECT_NE(GetProcAddress(saver, "ScreenSaverProc"), nullptr);
        EXPECT_NE(GetProcAddress(saver, "ScreenSaverConfigureDialog"), nullptr);
        EXPECT_EQ(FindResourceA(saver, MAKEINTRESOURCEA(100), MAKEINTRESOURCEA(14)), nullptr); // no icon 100
        EXPECT_NE(FindResourceA(saver, MAKEINTRESOURCEA(2003), MAKEINTRESOURCEA(5)), nullptr); // dialog 2003
        // Exactly one manifest, id 1, the DPI-aware one.
        int manifests = 0;
        EnumResourceNamesA(saver, MAKEINTRESOURCEA(24), CountResource, reinterpret_cast<LONG_PTR>(&manifests));
        EXPECT_EQ(manifests, 1);
        HRSRC manifest = FindResourceA(saver, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
        ASSERT_NE(manifest, nullptr);
        const char* manifestText = static_cast<const char*>(LockResource(LoadResource(saver, manifest)));
        EXPECT_NE(std::string(manifestText, SizeofResource(saver, manifest)).find("<dpiAware"), std::string::npos);
        FreeLibrary(saver);
    }
}

TEST(SaverEnvironment, SettingsFileThatIsNoUsableFile)
{
    struct Case {
        const char* what;
        std::function<void(const InstalledSaver&)> make;
        bool readsStored;  // the dialog shows the stored value, else the default
        // After OK, given the installed saver: true when what the settings
        // path holds is as it should be.
        std::function<bool(const InstalledSaver&)> afterOk;
    };
    const Case cases[] = {
        // Read as missing. Cannot be written: the directory stays, and OK's
        // keys go to the user's own file.
        {"a directory", [](const InstalledSaver& s) { ASSERT_TRUE(CreateDirectoryA(s.settings.c_str(), nullptr)); }, false,
         [](const InstalledSaver& s) {
             return (GetFileAttributesA(s.settings.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0 && s.ReadKey(s.userSettings) == s.saver.chosenValue;
         }},
        // Read as usual. Writing may be refused, or allowed to this test's
        // user: the key then holds the old value or the new one.
        {"read-only",
         [](const InstalledSaver& s) {
             s.WriteStoredSettings();
             ASSERT_TRUE(SetFileAttributesA(s.settings.c_str(), FILE_ATTRIBUTE_READONLY));
         },
         true, [](const InstalledSaver& s) { return s.ReadKey() == s.saver.storedValue || s.ReadKey() == s.saver.chosenValue; }},
        // No section in it: the defaults. OK's keys can be read back.
        {"a megabyte of noise",
         [](const InstalledSaver& s) {
             std::ofstream out(s.settings, std::ios::binary | std::ios::trunc);
             out << Noise();
         },
         false, [](const InstalledSaver& s) { return s.ReadKey() == s.saver.chosenValue; }},
    };
    for (const SaverProgram& saver : kPrograms) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(saver.name) + ", settings file " + c.what);
            const InstalledSaver installed(saver, std::string("C:\\saver-environment\\") + saver.name);
            c.make(installed);
            installed.ExpectRunsAndDraws();
            installed.ExpectDialogShowsAndOkEndsWithOne(c.readsStored ? saver.storedValue : saver.defaultValue);
            EXPECT_TRUE(c.afterOk(installed)) << saver.key << " reads " << installed.ReadKey() << " after OK";
            // Settings kept for the user are what the next dialog shows, and
            // the saver still runs with them.
            if (GetFileAttributesA(installed.userSettings.c_str()) != INVALID_FILE_ATTRIBUTES) {
                installed.ExpectDialogShowsAndOkEndsWithOne(saver.chosenValue);
                installed.ExpectRunsAndDraws();
            }
        }
    }
}

TEST(SaverEnvironment, ProgramPathsFarLongerThan128Characters)
{
    // 129 characters, and 259: the longest path of a program that can be
    // started (MAX_PATH with its terminating zero), with its directory no
    // longer than a directory can be made (MAX_PATH - 12).
    for (const SaverProgram& saver : kPrograms) {
        const std::string file = std::string("\\") + saver.name + ".scr";
        for (const std::size_t length : {std::size_t{129}, std::size_t{MAX_PATH - 1}}) {
            std::string directory = "C:\\saver-environment\\long";
            std::size_t wanted = length - file.size();
            if (wanted > MAX_PATH - 12) wanted = MAX_PATH - 12;
            while (directory.size() < wanted) {
                const std::size_t left = wanted - directory.size();
                directory += left > 60 ? "\\" + std::string(59, 'd') : "\\" + std::string(left - 1, 'e');
            }
            const std::string program = directory + file;
            SCOPED_TRACE(std::string(saver.name) + " at a path of " + std::to_string(program.size()) + " characters");
            ASSERT_EQ(program.size(), length);
            const InstalledSaver installed(saver, directory);
            installed.WriteStoredSettings();
            // The settings file beside the program is the one read and written.
            installed.ExpectDialogShowsAndOkEndsWithOne(saver.storedValue);
            EXPECT_EQ(installed.ReadKey(), saver.chosenValue);
            if (length >= MAX_PATH - 1) installed.ExpectRunsAndDraws();
        }
    }
}

TEST(SaverEnvironment, InstallFolderWithShellCharactersAndAnsiLetters)
{
    // Spaces, "&", "%" and letters of the ANSI code page: the settings file
    // beside the program is the one read and written, and the saver runs.
    const wchar_t name[] = L"\u00C9conomiseurs d'\u00E9cran & 100% %OS%";
    BOOL lost = FALSE;
    char folder[MAX_PATH] = {};
    ASSERT_GT(WideCharToMultiByte(CP_ACP, 0, name, -1, folder, sizeof folder, nullptr, &lost), 0);
    ASSERT_FALSE(lost) << "the ANSI code page " << GetACP() << " cannot spell the folder's name";
    for (const SaverProgram& saver : kPrograms) {
        SCOPED_TRACE(std::string(saver.name) + " in " + folder);
        const InstalledSaver installed(saver, std::string("C:\\saver-environment\\") + folder);
        installed.WriteStoredSettings();
        installed.ExpectDialogShowsAndOkEndsWithOne(saver.storedValue);
        EXPECT_EQ(installed.ReadKey(), saver.chosenValue);
        installed.ExpectRunsAndDraws();
    }
}
