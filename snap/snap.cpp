// snap: writes the primary screen of the default desktop to C:\snapwnd.dat at
// screen size (on several monitors the whole virtual screen, at its size),
// rows bottom-up, blue-green-red, nothing between rows, and ends.
// The picture goes to a temporary file first and replaces the snapshot only
// when it is complete, so a reader never sees a half-written file. Nothing
// that already stands at either path is opened or written through: the
// temporary file is made new, and the snapshot's name is replaced, not its
// contents. On Windows NT only the running user may read or change the file.
// Exit code 0 on success, 1 when the screen cannot be copied, 2 when the file
// cannot be written (or, on Windows NT, cannot be made private).
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "common/win32/platform.h"
#include "common/win32/screen_copy.h"
#include "common/win32/snapshot_file.h"

namespace {

#ifndef SE_DACL_PROTECTED
#define SE_DACL_PROTECTED 0x1000
#endif

// The primary screen, or on several monitors the virtual screen that holds
// them all, so the saver finds every monitor's part of the desktop in it.
bool CopyDesktop(std::vector<std::uint8_t>& picture)
{
    const DesktopArea area = GetDesktopArea();
    if (area.width <= 0 || area.height <= 0) return false;
    picture.assign(static_cast<std::size_t>(area.width) * static_cast<std::size_t>(area.height) * 3, 0);
    return CopyScreenPixels(area.width, area.height, picture, area.left, area.top);
}

bool RunsOnWindowsNt() { return GetWindowsPlatformId() == VER_PLATFORM_WIN32_NT; }

// A security descriptor that names the running user as the file's owner and
// grants that user alone full access. The list is protected, so the folder's
// inheritable entries (C:\ lets every user read) are not added to it. The
// security functions are looked up, not imported: Windows 95 and 98 lack
// them, and there files have no security at all.
struct PrivateFileSecurity {
    HMODULE advapi = nullptr;
    std::vector<std::uint8_t> tokenUser;
    std::vector<std::uint8_t> acl;
    SECURITY_DESCRIPTOR descriptor{};
    SECURITY_ATTRIBUTES attributes{};

    PrivateFileSecurity() = default;
    ~PrivateFileSecurity()
    {
        if (advapi != nullptr) FreeLibrary(advapi);
    }
    PrivateFileSecurity(const PrivateFileSecurity&) = delete;
    PrivateFileSecurity& operator=(const PrivateFileSecurity&) = delete;

    // False when any step fails; the file is then not written.
    bool Build()
    {
        using OpenProcessTokenFunction = BOOL(WINAPI*)(HANDLE, DWORD, PHANDLE);
        using GetTokenInformationFunction = BOOL(WINAPI*)(HANDLE, TOKEN_INFORMATION_CLASS, LPVOID, DWORD, PDWORD);
        using GetLengthSidFunction = DWORD(WINAPI*)(PSID);
        using InitializeAclFunction = BOOL(WINAPI*)(PACL, DWORD, DWORD);
        using AddAccessAllowedAceFunction = BOOL(WINAPI*)(PACL, DWORD, DWORD, PSID);
        using InitializeSecurityDescriptorFunction = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, DWORD);
        using SetSecurityDescriptorDaclFunction = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, BOOL, PACL, BOOL);
        using SetSecurityDescriptorOwnerFunction = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, PSID, BOOL);
        using SetSecurityDescriptorControlFunction = BOOL(WINAPI*)(PSECURITY_DESCRIPTOR, WORD, WORD);

        advapi = LoadLibraryA("ADVAPI32.DLL");
        const auto openProcessToken = LookUpProcedure<OpenProcessTokenFunction>(advapi, "OpenProcessToken");
        const auto getTokenInformation = LookUpProcedure<GetTokenInformationFunction>(advapi, "GetTokenInformation");
        const auto getLengthSid = LookUpProcedure<GetLengthSidFunction>(advapi, "GetLengthSid");
        const auto initializeAcl = LookUpProcedure<InitializeAclFunction>(advapi, "InitializeAcl");
        const auto addAccessAllowedAce = LookUpProcedure<AddAccessAllowedAceFunction>(advapi, "AddAccessAllowedAce");
        const auto initializeDescriptor = LookUpProcedure<InitializeSecurityDescriptorFunction>(advapi, "InitializeSecurityDescriptor");
        const auto setDacl = LookUpProcedure<SetSecurityDescriptorDaclFunction>(advapi, "SetSecurityDescriptorDacl");
        const auto setOwner = LookUpProcedure<SetSecurityDescriptorOwnerFunction>(advapi, "SetSecurityDescriptorOwner");
        // Windows 2000 and later, which add inherited entries unless told not
        // to; Windows NT 4 adds none to a list given at creation.
        const auto setControl = LookUpProcedure<SetSecurityDescriptorControlFunction>(advapi, "SetSecurityDescriptorControl");
        if (!openProcessToken || !getTokenInformation || !getLengthSid || !initializeAcl || !addAccessAllowedAce ||
            !initializeDescriptor || !setDacl || !setOwner) {
            return false;
        }

        HANDLE token = nullptr;
        if (!openProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
        DWORD size = 0;
        getTokenInformation(token, TokenUser, nullptr, 0, &size);
        bool haveUser = false;
        if (size >= sizeof(TOKEN_USER)) {
            tokenUser.assign(size, 0);
            haveUser = getTokenInformation(token, TokenUser, tokenUser.data(), size, &size) != 0;
        }
        CloseHandle(token);
        if (!haveUser) return false;
        PSID user = reinterpret_cast<TOKEN_USER*>(tokenUser.data())->User.Sid;

        // One entry: its header, its mask and the user's identifier in place
        // of the entry's first identifier word.
        const DWORD aclSize = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + getLengthSid(user);
        acl.assign((aclSize + 3) & ~3u, 0);
        PACL list = reinterpret_cast<PACL>(acl.data());
        if (!initializeAcl(list, static_cast<DWORD>(acl.size()), ACL_REVISION)) return false;
        if (!addAccessAllowedAce(list, ACL_REVISION, FILE_ALL_ACCESS, user)) return false;
        if (!initializeDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION)) return false;
        if (!setOwner(&descriptor, user, FALSE)) return false;
        if (!setDacl(&descriptor, TRUE, list, FALSE)) return false;
        if (setControl != nullptr && !setControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED)) return false;
        attributes.nLength = sizeof attributes;
        attributes.lpSecurityDescriptor = &descriptor;
        attributes.bInheritHandle = FALSE;
        return true;
    }
};

