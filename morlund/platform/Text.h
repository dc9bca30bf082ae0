#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

namespace morlund {

// printf-style formatting into a std::string.
std::string Format(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

// Text stored by the games is 8-bit (Latin-1); the library's strings are UTF-8.
std::string Latin1ToUtf8(std::string_view text);

// ASCII case-insensitive comparisons (file names, extensions, keys).
bool EqualsNoCase(std::string_view a, std::string_view b);
bool EndsWithNoCase(std::string_view text, std::string_view suffix);

}  // namespace morlund
