// The program's one icon in the notification area: its picture is the
// default action's icon, its tooltip the default action's label.
#pragma once

#include <windows.h>

namespace ui {

// While the shell refuses the icon, the tray window's timer tries again every
// two seconds for a minute.
constexpr UINT_PTR kAddIconTimerId = 1;
constexpr UINT kAddIconRetryPeriod = 2000;   // milliseconds
constexpr int kAddIconTries = 30;

// Removes any icon of ours first, so adding never leaves two. When the shell
// refuses the icon, the timer tries again; only when it has not succeeded in
// kAddIconTries tries does the program say so and close.
void AddTrayIcon();
// The timer's tick: one more try.
void RetryTrayIcon();
void UpdateTrayIcon();
void UpdateTrayTip();
void DeleteTrayIcon();

// Destroys the image the icon last showed; for when the icon is gone for good.
void ReleaseTrayIconImage();

} // namespace ui
