#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace morlund {

// An initialisation file read the way the games' own tools read them: section
// and key names match ignoring case, values are trimmed of surrounding blanks,
// the first occurrence of a key in the first matching section wins, lines
// without "=" (comments among them) are ignored.
class IniFile {
public:
    // Reads the file; false (and an empty file) when it cannot be read.
    bool Load(const std::filesystem::path& path);
    void LoadText(std::string_view text);

    // The value of a key, or nothing when the section or the key is absent. A
    // key present with an empty value gives an empty string.
    std::optional<std::string> Get(std::string_view section, std::string_view key) const;

    // As the platform's profile reader with a buffer of `bufferSize` characters:
    // the default for an absent key, values cut to bufferSize - 1 characters.
    std::string GetString(std::string_view section, std::string_view key,
                          std::string_view defaultValue, std::size_t bufferSize = 2048) const;

    // Every key of the file in file order, with its section as written.
    struct Entry {
        std::string section;
        std::string key;
        std::string value;
    };
    const std::vector<Entry>& Entries() const { return m_entries; }

private:
    std::vector<Entry> m_entries;
};

}  // namespace morlund
