#include "ini_settings_store.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace {

std::string Trim(const std::string& s)
{
    std::string::size_type b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= ' ') ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= ' ') --e;
    return s.substr(b, e - b);
}

// Profile names compare without regard to ASCII case.
bool SameName(const std::string& a, const char* b)
{
    std::string::size_type i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return i == a.size() && b[i] == '\0';
}

// Returns true and the section name when the line is a section header.
bool ParseSectionLine(const std::string& line, std::string& name)
{
    const std::string t = Trim(line);
    if (t.empty() || t[0] != '[') return false;
    const std::string::size_type close = t.find(']');
    name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
    return true;
}

// Returns true with key and value when the line holds a key.
bool ParseKeyLine(const std::string& line, std::string& key, std::string& value)
{
    const std::string t = Trim(line);
    if (t.empty()) return false;
    const std::string::size_type eq = t.find('=');
    key = Trim(t.substr(0, eq));
    value = eq == std::string::npos ? std::string() : Trim(t.substr(eq + 1));
    // A value in matching quotes is given without them.
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return !key.empty();
}

} // namespace

std::int32_t ParseProfileInt(const std::string& text)
{
    std::string::size_type i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= ' ' && text[i] != '\0') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) {
        negative = text[i] == '-';
        ++i;
    }
    std::uint32_t value = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        value = value * 10u + static_cast<std::uint32_t>(text[i] - '0');
        ++i;
    }
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

bool IniSettingsStore::Load(const std::string& path)
{
    lines_.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::FILE* probe = std::fopen(path.c_str(), "rb");
        if (probe) {
            std::fclose(probe);
            return false;
        }
        return true;
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return false;
    LoadText(buffer.str());
    return true;
}

void IniSettingsStore::LoadText(const std::string& text)
{
    lines_.clear();
    std::string line;
    std::istringstream lines(text);
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines_.push_back(line);
    }
}

bool IniSettingsStore::Save() const
{
    if (path_.empty()) return true;
    std::ofstream out(path_, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    for (const std::string& line : lines_) out << line << "\r\n";
    return static_cast<bool>(out);
}

bool IniSettingsStore::FindValue(const char* section, const char* key, std::string& value) const
{
    bool inSection = false;
    for (const std::string& line : lines_) {
        std::string name, k, v;
        if (ParseSectionLine(line, name)) {
            // The first section of that name is the one the profile API reads.
            if (inSection) return false;
            inSection = SameName(name, section);
        } else if (inSection && ParseKeyLine(line, k, v) && SameName(k, key)) {
            value = v;
            return true;
        }
    }
    return false;
}

void IniSettingsStore::SetValue(const char* section, const char* key, const std::string& text)
{
    const std::string newLine = std::string(key) + "=" + text;
    bool inSection = false;
    std::vector<std::string>::size_type lastOfSection = 0;
    bool sectionFound = false;
    for (std::vector<std::string>::size_type i = 0; i < lines_.size(); ++i) {
        std::string name, k, v;
        if (ParseSectionLine(lines_[i], name)) {
            if (inSection) break;
            inSection = SameName(name, section);
            if (inSection) {
                sectionFound = true;
                lastOfSection = i;
            }
        } else if (inSection) {
            if (ParseKeyLine(lines_[i], k, v) && SameName(k, key)) {
                lines_[i] = newLine;
                return;
            }
            if (!Trim(lines_[i]).empty()) lastOfSection = i;
        }
    }
    if (sectionFound) {
        lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastOfSection + 1), newLine);
        return;
    }
    lines_.push_back(std::string("[") + section + "]");
    lines_.push_back(newLine);
}

std::int32_t IniSettingsStore::ReadSettingInt(const char* section, const char* key, std::int32_t defaultValue)
{
    std::string value;
    if (!FindValue(section, key, value) || value.empty()) return defaultValue;
    return ParseProfileInt(value);
}

void IniSettingsStore::WriteSettingString(const char* section, const char* key, const char* text)
{
    SetValue(section, key, text);
    Save();
}
