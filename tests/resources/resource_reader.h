// Reads the resources of the built Lichtaus+.exe as raw bytes and decodes the
// formats the tests compare: menus and dialog templates.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace resources {

// The executable loaded as a data file for the life of the test program.
HMODULE Exe();

// The bytes of one resource in German (0x0407); empty when it is missing.
std::vector<BYTE> Load(LPCSTR type, LPCSTR name);

// A code page 1252 text (as the test sources hold them) in UTF-16.
std::wstring Wide(const char* text);

struct MenuItem {
    std::wstring text;     // empty for a separator
    WORD flags;            // MF_POPUP, MF_END, MF_GRAYED ... as stored
    WORD id;               // 0 for pop-ups and separators
    std::vector<MenuItem> items;
};
// The items of a standard MENU resource, with their sub-menus.
std::vector<MenuItem> ParseMenu(const std::vector<BYTE>& data);

struct DialogItem {
    DWORD style, exStyle;
    short x, y, cx, cy;
    WORD id;
    WORD classOrdinal;        // 0 when the class is a name
    std::wstring className;
    WORD textOrdinal;         // a resource id given as text (SS_BITMAP), else 0
    std::wstring text;
};
struct Dialog {
    DWORD style, exStyle;
    short x, y, cx, cy;
    std::wstring menu, className, caption, fontName;
    WORD pointSize;
    std::vector<DialogItem> items;
};
// A classic DIALOG template (not DIALOGEX).
Dialog ParseDialog(const std::vector<BYTE>& data);

} // namespace resources
