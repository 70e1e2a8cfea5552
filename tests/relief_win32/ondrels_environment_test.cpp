// The real ondrels.scr in a hostile place: odd things at the snapshot's path,
// and an install folder whose name the command shell would read as more than
// a name. Each run goes to its first frame, which must be the effect logic's
// frame for the picture the saver should have used, and no other.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/relief_win32/ondrels_run.h"

using namespace ondrels_run;

namespace {

const char kQuickSettings[] = "[ScreenSaver.Ondrels]\r\nDelay=300\r\nColorCount=48\r\nSoften=2\r\nDegrees=200\r\n";

// Another picture than PatternPicture, for the screen, so that a frame tells
// which of the two the saver used.
std::vector<std::uint8_t> ScreenPicture(const Screen& screen)
{
    std::vector<std::uint8_t> picture = PatternPicture(screen.width, screen.height);
    for (std::size_t i = 0; i < picture.size(); ++i) picture[i] = static_cast<std::uint8_t>(255 - picture[i] / 2 - (i / 3 % 7) * 9);
    return picture;
}

void WriteBytes(const char* path, const std::vector<std::uint8_t>& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void RemoveSnapshot()
{
    SetFileAttributesA(kSnapshot, FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(kSnapshot);
    RemoveDirectoryA(kSnapshot);
}

// A name of the install folder in the program's ANSI code page, or an empty
// text when that code page cannot spell it.
std::string AnsiName(const wchar_t* name)
{
    BOOL lost = FALSE;
    char text[MAX_PATH] = {};
    const int length = WideCharToMultiByte(CP_ACP, 0, name, -1, text, sizeof text, nullptr, &lost);
    return length > 0 && !lost ? std::string(text) : std::string();
}

} // namespace

TEST(OndrelsEnvironment, OddSnapshotFiles)
{
    enum class Shows { FileHead, Black, ScreenCopy };
    struct Case {
        const char* what;
        std::function<void(const std::vector<std::uint8_t>& picture)> place;
        Shows shows;
    };
    const Case cases[] = {
        // Read up to the window's size; what lies beyond is never read.
        {"larger than the screen",
         [](const std::vector<std::uint8_t>& picture) {
             std::vector<std::uint8_t> bytes = picture;
             bytes.resize(picture.size() + 1024 * 1024, 0x7F);
             WriteBytes(kSnapshot, bytes);
         },
         Shows::FileHead},
        // A file that gives no bytes is a picture that is black everywhere,
        // as a short file is black where it ends.
        {"empty", [](const std::vector<std::uint8_t>&) { WriteBytes(kSnapshot, {}); }, Shows::Black},
        // Cannot be opened as a file: as if it were missing, a copy of the screen.
        {"a directory", [](const std::vector<std::uint8_t>&) { ASSERT_TRUE(CreateDirectoryA(kSnapshot, nullptr)); }, Shows::ScreenCopy},
    };
    const Screen screen;
    const std::string directory = "C:\\ondrels-e2e\\nosnap";
    InstallSaver(directory, false, kQuickSettings); // no helper: the snapshot stays as placed
    const ReliefSettings settings = SettingsFor(kQuickSettings);
    const std::vector<std::uint8_t> filePicture = PatternPicture(screen.width, screen.height);
    const std::vector<std::uint8_t> screenPicture = ScreenPicture(screen);
    const std::vector<std::uint8_t> black(filePicture.size(), 0);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("snapshot ") + c.what);
        RemoveSnapshot();
        c.place(filePicture);
        HWND cover = CoverScreen(screen, screenPicture);
        ASSERT_NE(cover, nullptr);
        SaverRun run;
        RunToFirstFrame(run, directory, directory, 15000);
        DestroyWindow(cover);
        RemoveSnapshot();
        ASSERT_TRUE(run.sawFrame) << "no frame";
        const std::vector<std::uint8_t>* pictures[] = {&filePicture, &black, &screenPicture};
        for (int shown = 0; shown < 3; ++shown) {
            const int matches = CountMatchingSeeds(run, screen, settings, *pictures[shown]);
            if (shown == static_cast<int>(c.shows)) EXPECT_GE(matches, 1) << "the frame is not of the picture expected";
            else EXPECT_EQ(matches, 0) << "the frame is of picture " << shown;
        }
    }
}

TEST(OndrelsEnvironment, HelperStartsFromFoldersTheShellWouldReadAsMore)
{
    // Spaces, "&", "%" and letters of the ANSI code page; and names between
    // two "%" that the shell would replace by a variable's value.
    const wchar_t* names[] = {L"\u00C9conomiseurs d'\u00E9cran & 100%", L"Savers %OS% & %PATH% 50%"};
    const Screen screen;
    const std::vector<std::uint8_t> screenPicture = ScreenPicture(screen);
    for (const wchar_t* name : names) {
        const std::string folder = AnsiName(name);
        if (folder.empty()) {
            ADD_FAILURE() << "the ANSI code page " << GetACP() << " cannot spell an install folder's name";
            continue;
        }
        SCOPED_TRACE("install folder " + folder);
        const std::string directory = "C:\\ondrels-e2e\\" + folder;
        InstallSaver(directory, true, kQuickSettings);
        RemoveSnapshot();
        HWND cover = CoverScreen(screen, screenPicture);
        ASSERT_NE(cover, nullptr);
        SaverRun run;
        RunToFirstFrame(run, directory, directory, 15000);
        DestroyWindow(cover);
        // The helper ran from the folder and wrote the screen as it was.
        WIN32_FILE_ATTRIBUTE_DATA attributes{};
        EXPECT_TRUE(GetFileAttributesExA(kSnapshot, GetFileExInfoStandard, &attributes)) << "the helper wrote no snapshot";
        EXPECT_EQ(attributes.nFileSizeLow, static_cast<DWORD>(screen.width * screen.height * 3));
        RemoveSnapshot();
        ASSERT_TRUE(run.sawFrame) << "no frame";
        EXPECT_GE(CountMatchingSeeds(run, screen, SettingsFor(kQuickSettings), screenPicture), 1);
    }
}
