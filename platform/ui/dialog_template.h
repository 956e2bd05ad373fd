#pragma once

// A dialog template: the dialog's style, caption and rectangle and its controls, each with its id,
// window class, style, text and rectangle, all rectangles in dialog units (1.5 px across, 1.625 px down).
// Qt-free; the templates themselves live in resources/dialogs.

#include <cstddef>

#include "platform/system/win_types.h"

// Window classes of the controls in templates.
inline constexpr const char* WC_BUTTON = "Button";
inline constexpr const char* WC_EDIT = "Edit";
inline constexpr const char* WC_STATIC = "Static";
inline constexpr const char* WC_COMBOBOX = "ComboBox";
inline constexpr const char* WC_LISTBOX = "ListBox";
inline constexpr const char* WC_LISTVIEW = "SysListView32";
inline constexpr const char* WC_TREEVIEW = "SysTreeView32";
inline constexpr const char* WC_TABCONTROL = "SysTabControl32";
inline constexpr const char* WC_TRACKBAR = "msctls_trackbar32";
inline constexpr const char* WC_PROGRESS = "msctls_progress32";
inline constexpr const char* WC_UPDOWN = "msctls_updown32";
inline constexpr const char* WC_DATETIMEPICK = "SysDateTimePick32";
inline constexpr const char* WC_MONTHCAL = "SysMonthCal32";
inline constexpr const char* WC_IPADDRESS = "SysIPAddress32";

struct DialogItemTemplate {
    UINT id;
    const char* windowClass;
    DWORD style;
    const char* text;  // UTF-8
    short x, y, cx, cy;
};

struct DialogTemplate {
    UINT id;
    DWORD style;
    const char* caption;  // UTF-8
    short x, y, cx, cy;
    const DialogItemTemplate* items;
    size_t itemCount;
};

// Dialog units to pixels.
constexpr int DialogUnitsToPixelsX(int dlu) {
    return (dlu * 3 + 1) / 2;
}
constexpr int DialogUnitsToPixelsY(int dlu) {
    return (dlu * 13 + 4) / 8;
}

template <size_t N>
constexpr DialogTemplate MakeDialogTemplate(UINT id, DWORD style, const char* caption, short x, short y,
                                            short cx, short cy, const DialogItemTemplate (&items)[N]) {
    return DialogTemplate{id, style, caption, x, y, cx, cy, items, N};
}
