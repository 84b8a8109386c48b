#include "browse_folder.h"

#include <objbase.h>
#include <ole2.h>
#include <shlobj.h>

#include <string>

#include "com_ptr.h"
#include "res/resource.h"
#include "resource_text.h"
#include "show_message.h"

namespace zor {
namespace {

// File-system folders only, in the resizable browser with its own edit box.
constexpr UINT kBrowseFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
constexpr size_t kTitleMax = 260;

// OLE for the life of one browse; the browser's new style needs it.
class OleSession {
public:
    OleSession() : initialised_(SUCCEEDED(::OleInitialize(nullptr))) {}
    ~OleSession() {
        if (initialised_)
            ::OleUninitialize();
    }
    OleSession(const OleSession&) = delete;
    OleSession& operator=(const OleSession&) = delete;

private:
    bool initialised_;
};

// An item list handed out by the shell, freed with the shell's allocator.
class ShellItemList {
public:
    ShellItemList(IMalloc* allocator, PIDLIST_ABSOLUTE items)
        : allocator_(allocator), items_(items) {}
    ~ShellItemList() {
        if (items_)
            allocator_->Free(items_);
    }
    ShellItemList(const ShellItemList&) = delete;
    ShellItemList& operator=(const ShellItemList&) = delete;
    PIDLIST_ABSOLUTE get() const { return items_; }

private:
    IMalloc* allocator_;
    PIDLIST_ABSOLUTE items_;
};

// The folder holding the launcher's own file; empty when its path does not fit.
std::wstring LauncherFolder() {
    wchar_t path[MAX_PATH + 1] = {};
    const DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH)
        return std::wstring();
    std::wstring folder(path, length);
    const size_t separator = folder.find_last_of(L"\\/");
    if (separator == std::wstring::npos)
        return std::wstring();
    // A drive root keeps its backslash ("C:\").
    folder.resize(separator > 0 && folder[separator - 1] == L':' ? separator + 1 : separator);
    return folder;
}

int CALLBACK SelectStartFolder(HWND browser, UINT message, LPARAM, LPARAM data) {
    const auto* start = reinterpret_cast<const std::wstring*>(data);
    if (message == BFFM_INITIALIZED && start && !start->empty())
        ::SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(start->c_str()));
    return 0;
}

} // namespace

bool BrowseForExtractFolder(HWND owner, wchar_t* path, size_t capacity) {
    if (!path || capacity == 0)
        return false;
    path[0] = L'\0';
    const std::wstring title = LoadLocalizedString(IDS_BROWSE_TITLE, kTitleMax - 1);
    const std::wstring start = LauncherFolder();

    OleSession ole;
    ComPtr<IMalloc> allocator;
    if (FAILED(::SHGetMalloc(allocator.put())) || !allocator)
        return false;

    wchar_t displayName[MAX_PATH] = {};
    BROWSEINFOW browse = {};
    browse.hwndOwner = owner;
    browse.pidlRoot = nullptr;
    browse.pszDisplayName = displayName;
    browse.lpszTitle = title.c_str();
    browse.ulFlags = kBrowseFlags;
    browse.lpfn = SelectStartFolder;
    browse.lParam = reinterpret_cast<LPARAM>(&start);
    ShellItemList chosen(allocator.get(), ::SHBrowseForFolderW(&browse));
    if (!chosen.get())
        return false;

    wchar_t folder[MAX_PATH] = {};
    if (!::SHGetPathFromIDListW(chosen.get(), folder) || folder[0] == L'\0') {
        ShowMessage(owner, IDS_BAD_EXTRACT_FOLDER, kMessageCaptionId, MB_OK | MB_ICONWARNING);
        return false;
    }
    const size_t length = std::char_traits<wchar_t>::length(folder);
    if (length >= capacity)
        return false;
    std::char_traits<wchar_t>::copy(path, folder, length + 1);
    return true;
}

} // namespace zor
