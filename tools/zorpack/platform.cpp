#include "platform.h"

#include "zip_format.h"

#ifdef _WIN32
#include <windows.h>
// shellapi.h needs the types from windows.h.
#include <shellapi.h>

#include <memory>
#else
#include <cerrno>
#include <cstring>
#include <ctime>
#include <sys/stat.h>
#endif

namespace zorpack {

#ifdef _WIN32

namespace {

struct LocalFreeDeleter {
    void operator()(LPWSTR* p) const noexcept { ::LocalFree(p); }
};

std::string wideToUtf8(const wchar_t* text) {
    const int needed = ::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, -1, nullptr, 0,
                                             nullptr, nullptr);
    if (needed <= 0)
        return std::string();
    std::string out(static_cast<std::size_t>(needed), '\0');
    if (::WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, text, -1, &out[0], needed, nullptr,
                              nullptr) != needed)
        return std::string();
    out.resize(static_cast<std::size_t>(needed) - 1); // drop the terminator
    return out;
}

} // namespace

bool readFileFacts(const std::filesystem::path& path, bool isDirectory, FileFacts& facts,
                   std::string& error) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    FILETIME local;
    SYSTEMTIME calendar;
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ||
        !::FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
        !::FileTimeToSystemTime(&local, &calendar)) {
        error = "cannot read the attributes and time (Windows error " +
                std::to_string(::GetLastError()) + ")";
        return false;
    }
    facts.localModified = CalendarTime{calendar.wYear, calendar.wMonth,  calendar.wDay,
                                       calendar.wHour, calendar.wMinute, calendar.wSecond};
    if (isDirectory)
        facts.attributes = kAttributeDirectory | (data.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN);
    else
        facts.attributes = kAttributeArchive | (data.dwFileAttributes &
                                                (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    return true;
}

std::vector<std::string> programArguments(int, char**) {
    std::vector<std::string> args;
    int count = 0;
    std::unique_ptr<LPWSTR, LocalFreeDeleter> wide(
        ::CommandLineToArgvW(::GetCommandLineW(), &count));
    if (!wide)
        return args;
    for (int i = 1; i < count; ++i)
        args.push_back(wideToUtf8(wide.get()[i]));
    return args;
}

#else

bool readFileFacts(const std::filesystem::path& path, bool isDirectory, FileFacts& facts,
                   std::string& error) {
    struct stat info;
    if (::stat(path.c_str(), &info) != 0) {
        error = std::string("cannot read its status: ") + std::strerror(errno);
        return false;
    }
    std::tm local{};
    if (::localtime_r(&info.st_mtime, &local) == nullptr) {
        error = "its modification time cannot be shown in local time";
        return false;
    }
    facts.localModified = CalendarTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                       local.tm_hour,        local.tm_min,     local.tm_sec};
    // Folders carry no read-only bit: on Windows that bit marks a customised folder, not a
    // protected one. POSIX has no hidden attribute.
    if (isDirectory)
        facts.attributes = kAttributeDirectory;
    else
        facts.attributes = kAttributeArchive | ((info.st_mode & S_IWUSR) ? 0u : kAttributeReadOnly);
    return true;
}

std::vector<std::string> programArguments(int argc, char** argv) {
    return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

#endif

} // namespace zorpack
