#pragma once

// Helpers of the data library's tests; the general ones come from tests/support.

#include <filesystem>
#include <string>

#include "morlund/platform/File.h"
#include "tests/support/Files.h"

namespace testsupport {

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
