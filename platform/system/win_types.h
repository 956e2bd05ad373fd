#pragma once

// The small set of platform types and message numbers that the program's code is written against.

#include <cstdint>

using UINT = unsigned int;
using DWORD = uint32_t;
using WORD = uint16_t;
using BYTE = uint8_t;
using BOOL = int;
using WPARAM = uintptr_t;
using LPARAM = intptr_t;
using LRESULT = intptr_t;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// A window handle: an id in the window table of the window layer (index and generation), never a pointer.
struct HWND__;
using HWND = HWND__*;

// A thread id of a thread that owns a message queue (0: none).
using ThreadId = uint32_t;

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_COPYDATA = 0x004A;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

using COLORREF = uint32_t;

// A logical font as the DVR protocol and the overlay settings carry it.
struct LOGFONTW {
    int32_t lfHeight;
    int32_t lfWidth;
    int32_t lfEscapement;
    int32_t lfOrientation;
    int32_t lfWeight;
    uint8_t lfItalic;
    uint8_t lfUnderline;
    uint8_t lfStrikeOut;
    uint8_t lfCharSet;
    uint8_t lfOutPrecision;
    uint8_t lfClipPrecision;
    uint8_t lfQuality;
    uint8_t lfPitchAndFamily;
    char16_t lfFaceName[32];
};
static_assert(sizeof(LOGFONTW) == 92, "LOGFONTW layout");
