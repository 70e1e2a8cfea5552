// What a process holds of the system, read from inside it or from another
// process: its GDI objects, its USER objects, its kernel handles and its
// private bytes, and the rule by which a run counts as leaving them flat.
#pragma once

#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace process_objects {

// The process environment block of a process, or nullptr.
inline const void* EnvironmentBlock(HANDLE process)
{
    using QueryFunction = LONG(WINAPI*)(HANDLE, PROCESSINFOCLASS, void*, ULONG, ULONG*);
    static const auto query = reinterpret_cast<QueryFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    if (query == nullptr || query(process, ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0) return nullptr;
    return basic.PebBaseAddress;
}

// Copies size bytes at address in the process; false when they cannot be read.
inline bool ReadMemory(HANDLE process, const void* address, void* into, std::size_t size)
{
    if (GetProcessId(process) == GetCurrentProcessId()) {
        std::memcpy(into, address, size);
        return true;
    }
    SIZE_T read = 0;
    return ReadProcessMemory(process, address, into, size, &read) && read == size;
}

// Live GDI objects of the process. Wine does not count them for
// GetGuiResources (0, with ERROR_CALL_NOT_IMPLEMENTED); there the process's
// GDI handle table is counted instead: 0x10000 entries of 24 bytes, the object
// type in bytes 14..15, 0 for a free entry, reached through the process
// environment block at offset 0xF8 as on Windows. Entries are handed out
// from the front, so the table is read a block at a time up to the first
// block never used (from another process about 1 ms instead of 13 for the
// whole table). Stock objects are counted too; they never change. 0 when
// nothing can be read.
inline DWORD CountGdiObjects(HANDLE process)
{
    SetLastError(0);
    const DWORD counted = GetGuiResources(process, GR_GDIOBJECTS);
    if (counted != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return counted;
#ifdef _WIN64
    const auto* environment = static_cast<const unsigned char*>(EnvironmentBlock(process));
    const unsigned char* table = nullptr;
    if (environment == nullptr || !ReadMemory(process, environment + 0xF8, &table, sizeof table) || table == nullptr) return 0;
    constexpr std::size_t kEntries = 0x10000, kEntrySize = 24, kBlock = 0x400;
    std::vector<unsigned char> block(kBlock * kEntrySize);
    DWORD live = 0;
    for (std::size_t first = 0; first < kEntries; first += kBlock) {
        if (!ReadMemory(process, table + first * kEntrySize, block.data(), block.size())) return 0;
        bool used = false;
        for (std::size_t i = 0; i < kBlock; ++i) {
            unsigned short type = 0;
            std::memcpy(&type, &block[i * kEntrySize + 14], sizeof type);
            live += type != 0 ? 1 : 0;
        }
        for (unsigned char byte : block) used = used || byte != 0;
        if (!used) break;
    }
    return live;
#else
    return 0;
#endif
}

struct WindowCount {
    DWORD processId;
    DWORD windows;
};

inline BOOL CALLBACK CountProcessWindow(HWND window, LPARAM data)
{
    auto* count = reinterpret_cast<WindowCount*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    count->windows += owner == count->processId ? 1 : 0;
    return TRUE;
}

inline BOOL CALLBACK CountTopLevelAndChildren(HWND window, LPARAM data)
{
    CountProcessWindow(window, data);
    // Every descendant, also children of another process's windows (a preview
    // is a child of the display settings' window).
    EnumChildWindows(window, CountProcessWindow, data);
    return TRUE;
}

// USER objects of the process. Wine does not count them for GetGuiResources
// either; there the windows the process owns are counted: top-level ones,
// hidden ones, every descendant wherever it hangs, and message-only ones.
// Windows are the USER objects a saver makes; the icons and cursors it loads
// from resources are shared and loaded once, and a window's timers go with
// the window.
inline DWORD CountUserObjects(HANDLE process)
{
    SetLastError(0);
    const DWORD counted = GetGuiResources(process, GR_USEROBJECTS);
    if (counted != 0 || GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return counted;
    WindowCount count{GetProcessId(process), 0};
    EnumWindows(CountTopLevelAndChildren, reinterpret_cast<LPARAM>(&count));
    for (HWND messageOnly = FindWindowExA(HWND_MESSAGE, nullptr, nullptr, nullptr); messageOnly != nullptr;
         messageOnly = FindWindowExA(HWND_MESSAGE, messageOnly, nullptr, nullptr))
        CountTopLevelAndChildren(messageOnly, reinterpret_cast<LPARAM>(&count));
    return count.windows;
}

// The process's private bytes, its commit charge, 0 when they cannot be read.
// Wine leaves PrivateUsage 0 and gives the figure as PagefileUsage (which the
// platform defines as the same commit charge): there it is the process's
// resident anonymous memory, so a leaked block counts once it is written.
inline std::uint64_t PrivateBytes(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters), sizeof counters)) return 0;
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

// Kernel handles the process holds (a started helper's process and thread
// handles among them). Wine answers GetProcessHandleCount with 0; there the
// system's handle list (as Wine lays it out: the owner's process id in 32
// bits) is counted for the process instead.
inline DWORD CountKernelHandles(HANDLE process)
{
    DWORD counted = 0;
    if (GetProcessHandleCount(process, &counted) && counted != 0) return counted;
    struct Entry {
        ULONG ownerId;
        BYTE objectType, flags;
        USHORT value;
        void* object;
        ACCESS_MASK access;
    };
    struct HandleList {
        ULONG count;
        Entry entry[1];
    };
    using QueryFunction = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
    static const auto query = reinterpret_cast<QueryFunction>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    constexpr ULONG kSystemHandleInformation = 16;
    constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);
    if (query == nullptr) return 0;
    std::vector<unsigned char> buffer(1 << 20);
    LONG status;
    while ((status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), nullptr)) == kInfoLengthMismatch &&
           buffer.size() < (std::size_t{1} << 28))
        buffer.resize(buffer.size() * 2);
    if (status != 0) return 0;
    ULONG entries = 0;
    std::memcpy(&entries, buffer.data(), sizeof entries);
    const std::size_t first = offsetof(HandleList, entry);
    const DWORD owner = GetProcessId(process);
    for (ULONG i = 0; i < entries && first + (i + 1) * sizeof(Entry) <= buffer.size(); ++i) {
        Entry entry;
        std::memcpy(&entry, &buffer[first + i * sizeof(Entry)], sizeof entry);
        counted += entry.ownerId == owner ? 1 : 0;
    }
    return counted;
}

