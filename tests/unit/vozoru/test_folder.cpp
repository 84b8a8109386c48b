#include "test_folder.h"

#include "win_handles.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>

namespace ziptest {
namespace {

void RemoveTree(const std::wstring& root, bool removeRoot) {
    WIN32_FIND_DATAW data;
    zor::FindHandle find(FindFirstFileW((root + L"\\*").c_str(), &data));
    if (find) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring child = root + L"\\" + name;
            SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child, true);
            } else {
                DeleteFileW(child.c_str());
            }
        } while (FindNextFileW(find.get(), &data));
    }
    find.reset();
    if (removeRoot)
        RemoveDirectoryW(root.c_str());
}

void ListInto(const std::wstring& root, const std::wstring& prefix,
              std::vector<std::wstring>* out) {
    WIN32_FIND_DATAW data;
    zor::FindHandle find(FindFirstFileW((root + L"\\*").c_str(), &data));
    if (!find)
        return;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..")
            continue;
        out->push_back(prefix + name);
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ListInto(root + L"\\" + name, prefix + name + L"\\", out);
        }
    } while (FindNextFileW(find.get(), &data));
}

} // namespace

TempFolder::TempFolder() {
    static std::atomic<unsigned> counter{0};
    wchar_t temp[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, temp);
    if (length == 0 || length >= MAX_PATH)
        throw std::runtime_error("GetTempPathW");
    path_ = std::wstring(temp, length) + L"vozoru-" + std::to_wstring(GetCurrentProcessId()) +
            L"-" + std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(++counter);
    if (!CreateDirectoryW(path_.c_str(), nullptr))
        throw std::runtime_error("CreateDirectoryW");
}

TempFolder::~TempFolder() {
    RemoveTree(path_, true);
}

bool WriteBytes(const std::wstring& path, const std::vector<unsigned char>& bytes) {
    zor::FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    DWORD written = 0;
    return WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                     nullptr) &&
           written == bytes.size();
}

bool ReadBytes(const std::wstring& path, std::string* bytes) {
    zor::FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size))
        return false;
    bytes->assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD got = 0;
    if (size.QuadPart == 0)
        return true;
    return ReadFile(file.get(), &(*bytes)[0], static_cast<DWORD>(size.QuadPart), &got, nullptr) &&
           got == size.QuadPart;
}

bool PathExists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<std::wstring> ListTree(const std::wstring& root) {
    std::vector<std::wstring> out;
    ListInto(root, L"", &out);
    std::sort(out.begin(), out.end());
    return out;
}

void EmptyFolder(const std::wstring& root) {
    RemoveTree(root, false);
}

} // namespace ziptest
