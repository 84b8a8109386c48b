#include "log_test_support.h"

#include <windows.h>

#include <regex>
#include <vector>

namespace logtest {
namespace {

void RemoveTree(const std::wstring& folder) {
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + L"*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = folder + name;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child + L"\\");
            } else {
                SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryW(folder.c_str());
}

std::size_t FileSizeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return static_cast<std::size_t>(data.nFileSizeLow);
}

} // namespace

TempFolder::TempFolder() {
    wchar_t base[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, base);
    static unsigned counter = 0;
    for (;;) {
        path_ = std::wstring(base) + L"zorlog-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++counter) + L"\\";
        if (CreateDirectoryW(path_.c_str(), nullptr))
            break;
    }
}

TempFolder::~TempFolder() {
    RemoveTree(path_);
}

std::string ReadFileBytes(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, got);
    CloseHandle(file);
    return bytes;
}

void WriteFileBytes(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
}

bool PathExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::wstring NormalLogWatch::Folder() {
    wchar_t drive[MAX_PATH] = {};
    GetEnvironmentVariableW(L"SystemDrive", drive, MAX_PATH);
    return std::wstring(drive) + L"\\ridezezer\\log\\";
}

std::wstring NormalLogWatch::Path() {
    return Folder() + L"vazuvuda.log";
}

NormalLogWatch::NormalLogWatch() {
    const std::wstring folder = Folder();
    rootExisted_ = PathExists(folder.substr(0, folder.size() - 4));
    folderExisted_ = PathExists(folder);
    fileExisted_ = PathExists(Path());
    start_ = FileSizeOf(Path());
}

NormalLogWatch::~NormalLogWatch() {
    const std::wstring folder = Folder();
    if (!fileExisted_)
        DeleteFileW(Path().c_str());
    if (!folderExisted_)
        RemoveTree(folder);
    if (!rootExisted_)
        RemoveDirectoryW(folder.substr(0, folder.size() - 4).c_str());
}

std::string NormalLogWatch::Appended() const {
    const std::string all = ReadFileBytes(Path());
    return all.size() > start_ ? all.substr(start_) : std::string();
}

std::string MaskTimes(const std::string& text) {
    static const std::regex time("[0-9]{1,2}:[0-9]{2}:[0-9]{2}");
    return std::regex_replace(text, time, "<time>");
}

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

} // namespace logtest