struct Reading {
    DWORD gdi = 0;
    DWORD user = 0;
    DWORD handles = 0;
    std::uint64_t privateBytes = 0;
};

inline Reading Read(HANDLE process = GetCurrentProcess())
{
    Reading reading;
    reading.gdi = CountGdiObjects(process);
    reading.user = CountUserObjects(process);
    reading.handles = CountKernelHandles(process);
    reading.privateBytes = PrivateBytes(process);
    return reading;
}

// Of a process that keeps running, each figure the least of `samples`
// readings, `wait` called before each: an object a drawing call holds for a
// moment shows in some readings, an object that stays in all of them.
template <typename Wait>
Reading ReadLeast(HANDLE process, int samples, Wait wait)
{
    wait();
    Reading least = Read(process);
    for (int n = 1; n < samples; ++n) {
        wait();
        const Reading now = Read(process);
        least.gdi = now.gdi < least.gdi ? now.gdi : least.gdi;
        least.user = now.user < least.user ? now.user : least.user;
        least.handles = now.handles < least.handles ? now.handles : least.handles;
        least.privateBytes = now.privateBytes < least.privateBytes ? now.privateBytes : least.privateBytes;
    }
    return least;
}

// Flat: after a warm-up, no more GDI and USER objects and kernel handles
// than before, and the private bytes grown by less than a fixed amount, the
// allocator's and the platform's own noise. Under Wine the in-process runs
// grew by at most 64 KiB: wipes of many shapes raise the heap's high water
// for a while (1,500 scene changes ended 8 KiB above the 255th). The amount
// is below what a leak of the smallest heap block per frame over 10,000
// frames, of a palette per scene over 200 scenes, or of a window's smallest
// table per preview over 100 previews, adds up to.
constexpr std::uint64_t kPrivateBytesTolerance = 128 * 1024;

inline std::string Describe(const Reading& reading)
{
    return std::to_string(reading.gdi) + " GDI objects, " + std::to_string(reading.user) + " USER objects, " +
           std::to_string(reading.handles) + " handles, " + std::to_string(reading.privateBytes / 1024) + " KiB private";
}

// An empty text when `after` is flat against `before`, else what grew.
inline std::string Growth(const Reading& before, const Reading& after, std::uint64_t tolerance = kPrivateBytesTolerance)
{
    std::string grown;
    if (after.gdi > before.gdi) grown += " GDI objects " + std::to_string(before.gdi) + " -> " + std::to_string(after.gdi) + ";";
    if (after.user > before.user) grown += " USER objects " + std::to_string(before.user) + " -> " + std::to_string(after.user) + ";";
    if (after.handles > before.handles) grown += " handles " + std::to_string(before.handles) + " -> " + std::to_string(after.handles) + ";";
    if (after.privateBytes > before.privateBytes + tolerance)
        grown += " private bytes +" + std::to_string((after.privateBytes - before.privateBytes) / 1024) + " KiB (tolerance " +
                 std::to_string(tolerance / 1024) + " KiB);";
    return grown;
}

} // namespace process_objects
