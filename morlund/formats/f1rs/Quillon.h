#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

namespace morlund {

// The outside Quillon library, which decodes F1RS replay ("scope") files. It is
// optional: without it F1RS laps simply have no positions.
class Quillon {
public:
    // Loads the library from this file instead of the usual places (beside the
    // program, then the library search path); an empty path restores them.
    static void SetLibraryPath(const std::filesystem::path& path);
    // Decodes a stored scope file image in place with F1RS_CodeSEQ. False when
    // the library or its entry cannot be found (the image is then unchanged).
    static bool CodeSEQ(std::span<std::uint8_t> image);
};

}  // namespace morlund
