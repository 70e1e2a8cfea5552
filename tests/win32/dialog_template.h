// Reading a program's resources from its file: dialog templates control by
// control, and any resource's bytes.
#pragma once

#include <windows.h>

#include <cctype>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

struct TemplateReader {
    const BYTE* at;
    const BYTE* end;
    bool ok = true;

    template <typename T>
    T Take()
    {
        T value{};
        if (at + sizeof(T) > end) {
            ok = false;
            return value;
        }
        std::memcpy(&value, at, sizeof(T));
        at += sizeof(T);
        return value;
    }
    std::string TakeText() // UTF-16 text of plain ASCII characters
    {
        std::string text;
        for (WORD c = Take<WORD>(); ok && c != 0; c = Take<WORD>()) text += static_cast<char>(c);
        return text;
    }
    // A name or ordinal: "#n" for an ordinal, "" for none.
    std::string TakeNameOrOrdinal()
    {
        if (at + 2 <= end && at[0] == 0xFF && at[1] == 0xFF) {
            at += 2;
            return "#" + std::to_string(Take<WORD>());
        }
        return TakeText();
    }
    void AlignToDword(const BYTE* start)
    {
        while ((at - start) % 4 != 0) ++at;
    }
};

struct ControlTemplate {
    DWORD style;
    DWORD exStyle;
    short x, y, cx, cy;
    std::int32_t id;
    std::string className;
    std::string text;
};

inline std::string ClassName(const std::string& raw)
{
    if (raw == "#128") return "button";
    if (raw == "#130") return "static";
    if (raw == "#133") return "combobox";
    std::string lower = raw;
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

struct ProgramResources {
    HMODULE module;
    explicit ProgramResources(const std::string& path) : module(LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE)) {}
    ~ProgramResources() { if (module != nullptr) FreeLibrary(module); }

    std::vector<BYTE> Bytes(LPCSTR type, int id, WORD language = 0) const
    {
        HRSRC found = language != 0 ? FindResourceExA(module, type, MAKEINTRESOURCEA(id), language)
                                    : FindResourceA(module, MAKEINTRESOURCEA(id), type);
        if (found == nullptr) return {};
        const auto* start = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
        return start != nullptr ? std::vector<BYTE>(start, start + SizeofResource(module, found)) : std::vector<BYTE>{};
    }
};

