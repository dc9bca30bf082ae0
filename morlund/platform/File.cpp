#include "morlund/platform/File.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "morlund/platform/Text.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#endif

namespace morlund {

namespace fs = std::filesystem;

struct File::Impl {
    std::FILE* handle = nullptr;
    bool memory = false;
    std::vector<std::uint8_t> bytes;  // memory files
    std::uint64_t position = 0;       // memory files
    fs::path path;                    // as reported
    fs::path target;                  // CreateReplace: where Commit moves the file
    fs::path temporary;               // CreateReplace: the file being written
    bool failed = false;

    ~Impl() {
        CloseHandle();
        DiscardTemporary();
    }
    void CloseHandle() {
        if (handle != nullptr) {
            if (std::fclose(handle) != 0) failed = true;
            handle = nullptr;
        }
    }
    void DiscardTemporary() {
        if (!temporary.empty()) {
            std::error_code ec;
            fs::remove(temporary, ec);
            temporary.clear();
        }
    }
};

File::File() = default;
File::~File() = default;
File::File(File&&) noexcept = default;
File& File::operator=(File&&) noexcept = default;

static fs::path Absolute(const fs::path& p) {
    std::error_code ec;
    fs::path abs = fs::absolute(p, ec);
    return ec ? p : abs.lexically_normal();
}

bool File::Open(const fs::path& path, Mode mode, std::string* error) {
    Close();
    auto impl = std::make_unique<Impl>();
    impl->path = Absolute(path);
    fs::path openPath = path;
    if (mode == Mode::CreateReplace) {
        impl->target = path;
        impl->temporary = path;
        impl->temporary += ".tmp~";
        openPath = impl->temporary;
    }
#if defined(_WIN32)
    impl->handle = _wfopen(openPath.c_str(), mode == Mode::Read ? L"rb" : L"wb");
#else
    impl->handle = std::fopen(openPath.c_str(), mode == Mode::Read ? "rb" : "wb");
#endif
    if (impl->handle == nullptr) {
        if (error != nullptr) *error = std::strerror(errno);
        impl->temporary.clear();
        return false;
    }
    m_impl = std::move(impl);
    return true;
}

File File::FromMemory(std::vector<std::uint8_t> bytes, const fs::path& path) {
    File f;
    f.m_impl = std::make_unique<Impl>();
    f.m_impl->memory = true;
    f.m_impl->bytes = std::move(bytes);
    f.m_impl->path = path;
    return f;
}

bool File::IsOpen() const { return m_impl && (m_impl->memory || m_impl->handle != nullptr); }

std::size_t File::Read(void* buffer, std::size_t count) {
    if (!IsOpen()) return 0;
    if (m_impl->memory) {
        const std::uint64_t size = m_impl->bytes.size();
        if (m_impl->position >= size) return 0;
        const std::size_t n =
            static_cast<std::size_t>(std::min<std::uint64_t>(count, size - m_impl->position));
        if (n == 0) return 0;  // an empty read may come with no buffer at all
        std::memcpy(buffer, m_impl->bytes.data() + m_impl->position, n);
        m_impl->position += n;
        return n;
    }
    return std::fread(buffer, 1, count, m_impl->handle);
}

bool File::Write(const void* buffer, std::size_t count) {
    if (!IsOpen() || m_impl->memory) return false;
    if (std::fwrite(buffer, 1, count, m_impl->handle) != count) {
        m_impl->failed = true;
        return false;
    }
    return true;
}

bool File::Seek(std::int64_t offset, Origin origin) {
    if (!IsOpen()) return false;
    std::int64_t base = 0;
    if (origin == Origin::Current) base = static_cast<std::int64_t>(GetPosition());
    if (origin == Origin::End) base = static_cast<std::int64_t>(GetLength());
    const std::int64_t target = base + offset;
    if (target < 0) return false;
    if (m_impl->memory) {
        m_impl->position = static_cast<std::uint64_t>(target);
        return true;
    }
#if defined(_WIN32)
    return _fseeki64(m_impl->handle, target, SEEK_SET) == 0;
#else
    return fseeko(m_impl->handle, static_cast<off_t>(target), SEEK_SET) == 0;
#endif
}

std::uint64_t File::GetPosition() const {
    if (!IsOpen()) return 0;
    if (m_impl->memory) return m_impl->position;
#if defined(_WIN32)
    const auto pos = _ftelli64(m_impl->handle);
#else
    const auto pos = ftello(m_impl->handle);
#endif
    return pos < 0 ? 0 : static_cast<std::uint64_t>(pos);
}

std::uint64_t File::GetLength() const {
    if (!IsOpen()) return 0;
    if (m_impl->memory) return m_impl->bytes.size();
    std::fflush(m_impl->handle);
    std::error_code ec;
    const fs::path& p = m_impl->temporary.empty() ? m_impl->path : m_impl->temporary;
    const auto size = fs::file_size(p, ec);
    return ec ? 0 : size;
}

std::int64_t File::GetCreationTime() const {
    if (!IsOpen() || m_impl->memory) return -1;
#if defined(_WIN32)
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(m_impl->path.c_str(), GetFileExInfoStandard, &data)) return -1;
    const std::uint64_t ticks =
        (static_cast<std::uint64_t>(data.ftCreationTime.dwHighDateTime) << 32) |
        data.ftCreationTime.dwLowDateTime;
    // 100 ns ticks since 1601.
    return static_cast<std::int64_t>(ticks / 10000000u) - 11644473600LL;
#else
    struct statx info {};
    if (statx(AT_FDCWD, m_impl->path.c_str(), 0, STATX_BTIME | STATX_MTIME, &info) == 0) {
        if (info.stx_mask & STATX_BTIME) return info.stx_btime.tv_sec;
        if (info.stx_mask & STATX_MTIME) return info.stx_mtime.tv_sec;
    }
    struct stat plain {};
    if (stat(m_impl->path.c_str(), &plain) != 0) return -1;
    return plain.st_mtime;
#endif
}

