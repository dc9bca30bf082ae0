#pragma once

#include <filesystem>

namespace morlund {

// A shared library opened at run time, for outside code that may or may not be
// installed. Closed when the object goes.
class SharedLibrary {
public:
    SharedLibrary() = default;
    ~SharedLibrary();
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;
    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;

    // Opens a library by path, or by bare name through the platform's library
    // search path; false when it cannot be loaded.
    bool Open(const std::filesystem::path& path);
    bool IsOpen() const { return m_handle != nullptr; }
    void Close();
    // The address of an exported symbol; null when absent or not open.
    void* Symbol(const char* name) const;

private:
    void* m_handle = nullptr;
};

}  // namespace morlund
