#include "folder_link.h"

#include <windows.h>

#include "process_runner.h"

namespace zor::test {
namespace {

bool IsLink(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Wine's path conversion; absent on Windows.
using UnixNameFunction = char* (*)(const wchar_t*);

UnixNameFunction WineUnixName() {
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    return kernel ? reinterpret_cast<UnixNameFunction>(reinterpret_cast<void*>(
                        ::GetProcAddress(kernel, "wine_get_unix_file_name")))
                  : nullptr;
}

std::wstring UnixPath(const std::wstring& path) {
    UnixNameFunction convert = WineUnixName();
    if (!convert)
        return std::wstring();
    char* unix = convert(path.c_str());
    if (!unix)
        return std::wstring();
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, unix, -1, nullptr, 0);
    std::wstring wide(size > 0 ? static_cast<size_t>(size) : 0, L'\0');
    if (size > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, unix, -1, &wide[0], size);
    ::HeapFree(::GetProcessHeap(), 0, unix);
    if (!wide.empty())
        wide.pop_back();
    return wide;
}

// Runs a host program under Wine (Wine starts host executables given by their Z: path). Wine
// cannot wait for such a program, so the caller polls for its effect.
void RunHostTool(const std::wstring& commandLine) {
    RunToEnd(commandLine, 20000);
}

template <typename Condition> bool WaitUntil(Condition condition) {
    for (int attempt = 0; attempt < 100; ++attempt) {
        if (condition())
            return true;
        ::Sleep(50);
    }
    return condition();
}

} // namespace

bool MakeFolderLink(const std::wstring& link, const std::wstring& target) {
    ::CreateSymbolicLinkW(link.c_str(), target.c_str(),
                          SYMBOLIC_LINK_FLAG_DIRECTORY |
                              SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    if (IsLink(link))
        return true;
    const std::wstring unixLink = UnixPath(link);
    const std::wstring unixTarget = UnixPath(target);
    if (unixLink.empty() || unixTarget.empty())
        return false;
    RunHostTool(L"Z:\\bin\\ln -s " + Quote(unixTarget) + L" " + Quote(unixLink));
    return WaitUntil([&] { return IsLink(link); });
}

void RemoveFolderLink(const std::wstring& link) {
    if (!IsLink(link) || ::RemoveDirectoryW(link.c_str()))
        return;
    const std::wstring unixLink = UnixPath(link);
    if (unixLink.empty())
        return;
    RunHostTool(L"Z:\\bin\\rm -f " + Quote(unixLink));
    WaitUntil([&] { return ::GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

} // namespace zor::test
