#include "morlund/platform/IniFile.h"

#include <fstream>
#include <sstream>

#include "morlund/platform/Text.h"

namespace morlund {

namespace {
std::string_view Trim(std::string_view s) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && blank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && blank(s.back()))
        s.remove_suffix(1);
    return s;
}
}  // namespace

bool IniFile::Load(const std::filesystem::path& path) {
    m_entries.clear();
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream text;
    text << in.rdbuf();
    LoadText(text.str());
    return true;
}

void IniFile::LoadText(std::string_view text) {
    m_entries.clear();
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // UTF-8 mark
    std::string section;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line.empty()) continue;
        if (line.front() == '[') {
            const std::size_t close = line.find(']');
            section = std::string(Trim(line.substr(
                1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        m_entries.push_back({section, std::string(Trim(line.substr(0, eq))),
                             std::string(Trim(line.substr(eq + 1)))});
    }
}

std::optional<std::string> IniFile::Get(std::string_view section, std::string_view key) const {
    // The first section of that name decides, as with the platform's reader.
    const std::string* firstSection = nullptr;
    for (const Entry& e : m_entries) {
        if (!EqualsNoCase(e.section, section)) continue;
        if (firstSection == nullptr) firstSection = &e.section;
        if (e.section != *firstSection) continue;
        if (EqualsNoCase(e.key, key)) return e.value;
    }
    return std::nullopt;
}

std::string IniFile::GetString(std::string_view section, std::string_view key,
                               std::string_view defaultValue, std::size_t bufferSize) const {
    std::string value(Get(section, key).value_or(std::string(defaultValue)));
    if (bufferSize > 0 && value.size() > bufferSize - 1) value.resize(bufferSize - 1);
    return value;
}

}  // namespace morlund
