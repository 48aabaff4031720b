// The hidden tray window: its procedure turns the icon's mouse messages and
// the popup menu's choices into commands, and runs them.
#pragma once

#include <windows.h>

namespace ui {

// The shell's callback for mouse events on the icon, and the popup request
// the window posts to itself (lParam: the cursor, x low and y high word).
constexpr UINT kTrayCallbackMessage = WM_USER;
constexpr UINT kPopupRequestMessage = WM_USER + 1;

// 1 while a command that must not be started twice runs (Options, or an
// exit action other than the shell's Shut Down dialog).
extern int busy;

// Runs the command with the busy flag set, and puts the flag back to what it
// found: a command nested in another one leaves the outer one busy.
void RunWhileBusy(void (*command)());

// "LAMenu" as loaded when the window was created, and its first sub-menu,
// the menu that pops up at the icon.
extern HMENU menu;
extern HMENU popupMenu;

LRESULT CALLBACK TrayWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace ui
