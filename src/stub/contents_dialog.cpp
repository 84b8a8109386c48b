#include "contents_dialog.h"

#include <commctrl.h>

#include <cstdint>
#include <string>

#include "ansi_text.h"
#include "dialog_commands.h"
#include "dos_time_text.h"
#include "launcher_state.h"
#include "res/resource.h"
#include "resource_text.h"
#include "zip_file.h"

namespace zor {
namespace {

// The dialog opens at, and cannot be made smaller than, this size in pixels.
constexpr int kMinimumWidth = 400;
constexpr int kMinimumHeight = 200;
constexpr size_t kTitleMax = 64;

struct Column {
    UINT titleId;
    int width;
    int format;
};
constexpr Column kColumns[] = {{IDS_COLUMN_FILENAME, 125, LVCFMT_LEFT},
                               {IDS_COLUMN_DATE, 80, LVCFMT_LEFT},
                               {IDS_COLUMN_TIME, 80, LVCFMT_LEFT},
                               {IDS_COLUMN_SIZE, 80, LVCFMT_RIGHT}};

void SetCell(HWND list, int row, int column, const std::wstring& text) {
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    ::SendMessageW(list, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                   reinterpret_cast<LPARAM>(&item));
}

void AddColumns(HWND list) {
    int index = 0;
    for (const Column& column : kColumns) {
        std::wstring title = LoadLocalizedString(column.titleId, kTitleMax);
        LVCOLUMNW header = {};
        header.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        header.fmt = column.format;
        header.cx = column.width;
        header.pszText = &title[0];
        header.iSubItem = index;
        ::SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(index),
                       reinterpret_cast<LPARAM>(&header));
        ++index;
    }
}

void AddRows(HWND list, const vozoru::ZIP_File& archive) {
    const uint32_t count = archive.GetEntryCount();
    ::SendMessageW(list, LVM_SETITEMCOUNT, count, 0);
    for (uint32_t index = 0; index < count && index <= static_cast<uint32_t>(INT32_MAX); ++index) {
        const vozoru::ZIP_FileEntry* entry = archive.GetEntry(index);
        if (!entry)
            continue;
        // Entry names are 8-bit text in the ANSI code page.
        std::wstring name = AnsiToWide(entry->GetName(), entry->GetNameLength());
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(index);
        item.pszText = &name[0];
        const LRESULT row =
            ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        if (row < 0)
            continue;
        const DosDateTimeText when = FormatDosDateTime(entry->GetDosDate(), entry->GetDosTime());
        SetCell(list, static_cast<int>(row), 1, when.date);
        SetCell(list, static_cast<int>(row), 2, when.time);
        // The size column shows the 32-bit size field as a signed number.
        SetCell(list, static_cast<int>(row), 3,
                std::to_wstring(static_cast<int32_t>(entry->GetUncompressedSize())));
    }
}

void InitContentsDialog(HWND dialog) {
    HWND list = ::GetDlgItem(dialog, IDC_CONTENTS_LIST);
    AddColumns(list);
    AddRows(list, Archive());
    ::SetWindowPos(dialog, nullptr, 0, 0, kMinimumWidth, kMinimumHeight,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK ContentsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitContentsDialog(dialog);
        return TRUE;
    case WM_SIZE:
        ::MoveWindow(::GetDlgItem(dialog, IDC_CONTENTS_LIST), 0, 0, LOWORD(lParam), HIWORD(lParam),
                     TRUE);
        return TRUE;
    case WM_GETMINMAXINFO: {
        auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
        limits->ptMinTrackSize.x = kMinimumWidth;
        limits->ptMinTrackSize.y = kMinimumHeight;
        return TRUE;
    }
    case WM_COMMAND:
        return HandleCloseCommand(dialog, LOWORD(wParam)) ? TRUE : FALSE;
    default:
        return FALSE;
    }
}

} // namespace

void ShowContentsDialog(HWND owner) {
    INITCOMMONCONTROLSEX classes = {sizeof(classes), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&classes);
    ShowLocalizedDialog(IDD_CONTENTS, owner, ContentsDialog, 0);
}

} // namespace zor
