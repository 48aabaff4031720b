// The program's one icon in the notification area: its picture is the
// default action's icon, its tooltip the default action's label.
#pragma once

namespace ui {

// Removes any icon of ours first, so adding never leaves two. When the shell
// refuses the icon the program says so and closes.
void AddTrayIcon();
void UpdateTrayIcon();
void UpdateTrayTip();
void DeleteTrayIcon();

// Destroys the image the icon last showed; for when the icon is gone for good.
void ReleaseTrayIconImage();

} // namespace ui