bool LocalTime(std::int64_t seconds, std::tm& out) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    if (static_cast<std::int64_t>(t) != seconds) return false;
#if defined(_WIN32)
    return localtime_s(&out, &t) == 0;
#else
    return localtime_r(&t, &out) != nullptr;
#endif
}

std::string File::GetFilePath() const { return m_impl ? PathToUtf8(m_impl->path) : std::string(); }

std::string File::GetFileName() const {
    return m_impl ? PathToUtf8(m_impl->path.filename()) : std::string();
}

fs::path PathFromUtf8(std::string_view utf8) {
    return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string PathToUtf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}

bool File::ReadAll(std::vector<std::uint8_t>& out) {
    const std::uint64_t length = GetLength();
    if (!Seek(0)) return false;
    out.resize(static_cast<std::size_t>(length));
    return Read(out.data(), out.size()) == out.size();
}

bool File::Commit() {
    if (!IsOpen() || m_impl->memory || m_impl->temporary.empty()) return false;
    if (std::fflush(m_impl->handle) != 0) m_impl->failed = true;
    m_impl->CloseHandle();
    if (m_impl->failed) {
        m_impl->DiscardTemporary();
        return false;
    }
    std::error_code ec;
    fs::rename(m_impl->temporary, m_impl->target, ec);
    if (ec) {
        m_impl->DiscardTemporary();
        return false;
    }
    m_impl->temporary.clear();
    return true;
}

void File::Close() { m_impl.reset(); }

fs::path FindFileNoCase(const fs::path& path) {
    std::error_code ec;
    if (fs::exists(path, ec)) return path;
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const std::string name = PathToUtf8(path.filename());
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        if (EqualsNoCase(PathToUtf8(it->path().filename()), name)) {
            return path.has_parent_path() ? it->path() : it->path().filename();
        }
    }
    return path;
}

void AdviseLargeBuffer(void* data, std::size_t size) {
#if defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHugePage = 2u << 20;
    if (size < 4 * kHugePage) return;
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = (begin + size) & ~(kHugePage - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)data;
    (void)size;
#endif
}

fs::path WindowsFolder() {
#if defined(_WIN32)
    wchar_t buffer[MAX_PATH];
    const UINT n = GetWindowsDirectoryW(buffer, MAX_PATH);
    return n > 0 && n < MAX_PATH ? fs::path(std::wstring(buffer, n)) : fs::path();
#else
    return fs::path();
#endif
}

fs::path ProgramPath() {
#if defined(_WIN32)
    wchar_t buffer[MAX_PATH];
    const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    return fs::path(std::wstring(buffer, n));
#else
    std::error_code ec;
    fs::path p = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : p;
#endif
}

}  // namespace morlund