// Windows NT replaces the snapshot in one step. MoveFileExA is looked up, not
// imported: Windows 95 and 98 have no working one, so there the old snapshot
// is deleted before the new one takes its name (a reader in between finds
// none and copies the screen itself). Either way a file or link standing at
// the snapshot's name loses the name; what a link points to is not touched.
bool ReplaceSnapshot(const char* partialPath)
{
    using MoveFileExFunction = BOOL(WINAPI*)(LPCSTR, LPCSTR, DWORD);
    const auto moveFileEx = LookUpProcedure<MoveFileExFunction>(GetModuleHandleA("KERNEL32.DLL"), "MoveFileExA");
    if (moveFileEx != nullptr) {
        if (moveFileEx(partialPath, kSnapshotPath, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) return true;
        if (GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
    }
    DeleteFileA(kSnapshotPath);
    return MoveFileA(partialPath, kSnapshotPath) != 0;
}

bool WriteAll(HANDLE file, const std::vector<std::uint8_t>& bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const std::size_t left = bytes.size() - done;
        const DWORD chunk = left > 0x100000 ? 0x100000 : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, chunk, &written, nullptr) || written == 0) return false;
        done += written;
    }
    return true;
}

// Makes the temporary file, new: CREATE_NEW never opens anything that
// already stands at the name. When something does stand at the temporary
// path (what a helper ended midway left, or a file or link someone put
// there), it is left alone, neither opened nor deleted (deleting by name
// deletes what a link points to under some systems, Wine among them), and
// the picture goes to a name of this run's own instead.
HANDLE CreateTemporaryFile(SECURITY_ATTRIBUTES* security, std::string& path)
{
    path = kSnapshotPartialPath;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, security, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD error = GetLastError();
    if (file != INVALID_HANDLE_VALUE || (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS)) return file;
    path += '.';
    const std::size_t digitsAt = path.size();
    for (DWORD id = GetCurrentProcessId();; id /= 10) {
        path.insert(digitsAt, 1, static_cast<char>('0' + id % 10));
        if (id < 10) break;
    }
    return CreateFileA(path.c_str(), GENERIC_WRITE, 0, security, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// security: the private descriptor on Windows NT, nullptr elsewhere.
bool WriteSnapshot(const std::vector<std::uint8_t>& picture, SECURITY_ATTRIBUTES* security)
{
    std::string path;
    HANDLE file = CreateTemporaryFile(security, path);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool written = WriteAll(file, picture);
    const bool closed = CloseHandle(file) != 0;
    // The file is this run's own from here on: removing it on failure
    // removes nothing else.
    if (!written || !closed || !ReplaceSnapshot(path.c_str())) {
        DeleteFileA(path.c_str());
        return false;
    }
    return true;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    try {
        std::vector<std::uint8_t> picture;
        if (!CopyDesktop(picture)) return 1;
        PrivateFileSecurity security;
        SECURITY_ATTRIBUTES* attributes = nullptr;
        if (RunsOnWindowsNt()) {
            if (!security.Build()) return 2;
            attributes = &security.attributes;
        }
        return WriteSnapshot(picture, attributes) ? 0 : 2;
    } catch (...) {
        // No memory for the picture or the descriptor: no file was made yet.
        return 1;
    }
}
