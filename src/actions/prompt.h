// The confirmation prompt and the error box that every exit action shares,
// and the message for a folder the program has no name for.
#pragma once

namespace actions {

// Asks with the action's label when "Bestätigung" is "Ja"; false when the
// user cancelled, so the action must stop having done nothing.
bool Confirm(const char* label);

// Tells that Windows refused the action; the text is the label alone.
void ShowError(const char* label);

// Tells that settings cannot be kept in the program's folder (its name is
// outside the ANSI code page and the volume has no short names).
void ShowFolderUnusable();

} // namespace actions
