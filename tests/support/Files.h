#pragma once

// Scratch folders, whole-file reads and writes, and environment variables set
// for one scope: what the test programs of every library need.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace testsupport {

// A fresh folder under the build tree's scratch area, removed afterwards. The
// prefix tells the test programs' folders apart when they run side by side.
class TempDir {
public:
    explicit TempDir(const std::string& prefix = "t");
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
// The whole file; empty when it cannot be read.
std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path);
std::string ReadText(const std::filesystem::path& path);

// A command line run through the system's shell: its exit status (-1 when it did
// not end normally) and everything it wrote to stdout, byte for byte.
struct CommandRun {
    int status = -1;
    std::string out;
};
CommandRun RunCommand(const std::string& commandLine);

// The variable that names the user's data folder ("APPDATA" on Windows).
const char* UserDataVariable();

// Sets (or, with nullopt, removes) an environment variable until the end of the
// scope, then puts back what was there.
class ScopedEnv {
public:
    ScopedEnv(std::string name, const std::optional<std::string>& value);
    ~ScopedEnv();
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};

}  // namespace testsupport
