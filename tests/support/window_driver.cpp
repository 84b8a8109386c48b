#include "window_driver.h"

#include <commctrl.h>
#include <richedit.h>

#include "win_handles.h"

namespace zor::test {
namespace {

struct FindState {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindTopLevel(HWND window, LPARAM parameter) {
    auto* state = reinterpret_cast<FindState*>(parameter);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid == state->pid && ::IsWindowVisible(window)) {
        state->found = window;
        return FALSE;
    }
    return TRUE;
}

// Memory in the process that owns a window, for messages whose arguments point at buffers:
// the system does not copy those between processes.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, size_t size) : size_(size) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        process_.reset(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE,
                                     FALSE, pid));
        if (process_)
            address_ = ::VirtualAllocEx(process_.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE,
                                        PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address_) ::VirtualFreeEx(process_.get(), address_, 0, MEM_RELEASE);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool valid() const { return address_ != nullptr; }
    void* at(size_t offset) const { return static_cast<char*>(address_) + offset; }
    bool Write(const void* data, size_t length, size_t offset = 0) {
        SIZE_T done = 0;
        return valid() && offset <= size_ && length <= size_ - offset &&
               ::WriteProcessMemory(process_.get(), at(offset), data, length, &done) && done == length;
    }
    bool Read(void* data, size_t length, size_t offset = 0) const {
        SIZE_T done = 0;
        return valid() && offset <= size_ && length <= size_ - offset &&
               ::ReadProcessMemory(process_.get(), at(offset), data, length, &done) && done == length;
    }

private:
    zor::KernelHandle process_;
    void* address_ = nullptr;
    size_t size_;
};

// Asks the window itself: for another process's edit and rich edit controls GetWindowText
// returns only the text the system keeps, not what the control holds.
std::wstring TextOf(HWND window) {
    // The length a control reports may be counted in another unit than the characters it
    // copies (an ANSI control counts bytes), so the text ends at its terminator.
    const LRESULT length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    if (length <= 0 || length > 1 << 24) return std::wstring();
    std::wstring text(static_cast<size_t>(length) * 2 + 2, L'\0');
    ::SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]));
    text.back() = L'\0';
    text.resize(std::char_traits<wchar_t>::length(text.c_str()));
    return text;
}

std::wstring ClassOf(HWND window) {
    wchar_t name[256] = {};
    int length = ::GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

BOOL CALLBACK CollectChild(HWND child, LPARAM parameter) {
    auto* info = reinterpret_cast<WindowInfo*>(parameter);
    if (::GetParent(child) != info->window) return TRUE;
    ControlInfo control;
    control.id = ::GetDlgCtrlID(child);
    control.className = ClassOf(child);
    control.text = TextOf(child);
    control.style = static_cast<DWORD>(::GetWindowLongPtrW(child, GWL_STYLE));
    control.visible = ::IsWindowVisible(child) != FALSE;
    control.enabled = ::IsWindowEnabled(child) != FALSE;
    ::GetWindowRect(child, &control.rect);
    ::MapWindowPoints(nullptr, info->window, reinterpret_cast<POINT*>(&control.rect), 2);
    if (_wcsicmp(control.className.c_str(), L"Static") == 0 && (control.style & SS_TYPEMASK) == SS_ICON)
        control.icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
    info->controls.push_back(control);
    return TRUE;
}

struct OtherSearch {
    DWORD pid;
    HWND except;
    HWND found;
};

BOOL CALLBACK FindOther(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<OtherSearch*>(parameter);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && window != search->except && ::IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

struct CaptionSearch {
    DWORD pid;
    const std::wstring* caption;
    HWND found;
};

BOOL CALLBACK FindCaption(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<CaptionSearch*>(parameter);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    const bool processMatches =
        search->pid ? pid == search->pid : pid != ::GetCurrentProcessId();
    if (processMatches && ::IsWindowVisible(window) && TextOf(window) == *search->caption) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

} // namespace

const ControlInfo* WindowInfo::Control(int id) const {
    for (const ControlInfo& control : controls)
        if (control.id == id) return &control;
    return nullptr;
}

std::wstring WindowInfo::StaticTexts() const {
    std::wstring all;
    for (const ControlInfo& control : controls) {
        if (_wcsicmp(control.className.c_str(), L"Static") != 0 || control.text.empty()) continue;
        if (!all.empty()) all += L"\n";
        all += control.text;
    }
    return all;
}

HWND WaitForProcessWindow(DWORD pid, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        FindState state{pid, nullptr};
        ::EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&state));
        if (state.found) return state.found;
        ::Sleep(50);
    } while (::GetTickCount64() < deadline);
    return nullptr;
}

