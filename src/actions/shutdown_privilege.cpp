// The shutdown privilege bracket around exactly one system call.
#include "shutdown_privilege.h"

#include "../os/os.h"
#include "prompt.h"

namespace actions {
namespace {

// Process-wide like the token handle: each bracket fills them anew.
constinit HANDLE token = nullptr;
constinit TOKEN_PRIVILEGES privilege = {};

void SetShutdownPrivilege(DWORD attributes)
{
    privilege.PrivilegeCount = 1;
    privilege.Privileges[0].Attributes = attributes;
    os::AdjustTokenPrivileges(token, FALSE, &privilege, 0, nullptr, nullptr);
}

} // namespace

void CallWithShutdownPrivilege(SystemCall call, const char* label)
{
    token = nullptr;
    os::OpenProcessToken(os::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token);
    os::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privilege.Privileges[0].Luid);
    SetShutdownPrivilege(SE_PRIVILEGE_ENABLED);

    if (!call())
        ShowError(label);

    SetShutdownPrivilege(0);
    // Nothing uses the token afterwards; closing it keeps repeated actions
    // from the tray from collecting handles.
    if (token)
        os::CloseHandle(token);
    token = nullptr;
}

} // namespace actions
