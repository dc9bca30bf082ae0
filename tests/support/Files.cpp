#include "tests/support/Files.h"

#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <system_error>

namespace testsupport {

TempDir::TempDir(const std::string& prefix) {
    static int counter = 0;
    m_path = std::filesystem::path(TARNWICK_TEST_SCRATCH) /
             (prefix + std::to_string(::getpid()) + "_" + std::to_string(counter++));
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
    if (const char* old = std::getenv(m_name.c_str())) m_old = old;
    if (value) {
        ::setenv(m_name.c_str(), value->c_str(), 1);
    } else {
        ::unsetenv(m_name.c_str());
    }
}

ScopedEnv::~ScopedEnv() {
    if (m_old) {
        ::setenv(m_name.c_str(), m_old->c_str(), 1);
    } else {
        ::unsetenv(m_name.c_str());
    }
}

}  // namespace testsupport
