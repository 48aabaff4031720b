// The Options and About dialogs, both modal and owned by the tray window.
#pragma once

#include <windows.h>

namespace ui {

// Show the dialog and return when it is closed; without its template they
// return at once.
void ShowOptionsDialog();
void ShowAboutDialog();

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

} // namespace ui
