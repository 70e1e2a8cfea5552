// The real ondrels.scr in a hostile place: odd things at the snapshot's path,
// install folders whose names a shell or the ANSI code page would read as
// more than a name, a cmd.exe planted beside it, stale snapshots with helpers
// that fail or hang, and links where the helper writes. Each run goes to its
// first frame, which must be the effect logic's frame for the picture the
// saver should have used, and no other.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <functional>
#include <iterator>
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

std::vector<std::uint8_t> ReadBytes(const char* path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Makes (or, with an empty target, removes) a symbolic link in C:\ as the
// system under Wine sees it, with the system's own ln and rm, which Wine
// starts too: Wine's CreateSymbolicLinkA makes none, and its DeleteFileA
// deletes what a link points to. Wine gives no handle of such a program, so
// the link's coming or going is awaited.
bool PlaceSymbolicLink(const std::string& name, const std::string& target)
{
    std::string line = target.empty() ? "Z:\\bin\\rm -f " + name : "Z:\\bin\\ln -s " + target + " " + name;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, "C:\\", &startup, &process)) return false;
    const std::string path = "C:\\" + name;
    for (int wait = 0; wait < 500; ++wait) {
        if ((GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) == !target.empty()) return true;
        Sleep(20);
    }
    return false;
}

// "" when the snapshot is the running user's and no one else's. Wine keeps
// no access list of a file's own: it shows one made from the file's Unix
// mode, with the owner's entry, an Everyone entry for the others' bits, and
// always one for the system itself, which therefore passes here too.
std::string SnapshotAccessProblem()
{
    HANDLE token = nullptr;
    std::vector<std::uint8_t> user(256), descriptor(4096);
    DWORD size = 0;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return "no token";
    const BOOL haveUser = GetTokenInformation(token, TokenUser, user.data(), static_cast<DWORD>(user.size()), &size);
    CloseHandle(token);
    PSID self = reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, owner = nullptr;
    BOOL present = FALSE, defaulted = FALSE;
    PACL list = nullptr;
    if (!haveUser || !GetFileSecurityA(kSnapshot, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, descriptor.data(),
                                       static_cast<DWORD>(descriptor.size()), &size)) return "no user or no security descriptor";
    if (!GetSecurityDescriptorOwner(descriptor.data(), &owner, &defaulted) || owner == nullptr || !EqualSid(owner, self)) return "another owner";
    if (!GetSecurityDescriptorDacl(descriptor.data(), &present, &list, &defaulted) || !present || list == nullptr) return "open to all";
    bool userReadsAndWrites = false;
    for (DWORD i = 0; i < list->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* entry = nullptr;
        if (!GetAce(list, i, reinterpret_cast<void**>(&entry)) || entry->Header.AceType != ACCESS_ALLOWED_ACE_TYPE) continue;
        const SID* sid = reinterpret_cast<const SID*>(&entry->SidStart);
        const bool system = sid->SubAuthorityCount == 1 && sid->SubAuthority[0] == SECURITY_LOCAL_SYSTEM_RID;
        if (EqualSid(const_cast<SID*>(sid), self)) userReadsAndWrites = (~entry->Mask & (FILE_READ_DATA | FILE_WRITE_DATA)) == 0;
        else if (!system) return "access for another account";
    }
    return userReadsAndWrites ? "" : "the user may not read and write it";
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
    InstallSaver(directory, Helper::StandIn, kQuickSettings, "0"); // a helper that succeeds and leaves the snapshot as placed
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

TEST(OndrelsEnvironment, NothingButTheHelperRunsAndOnlyItsFreshPictureShows)
{
    struct Case {
        const char* what;
        const wchar_t* folder; // under C:\ondrels-e2e, a stand-in planted in it as cmd.exe
        Helper helper;
        const char* standIn;   // what the stand-in helper does
        bool pathUsable;       // the saver's ANSI path names its folder: its helper may run, its settings are read
        bool staleSnapshot;    // a read-only snapshot of another picture stands at the path
        bool links;            // links stand at the snapshot's temporary path and at its path
    };
    const Case cases[] = {
        {"a cmd.exe planted beside the saver", L"planted", Helper::Snap, "", true, false, false},
        // Names between two "%" that the shell would replace by a variable's value.
        {"%OS% in the folder's name", L"Savers %OS% & %PATH% 50%", Helper::Snap, "", true, false, false},
        {"letters of the ANSI code page", L"\u00C9conomiseurs d'\u00E9cran & 100%", Helper::Snap, "", true, false, false},
        // The ANSI path holds a '"' in its place: it names no folder.
        {"a full-width quotation mark in the folder's name", L"Savers \uFF02new\uFF02", Helper::StandIn, "0", false, true, false},
        {"a stale snapshot and a failing helper", L"failing", Helper::StandIn, "2", true, true, false},
        {"a stale snapshot and a hanging helper", L"hanging", Helper::StandIn, "hang", true, true, false},
        {"links at the snapshot's paths", L"links", Helper::Snap, "", true, false, true},
    };
    const Screen screen;
    const std::vector<std::uint8_t> screenPicture = ScreenPicture(screen);
    const std::vector<std::uint8_t> stalePicture = PatternPicture(screen.width, screen.height);
    const std::string linkTargets[] = {"C:\\ondrels-e2e\\link-target-1.dat", "C:\\ondrels-e2e\\link-target-2.dat"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring directory = std::wstring(L"C:\\ondrels-e2e\\") + c.folder;
        InstallSaver(directory, c.helper, kQuickSettings, c.standIn, true);
        RemoveSnapshot();
        if (c.staleSnapshot) {
            WriteBytes(kSnapshot, stalePicture);
            ASSERT_TRUE(SetFileAttributesA(kSnapshot, FILE_ATTRIBUTE_READONLY));
        }
        if (c.links) {
            for (const std::string& target : linkTargets) WriteBytes(target.c_str(), {'k', 'e', 'e', 'p'});
            ASSERT_TRUE(PlaceSymbolicLink("snapwnd.dat.partial", ""));
            ASSERT_TRUE(PlaceSymbolicLink("snapwnd.dat.partial", "ondrels-e2e/link-target-1.dat"));
            ASSERT_TRUE(PlaceSymbolicLink("snapwnd.dat", "ondrels-e2e/link-target-2.dat"));
        }
        HWND cover = CoverScreen(screen, screenPicture);
        ASSERT_NE(cover, nullptr);
        SaverRun run;
        run.Start(directory);
        run.WaitForFirstFrame(screen, 20000);
        EXPECT_EQ(run.Close(), 0u);
        DestroyWindow(cover);

        EXPECT_EQ(RanProcessId(directory + L"\\cmd.exe"), 0u) << "the planted cmd.exe ran";
        if (c.helper == Helper::StandIn) {
            EXPECT_EQ(RanProcessId(directory + L"\\snap.exe") != 0, c.pathUsable);
        }
        if (c.helper == Helper::Snap) {
            // The helper wrote the screen as it was, for this user alone.
            WIN32_FILE_ATTRIBUTE_DATA attributes{};
            EXPECT_TRUE(GetFileAttributesExA(kSnapshot, GetFileExInfoStandard, &attributes)) << "the helper wrote no snapshot";
            EXPECT_EQ(attributes.nFileSizeLow, static_cast<DWORD>(screenPicture.size()));
            EXPECT_EQ(SnapshotAccessProblem(), "");
        }
        if (c.staleSnapshot) {
            EXPECT_TRUE(ReadBytes(kSnapshot) == stalePicture) << "the stale snapshot changed";
        }
        if (std::string(c.standIn) == "hang") {
            // The saver stopped waiting at the time limit and ended the helper.
            EXPECT_GE(run.frameTick - run.startTick, 5000u);
            HANDLE helper = OpenProcess(SYNCHRONIZE, FALSE, RanProcessId(directory + L"\\snap.exe"));
            EXPECT_TRUE(helper == nullptr || WaitForSingleObject(helper, 0) == WAIT_OBJECT_0) << "the hanging helper still runs";
            if (helper != nullptr) CloseHandle(helper);
        }
        if (c.links) {
            for (const std::string& target : linkTargets) EXPECT_EQ(ReadBytes(target.c_str()), std::vector<std::uint8_t>({'k', 'e', 'e', 'p'})) << target;
            // Removed as a link, not through it.
            EXPECT_TRUE(PlaceSymbolicLink("snapwnd.dat.partial", ""));
        }
        RemoveSnapshot();
        ASSERT_TRUE(run.sawFrame) << "no frame";
        const ReliefSettings settings = SettingsFor(c.pathUsable ? kQuickSettings : "");
        EXPECT_GE(CountMatchingSeeds(run, screen, settings, screenPicture), 1) << "the frame is not of the screen";
        if (c.staleSnapshot) {
            EXPECT_EQ(CountMatchingSeeds(run, screen, settings, stalePicture), 0) << "the stale snapshot shows";
        }
    }
}
