#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

namespace morlund {

// The process's view of its surroundings, in UTF-8 on every system: command-line
// arguments, environment variables, the standard streams.

// The command-line arguments as UTF-8 (on Windows read again from the wide command
// line, since the narrow argv holds them in the ANSI code page).
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// An environment variable's value; nullopt when it is not set.
std::optional<std::string> GetEnvironmentValue(const std::string& name);
// Sets a variable, or removes it with nullopt; false on failure.
bool SetEnvironmentValue(const std::string& name, const std::optional<std::string>& value);

// This process's id (unique names for scratch files).
int ProcessId();
// Seconds since this process started, from the system's process table; -1 where unknown.
double ProcessAgeSeconds();
// Memory this process holds in RAM (resident set, working set), bytes; 0 where unknown.
std::uint64_t ResidentMemoryBytes();

// Bytes written to the stream reach it unchanged: on Windows a text stream turns
// every "\n" into "\r\n", which would double the "\r" of lines that end in CR LF.
void SetBinaryStream(std::FILE* stream);

}  // namespace morlund
