#pragma once

// Shared helpers of the data library's tests.

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "morlund/platform/File.h"

namespace testsupport {

// A fresh folder under the build tree's scratch area, removed afterwards.
class TempDir {
public:
    TempDir() {
        static int counter = 0;
        const auto base = std::filesystem::path(TARNWICK_TEST_SCRATCH);
        m_path = base / ("t" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        std::filesystem::remove_all(m_path);
        std::filesystem::create_directories(m_path);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }

private:
    std::filesystem::path m_path;
};

inline void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// A file of the real-data folder beside the checkout, or an empty path when it is absent
// (the caller skips).
inline std::filesystem::path RealDataFile(const std::string& name) {
    const auto path = std::filesystem::path(TARNWICK_REALDATA_DIR) / name;
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec) ? path : std::filesystem::path();
}

inline morlund::File OpenRead(const std::filesystem::path& path) {
    morlund::File f;
    f.Open(path, morlund::File::Mode::Read);
    return f;
}

}  // namespace testsupport
