#include "morlund/platform/Process.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <windows.h>
// After windows.h; version 2 names the kernel's own entry points.
#define PSAPI_VERSION 2
#include <psapi.h>
#else
#include <unistd.h>
#endif

namespace morlund {

#if defined(_WIN32)
namespace {

std::string Utf8FromWide(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return std::string();
    std::string out(static_cast<std::size_t>(size - 1), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    return out;
}

std::wstring WideFromUtf8(const std::string& text) {
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (size <= 1) return std::wstring();
    std::wstring out(static_cast<std::size_t>(size - 1), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, out.data(), size);
    return out;
}

}  // namespace
#endif

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    std::vector<std::string> out;
#if defined(_WIN32)
    int count = 0;
    if (wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count)) {
        // The wide command line is the truth unless it disagrees with argv on the count.
        if (count == argc) {
            for (int i = 0; i < count; ++i) out.push_back(Utf8FromWide(wide[i]));
        }
        LocalFree(wide);
        if (!out.empty()) return out;
    }
#endif
    for (int i = 0; i < argc; ++i) out.emplace_back(argv[i] != nullptr ? argv[i] : "");
    return out;
}

std::optional<std::string> GetEnvironmentValue(const std::string& name) {
#if defined(_WIN32)
    const wchar_t* value = _wgetenv(WideFromUtf8(name).c_str());
    if (value == nullptr) return std::nullopt;
    return Utf8FromWide(value);
#else
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
#endif
}

bool SetEnvironmentValue(const std::string& name, const std::optional<std::string>& value) {
#if defined(_WIN32)
    // An empty value removes the variable on Windows.
    return _wputenv_s(WideFromUtf8(name).c_str(), value ? WideFromUtf8(*value).c_str() : L"") == 0;
#else
    return value ? ::setenv(name.c_str(), value->c_str(), 1) == 0 : ::unsetenv(name.c_str()) == 0;
#endif
}

int ProcessId() {
#if defined(_WIN32)
    return _getpid();
#else
    return static_cast<int>(::getpid());
#endif
}

double ProcessAgeSeconds() {
#if defined(_WIN32)
    FILETIME created, exited, kernel, user, now;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return -1.0;
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& t) {
        return (static_cast<std::uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    };
    return static_cast<double>(ticks(now) - ticks(created)) / 1e7;  // 100 ns ticks
#elif defined(__linux__)
    std::ifstream stat("/proc/self/stat");
    std::ifstream uptime("/proc/uptime");
    std::string line;
    double now = 0.0;
    if (!std::getline(stat, line) || !(uptime >> now)) return -1.0;
    // Field 22 (start time in clock ticks after boot) follows the command name in brackets.
    const std::size_t name = line.rfind(')');
    if (name == std::string::npos || name + 2 > line.size()) return -1.0;
    std::istringstream fields(line.substr(name + 2));
    std::string field;
    for (int i = 3; i < 22 && fields >> field; ++i) {
    }
    unsigned long long ticks = 0;
    if (!(fields >> ticks)) return -1.0;
    return now - static_cast<double>(ticks) / static_cast<double>(::sysconf(_SC_CLK_TCK));
#else
    return -1.0;
#endif
}

std::uint64_t ResidentMemoryBytes() {
#if defined(_WIN32)
    PROCESS_MEMORY_COUNTERS counters{};
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return counters.WorkingSetSize;
#elif defined(__linux__)
    std::ifstream statm("/proc/self/statm");
    std::uint64_t pages = 0, resident = 0;
    if (!(statm >> pages >> resident)) return 0;
    return resident * static_cast<std::uint64_t>(::sysconf(_SC_PAGESIZE));
#else
    return 0;
#endif
}

void SetBinaryStream(std::FILE* stream) {
#if defined(_WIN32)
    std::fflush(stream);
    _setmode(_fileno(stream), _O_BINARY);
#else
    (void)stream;
#endif
}

}  // namespace morlund
