#pragma once

#include <string>

namespace pellith {

// The delimiter choices, in the order the export offers them:
// 0 "System default", 1 "Comma", 2 "Semicolon", 3 "Tab", 4 "Space".
inline constexpr int kDelimiterCount = 5;

// The choice's name; empty outside 0..kDelimiterCount-1.
std::string GetDelimiterName(int choice);
// What is written between two cells: the system's list separator, ", ",
// "; ", a tab or a blank. A choice outside the table counts as the system's.
std::string GetDelimiter(int choice);
// The user's list separator, at most 4 characters: the locale setting on
// Windows; elsewhere ";" where the locale writes decimal commas, "," otherwise.
std::string GetSystemListSeparator();

}  // namespace pellith
