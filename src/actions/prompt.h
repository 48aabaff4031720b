// The confirmation prompt and the error box that every exit action shares.
#pragma once

namespace actions {

// Asks with the action's label when "Bestätigung" is "Ja"; false when the
// user cancelled, so the action must stop having done nothing.
bool Confirm(const char* label);

// Tells that Windows refused the action; the text is the label alone.
void ShowError(const char* label);

} // namespace actions
