#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace morlund {

// The one file object readers and writers see: an open file on disk, or a
// file image held in memory (tests, fuzzing). Readers never see a FILE*.
class File {
public:
    enum class Mode {
        Read,           // existing file, read only
        Create,         // created or truncated, write only
        CreateReplace,  // written to a temporary sibling; Commit() moves it over the target
    };
    enum class Origin { Begin, Current, End };

    File();
    ~File();
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&&) noexcept;
    File& operator=(File&&) noexcept;

    // Opens a file; false (with a reason in *error when given) if it cannot be opened.
    bool Open(const std::filesystem::path& path, Mode mode, std::string* error = nullptr);
    // A read-only file over a copy of the bytes, reporting `path` as its path.
    static File FromMemory(std::vector<std::uint8_t> bytes, const std::filesystem::path& path);

    bool IsOpen() const;
    // Reads up to count bytes; returns the number read (short at the end of the file).
    std::size_t Read(void* buffer, std::size_t count);
    // Writes all bytes; false on any failure.
    bool Write(const void* buffer, std::size_t count);
    // Moves the position; false if the target is before the start or the file is not open.
    bool Seek(std::int64_t offset, Origin origin = Origin::Begin);
    std::uint64_t GetPosition() const;
    std::uint64_t GetLength() const;
    // Full path of the file as opened (absolute).
    std::string GetFilePath() const;
    // File name with extension, without the folder.
    std::string GetFileName() const;
    // When the file was created, in seconds since 1970 (the last modification where the
    // file system keeps no creation time); -1 for memory files and when unknown.
    std::int64_t GetCreationTime() const;
    // Reads the whole file from the start; false on a short read.
    bool ReadAll(std::vector<std::uint8_t>& out);

    // CreateReplace files: flushes and moves the written file over the target.
    // Without a successful Commit the target is left untouched.
    bool Commit();
    // Closes the file; a CreateReplace file that was not committed is discarded.
    void Close();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// The path itself when it exists; otherwise a file of the same folder whose
// name matches ignoring case (game folders come from case-insensitive file
// systems); otherwise the path unchanged.
std::filesystem::path FindFileNoCase(const std::filesystem::path& path);

// Asks the system to back a large buffer that is about to be filled with
// large pages, where it can: far fewer page faults when a whole file is read
// into fresh memory. Harmless where unsupported.
void AdviseLargeBuffer(void* data, std::size_t size);

// Seconds since 1970 as local calendar time; false when the value cannot be converted.
bool LocalTime(std::int64_t seconds, std::tm& out);

// Paths cross the library as UTF-8 text. These are the only conversions between
// the two: on Windows a path built from a narrow string would read it in the ANSI
// code page instead.
std::filesystem::path PathFromUtf8(std::string_view utf8);
std::string PathToUtf8(const std::filesystem::path& path);

// The Windows folder ("C:\\Windows"); empty on other systems.
std::filesystem::path WindowsFolder();

// The program's own executable file (for finding files installed beside it).
std::filesystem::path ProgramPath();

}  // namespace morlund
