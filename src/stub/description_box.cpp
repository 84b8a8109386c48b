#include "description_box.h"

#include <richedit.h>

#include "cppkg.h"
#include "dos_time_text.h"
#include "res/resource.h"
#include "resource_text.h"
#include "zip_file.h"

namespace zor {
namespace {

// The control's own window procedure, kept on the control itself while it is subclassed.
constexpr wchar_t kPreviousProcedure[] = L"ZorDescriptionBoxProcedure";

// Rich Edit character height in twips: 11 points.
constexpr LONG kNameHeightTwips = 220;

// The control's own limit (32,767 characters by default) would cut a long description and
// refuse the lines inserted before it; this one no package text reaches.
constexpr LPARAM kTextLimit = 16 * 1024 * 1024;

const wchar_t* OrEmpty(const wchar_t* text) {
    return text ? text : L"";
}

void InsertAtStart(HWND box, const std::wstring& text) {
    ::SendMessageW(box, EM_SETSEL, 0, 0);
    ::SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

// Position of the caret, in the control's own units (which are what the selection uses).
LONG CaretPosition(HWND box) {
    CHARRANGE range = {};
    ::SendMessageW(box, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&range));
    return range.cpMax;
}

void ApplyFormat(HWND box, LONG from, LONG to, CHARFORMATW& format) {
    format.cbSize = sizeof(format);
    ::SendMessageW(box, EM_SETSEL, static_cast<WPARAM>(from), static_cast<LPARAM>(to));
    ::SendMessageW(box, EM_SETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
}

LRESULT CALLBACK DescriptionBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
    auto previous = reinterpret_cast<WNDPROC>(::GetPropW(box, kPreviousProcedure));
    if (!previous)
        return ::DefWindowProcW(box, message, wParam, lParam);
    if (message == WM_SETFOCUS) {
        // Let the control set itself up for the focus first, then return the focus to the
        // window that had it.
        const LRESULT result = ::CallWindowProcW(previous, box, message, wParam, lParam);
        HWND hadFocus = reinterpret_cast<HWND>(wParam);
        if (hadFocus && hadFocus != box && ::IsWindow(hadFocus))
            ::SetFocus(hadFocus);
        return result;
    }
    if (message == WM_NCDESTROY) {
        // The dialog normally restores the control first; this covers a destruction that
        // bypasses it, so that the property never outlives the window.
        RestoreDescriptionBox(box);
    }
    return ::CallWindowProcW(previous, box, message, wParam, lParam);
}

} // namespace

DescriptionLines ComposeDescription(const CPPkg& package, const vozoru::ZIP_File& archive) {
    DescriptionLines lines;
    lines.name = OrEmpty(package.GetLocalizedName());
    lines.versionLine = LoadLocalizedString(IDS_VERSION) + OrEmpty(package.GetVersion());
    lines.description = OrEmpty(package.GetLocalizedDescription());
    if (package.HasConfigUi()) {
        const wchar_t* member = package.GetConfigFileName();
        if (const vozoru::ZIP_FileEntry* entry = member[0] ? archive.FindEntry(member) : nullptr) {
            const DosDateTimeText when =
                FormatDosDateTime(entry->GetDosDate(), entry->GetDosTime());
            lines.configuredLine =
                LoadLocalizedString(IDS_LAST_CONFIGURED) + when.date + L", " + when.time;
        }
    }
    return lines;
}

void FillDescriptionBox(HWND box, const DescriptionLines& lines, const std::wstring& faceName) {
    ::SendMessageW(box, EM_EXLIMITTEXT, 0, kTextLimit);
    // Every piece goes in at the start, so the pieces are inserted from the last line up.
    ::SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(lines.description.c_str()));
    InsertAtStart(box, L"\r\n\r\n");
    if (!lines.configuredLine.empty())
        InsertAtStart(box, L"\r\n" + lines.configuredLine);
    InsertAtStart(box, lines.versionLine);
    InsertAtStart(box, L"\r\n");
    InsertAtStart(box, lines.name);
    // The caret now sits right after the name; its position is the name's length in the
    // control's own units, whatever the character set.
    const LONG nameEnd = CaretPosition(box);

    CHARFORMATW face = {};
    face.dwMask = CFM_FACE;
    const size_t faceLength = faceName.size() < LF_FACESIZE ? faceName.size() : LF_FACESIZE - 1;
    faceName.copy(face.szFaceName, faceLength);
    face.szFaceName[faceLength] = L'\0';
    ApplyFormat(box, 0, -1, face);

    CHARFORMATW bold = {};
    bold.dwMask = CFM_BOLD | CFM_SIZE;
    bold.dwEffects = CFE_BOLD;
    bold.yHeight = kNameHeightTwips;
    ApplyFormat(box, 0, nameEnd, bold);

    ::SendMessageW(box, EM_HIDESELECTION, TRUE, FALSE);
}

bool KeepFocusAway(HWND box) {
    if (!box || ::GetPropW(box, kPreviousProcedure))
        return false;
    const LONG_PTR previous = ::GetWindowLongPtrW(box, GWLP_WNDPROC);
    if (!previous || !::SetPropW(box, kPreviousProcedure, reinterpret_cast<HANDLE>(previous)))
        return false;
    if (!::SetWindowLongPtrW(box, GWLP_WNDPROC,
                             reinterpret_cast<LONG_PTR>(DescriptionBoxProcedure))) {
        ::RemovePropW(box, kPreviousProcedure);
        return false;
    }
    return true;
}

void RestoreDescriptionBox(HWND box) {
    HANDLE previous = ::GetPropW(box, kPreviousProcedure);
    if (!previous)
        return;
    if (::GetWindowLongPtrW(box, GWLP_WNDPROC) ==
        reinterpret_cast<LONG_PTR>(DescriptionBoxProcedure))
        ::SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    ::RemovePropW(box, kPreviousProcedure);
}

} // namespace zor