WindowInfo DescribeWindow(HWND window) {
    WindowInfo info;
    info.window = window;
    info.caption = TextOf(window);
    info.className = ClassOf(window);
    ::EnumChildWindows(window, CollectChild, reinterpret_cast<LPARAM>(&info));
    return info;
}

bool PressButton(HWND dialog, int id) {
    HWND button = ::GetDlgItem(dialog, id);
    if (!button) return false;
    ::PostMessageW(button, BM_CLICK, 0, 0);
    return true;
}

} // namespace zor::test

namespace zor::test {

HWND WaitForProcessWindowWithCaption(DWORD pid, const std::wstring& caption, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        CaptionSearch search{pid, &caption, nullptr};
        ::EnumWindows(FindCaption, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        ::Sleep(50);
    } while (::GetTickCount64() < deadline);
    return nullptr;
}

HWND WaitForOtherProcessWindow(DWORD pid, HWND except, DWORD timeoutMs) {
    const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
    do {
        OtherSearch search{pid, except, nullptr};
        ::EnumWindows(FindOther, reinterpret_cast<LPARAM>(&search));
        if (search.found) return search.found;
        ::Sleep(50);
    } while (::GetTickCount64() < deadline);
    return nullptr;
}

HWND FocusedWindowOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    return thread && ::GetGUIThreadInfo(thread, &info) ? info.hwndFocus : nullptr;
}

int DefaultButtonOf(HWND dialog) {
    const LRESULT result = ::SendMessageW(dialog, DM_GETDEFID, 0, 0);
    return HIWORD(result) == DC_HASDEFID ? LOWORD(result) : 0;
}

std::vector<std::vector<std::wstring>> ReadListViewRows(HWND list, int columns) {
    std::vector<std::vector<std::wstring>> rows;
    constexpr size_t kTextUnits = 512;
    RemoteBuffer remote(list, sizeof(LVITEMW) + kTextUnits * sizeof(wchar_t));
    if (!remote.valid()) return rows;
    const LRESULT count = ::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
        std::vector<std::wstring> cells;
        for (int column = 0; column < columns; ++column) {
            LVITEMW item = {};
            item.iSubItem = column;
            item.cchTextMax = static_cast<int>(kTextUnits);
            item.pszText = static_cast<wchar_t*>(remote.at(sizeof(LVITEMW)));
            wchar_t text[kTextUnits] = {};
            if (!remote.Write(&item, sizeof(item)) || !remote.Write(text, sizeof(text), sizeof(LVITEMW)))
                return rows;
            const LRESULT length = ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                                                  reinterpret_cast<LPARAM>(remote.at(0)));
            remote.Read(text, sizeof(text), sizeof(LVITEMW));
            text[kTextUnits - 1] = L'\0';
            cells.emplace_back(text, length > 0 && static_cast<size_t>(length) < kTextUnits
                                         ? static_cast<size_t>(length)
                                         : std::char_traits<wchar_t>::length(text));
        }
        rows.push_back(std::move(cells));
    }
    return rows;
}

CharacterFormat ReadRichEditFormat(HWND box, long from, long to) {
    CharacterFormat result;
    RemoteBuffer remote(box, sizeof(CHARFORMATW));
    CHARFORMATW format = {};
    format.cbSize = sizeof(format);
    if (!remote.Write(&format, sizeof(format))) return result;
    ::SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(from), static_cast<LPARAM>(to));
    ::SendMessageW(box, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(remote.at(0)));
    if (!remote.Read(&format, sizeof(format))) return result;
    result.valid = true;
    result.faceUniform = (format.dwMask & CFM_FACE) != 0;
    format.szFaceName[LF_FACESIZE - 1] = L'\0';
    result.face = format.szFaceName;
    result.boldUniform = (format.dwMask & CFM_BOLD) != 0;
    result.bold = (format.dwEffects & CFE_BOLD) != 0;
    result.heightUniform = (format.dwMask & CFM_SIZE) != 0;
    result.heightTwips = format.yHeight;
    return result;
}

} // namespace zor::test
