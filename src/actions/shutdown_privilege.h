// The shutdown privilege bracket: enable SeShutdownPrivilege, make one system
// call, report a refusal while the privilege is still held, disable it again.
#pragma once

#include <windows.h>

namespace actions {

using SystemCall = BOOL (*)();

// The call is made whether or not the privilege could be enabled; when it
// returns FALSE the error box with `label` appears before the privilege is
// dropped again.
void CallWithShutdownPrivilege(SystemCall call, const char* label);

} // namespace actions
