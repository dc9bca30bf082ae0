#include "tests/support/Files.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

#include "morlund/platform/Process.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/wait.h>
#endif

namespace testsupport {

TempDir::TempDir(const std::string& prefix) {
    static int counter = 0;
    // Absolute and normal, as the library reports the paths of files it opens.
    m_path = std::filesystem::absolute(
                 std::filesystem::path(TARNWICK_TEST_SCRATCH) /
                 (prefix + std::to_string(morlund::ProcessId()) + "_" + std::to_string(counter++)))
                 .lexically_normal();
    std::filesystem::remove_all(m_path);
    std::filesystem::create_directories(m_path);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

ScopedEnv::ScopedEnv(std::string name, const std::optional<std::string>& value)
    : m_name(std::move(name)) {
    m_old = morlund::GetEnvironmentValue(m_name);
    morlund::SetEnvironmentValue(m_name, value);
}

ScopedEnv::~ScopedEnv() { morlund::SetEnvironmentValue(m_name, m_old); }

CommandRun RunCommand(const std::string& commandLine) {
    CommandRun run;
#if defined(_WIN32)
    // The narrow call would read the command line in the ANSI code page.
    std::wstring wide(commandLine.size() + 1, L'\0');
    wide.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, commandLine.data(), static_cast<int>(commandLine.size()),
                            wide.data(), static_cast<int>(wide.size()))));
    FILE* pipe = _wpopen(wide.c_str(), L"rb");
#else
    FILE* pipe = popen(commandLine.c_str(), "r");
#endif
    if (pipe == nullptr) return run;
    char buffer[65536];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        run.out.append(buffer, n);
#if defined(_WIN32)
    run.status = _pclose(pipe);
#else
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
#endif
    return run;
}

const char* UserDataVariable() {
#if defined(_WIN32)
    return "APPDATA";
#else
    return "XDG_DATA_HOME";
#endif
}

}  // namespace testsupport
