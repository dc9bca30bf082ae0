#include "pellith/export/Delimiters.h"

#include <array>
#include <locale>

#if defined(_WIN32)
#include <windows.h>
#endif

namespace pellith {

namespace {

struct Delimiter {
    const char* name;
    const char* written;  // null: the system's list separator
};

constexpr std::array<Delimiter, kDelimiterCount> kDelimiters = {{
    {"System default", nullptr},
    {"Comma", ", "},
    {"Semicolon", "; "},
    {"Tab", "\t"},
    {"Space", " "},
}};

}  // namespace

std::string GetDelimiterName(int choice) {
    if (choice < 0 || choice >= kDelimiterCount) return {};
    return kDelimiters[static_cast<std::size_t>(choice)].name;
}

std::string GetDelimiter(int choice) {
    if (choice < 0 || choice >= kDelimiterCount) choice = 0;
    const char* written = kDelimiters[static_cast<std::size_t>(choice)].written;
    return written != nullptr ? std::string(written) : GetSystemListSeparator();
}

std::string GetSystemListSeparator() {
#if defined(_WIN32)
    char text[8] = {};
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SLIST, text, sizeof text) > 0) {
        std::string separator(text);
        if (separator.size() > 4) separator.resize(4);
        if (!separator.empty()) return separator;
    }
    return ",";
#else
    // The user's locale from the environment, without touching the global one.
    try {
        const std::locale user("");
        return std::use_facet<std::numpunct<char> >(user).decimal_point() == ',' ? ";" : ",";
    } catch (const std::exception&) {
        return ",";  // the environment names a locale this system does not have
    }
#endif
}

}  // namespace pellith
