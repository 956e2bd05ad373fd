#pragma once

// A dialog template: the dialog's style, caption and rectangle and its controls, each with its id,
// window class, style, text and rectangle, all rectangles in dialog units. One unit is a quarter of the
// dialog font's average character width across and an eighth of its height down, so a larger font makes
// a larger dialog and the texts keep fitting. Qt-free; the templates themselves live in resources/dialogs.

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

// The dialog font's base units in pixels: its average character width and its height.
struct DialogBaseUnits {
    int cx;
    int cy;
};

// Dialog units to pixels, rounded to the nearest pixel.
constexpr int DialogUnitsToPixelsX(int dlu, DialogBaseUnits units) {
    int scaled = dlu * units.cx;
    return scaled >= 0 ? (scaled + 2) / 4 : -((-scaled + 2) / 4);
}
constexpr int DialogUnitsToPixelsY(int dlu, DialogBaseUnits units) {
    int scaled = dlu * units.cy;
    return scaled >= 0 ? (scaled + 4) / 8 : -((-scaled + 4) / 8);
}

template <size_t N>
constexpr DialogTemplate MakeDialogTemplate(UINT id, DWORD style, const char* caption, short x, short y,
                                            short cx, short cy, const DialogItemTemplate (&items)[N]) {
    return DialogTemplate{id, style, caption, x, y, cx, cy, items, N};
}
