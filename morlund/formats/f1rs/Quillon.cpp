#include "morlund/formats/f1rs/Quillon.h"

#include <climits>
#include <string>

#include "morlund/platform/File.h"
#include "morlund/platform/SharedLibrary.h"

namespace morlund {

namespace {
#if defined(_WIN32)
constexpr const char* kLibraryName = "Quillon.dll";
#else
constexpr const char* kLibraryName = "libquillon.so";
#endif

std::filesystem::path& OverridePath() {
    static std::filesystem::path path;
    return path;
}

bool OpenQuillon(SharedLibrary& library) {
    if (!OverridePath().empty()) return library.Open(OverridePath());
    std::error_code ec;
    const std::filesystem::path beside = ProgramPath().parent_path() / kLibraryName;
    if (!ProgramPath().empty() && std::filesystem::exists(beside, ec) && library.Open(beside)) {
        return true;
    }
    return library.Open(kLibraryName);
}

// The decoder's entry: buffer and length; the result means nothing to us.
using CodeSeqFn = int (*)(unsigned char*, int);
}  // namespace

void Quillon::SetLibraryPath(const std::filesystem::path& path) { OverridePath() = path; }

bool Quillon::CodeSEQ(std::span<std::uint8_t> image) {
    if (image.size() > static_cast<std::size_t>(INT_MAX)) return false;
    SharedLibrary library;
    if (!OpenQuillon(library)) return false;
    void* entry = library.Symbol("F1RS_CodeSEQ");
    if (entry == nullptr) return false;
    const auto codeSeq = reinterpret_cast<CodeSeqFn>(entry);
    codeSeq(image.data(), static_cast<int>(image.size()));
    return true;
}

}  // namespace morlund
