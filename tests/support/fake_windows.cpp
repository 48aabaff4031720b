// The scripted Windows functions behind FakeWindows.
#include "fake_windows.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace test {

FakeWindows* FakeWindows::current = nullptr;

std::string Format(const char* format, ...)
{
    char text[4096];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(text, sizeof text, format, arguments);
    va_end(arguments);
    return text;
}

namespace {

// The real functions, as the seam held them before the fakes went in.
#define SAVE_FIELD(name) decltype(os::name) name;
struct Originals {
    LICHTAUS_OS_FUNCTIONS(SAVE_FIELD)
};
#undef SAVE_FIELD
Originals real;

FakeWindows& Fake()
{
    return *FakeWindows::current;
}

const char* Text(const char* text)
{
    return text ? text : "NULL";
}

const char* WindowName(HWND window)
{
    if (window == kTrayWindow)
        return "tray";
    if (window == kTaskbar)
        return "taskbar";
    if (window == kDialog)
        return "dialog";
    return window ? "other" : "NULL";
}

const char* RootName(HKEY root)
{
    if (root == HKEY_CURRENT_USER)
        return "HKCU";
    if (root == HKEY_LOCAL_MACHINE)
        return "HKLM";
    return "key";
}

std::string Hex(const BYTE* data, DWORD size)
{
    std::string text;
    for (DWORD i = 0; i < size; ++i)
        text += Format(i ? " %02x" : "%02x", data[i]);
    return text;
}

int WINAPI MessageBoxFake(HWND owner, LPCSTR text, LPCSTR caption, UINT flags)
{
    Fake().Record(Format("MessageBoxA(%s,%s|%s|0x%x)", WindowName(owner), Text(text), Text(caption), flags));
    if (!Fake().messageBoxAnswers.empty()) {
        int answer = Fake().messageBoxAnswers.front();
        Fake().messageBoxAnswers.pop_front();
        return answer;
    }
    return Fake().messageBoxDefault;
}

BOOL WINAPI ExitWindowsExFake(UINT flags, DWORD reserved)
{
    Fake().Record(Format("ExitWindowsEx(%u,%lu)", flags, reserved));
    return Fake().exitWindowsResult;
}

BOOL WINAPI InitiateSystemShutdownFake(LPSTR machine, LPSTR message, DWORD timeout, BOOL force, BOOL reboot)
{
    Fake().Record(Format("InitiateSystemShutdownA(%s,%s,%lu,%d,%d)", Text(machine), Text(message), timeout, force,
                         reboot));
    return Fake().shutdownResult;
}

BOOL WINAPI OpenProcessTokenFake(HANDLE, DWORD access, PHANDLE token)
{
    Fake().Record(Format("OpenProcessToken(0x%lx)", access));
    *token = kToken;
    return TRUE;
}

BOOL WINAPI LookupPrivilegeValueFake(LPCSTR system, LPCSTR name, PLUID luid)
{
    Fake().Record(Format("LookupPrivilegeValueA(%s,%s)", Text(system), Text(name)));
    luid->LowPart = 0x13;
    luid->HighPart = 0;
    return TRUE;
}

BOOL WINAPI AdjustTokenPrivilegesFake(HANDLE token, BOOL disableAll, PTOKEN_PRIVILEGES state, DWORD length,
                                      PTOKEN_PRIVILEGES previous, PDWORD returned)
{
    Fake().Record(Format("AdjustTokenPrivileges(%s,%d,count=%lu,luid=%lu,attributes=%lu,%lu,%s,%s)",
                         token == kToken ? "token" : "other", disableAll, state->PrivilegeCount,
                         state->Privileges[0].Luid.LowPart, state->Privileges[0].Attributes, length,
                         previous ? "prev" : "NULL", returned ? "ret" : "NULL"));
    return TRUE;
}

BOOL WINAPI CloseHandleFake(HANDLE handle)
{
    if (handle == kToken) {
        Fake().Record("CloseHandle(token)");
        return TRUE;
    }
    return real.CloseHandle(handle);
}

HWND WINAPI FindWindowFake(LPCSTR className, LPCSTR windowName)
{
    Fake().Record(Format("FindWindowA(%s,%s)", Text(className), Text(windowName)));
    return kTaskbar;
}

BOOL WINAPI PostMessageFake(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Fake().Record(Format("PostMessageA(%s,0x%x,%u,%ld)", WindowName(window), message, wParam, lParam));
    return TRUE;
}

LRESULT WINAPI SendMessageFake(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Fake().Record(Format("SendMessageA(%s,0x%x,%u,%ld)", WindowName(window), message, wParam, lParam));
    return Fake().sendMessageResult;
}

HINSTANCE WINAPI ShellExecuteFake(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, INT show)
{
    Fake().Record(Format("ShellExecuteA(%s,%s,%s,%s,%s,%d)", WindowName(owner), Text(verb), Text(file),
                         Text(parameters), Text(directory), show));
    INT_PTR result = 42;
    DWORD error = 0;
    if (!Fake().shellExecuteResults.empty()) {
        result = Fake().shellExecuteResults.front().first;
        error = Fake().shellExecuteResults.front().second;
        Fake().shellExecuteResults.pop_front();
    }
    SetLastError(error);
    return reinterpret_cast<HINSTANCE>(result);
}

HINSTANCE WINAPI FindExecutableFake(LPCSTR file, LPCSTR directory, LPSTR result)
{
    Fake().Record(Format("FindExecutableA(%s,%s)", Text(file), Text(directory)));
    if (Fake().findExecutableResult > 32)
        strcpy(result, Fake().findExecutablePath.c_str());
    return reinterpret_cast<HINSTANCE>(Fake().findExecutableResult);
}

BOOL WINAPI ShellNotifyIconFake(DWORD message, PNOTIFYICONDATAA record)
{
    static const char* const kMessages[] = {"NIM_ADD", "NIM_MODIFY", "NIM_DELETE"};
    Fake().Record(Format("Shell_NotifyIconA(%s,size=%lu,%s,id=%u,flags=%u,callback=0x%x,icon=%u,tip=%s)",
                         message < 3 ? kMessages[message] : "?", record->cbSize, WindowName(record->hWnd),
                         record->uID, record->uFlags, record->uCallbackMessage,
                         static_cast<unsigned>(reinterpret_cast<UINT_PTR>(record->hIcon)),
                         (record->uFlags & NIF_TIP) ? record->szTip : ""));
    if (message == NIM_ADD && !Fake().notifyResults.empty()) {
        BOOL result = Fake().notifyResults.front();
        Fake().notifyResults.pop_front();
        return result;
    }
    return TRUE;
}

INT_PTR WINAPI DialogBoxParamFake(HINSTANCE, LPCSTR name, HWND owner, DLGPROC, LPARAM parameter)
{
    Fake().Record(Format("DialogBoxParamA(%s,%s,%ld)", IS_INTRESOURCE(name) ? "#" : name, WindowName(owner),
                         parameter));
    return 0;
}

BOOL WINAPI EndDialogFake(HWND dialog, INT_PTR result)
{
    Fake().Record(Format("EndDialog(%s,%d)", WindowName(dialog), static_cast<int>(result)));
    return TRUE;
}

// Dialog items are fake windows whose handle is the control id.
HWND WINAPI GetDlgItemFake(HWND, int id)
{
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(0x10000 + id));
}

BOOL WINAPI EnableWindowFake(HWND window, BOOL enable)
{
    Fake().Record(Format("EnableWindow(%d,%d)", static_cast<int>(reinterpret_cast<INT_PTR>(window) - 0x10000),
                         enable));
    return FALSE;
}

BOOL WINAPI CheckRadioButtonFake(HWND, int first, int last, int checked)
{
    Fake().Record(Format("CheckRadioButton(%d,%d,%d)", first, last, checked));
    for (int id = first; id <= last; ++id)
        Fake().buttonStates[id] = id == checked ? BST_CHECKED : BST_UNCHECKED;
    return TRUE;
}

BOOL WINAPI CheckDlgButtonFake(HWND, int id, UINT state)
{
    Fake().Record(Format("CheckDlgButton(%d,%u)", id, state));
    Fake().buttonStates[id] = state;
    return TRUE;
}

UINT WINAPI IsDlgButtonCheckedFake(HWND, int id)
{
    auto found = Fake().buttonStates.find(id);
    return found == Fake().buttonStates.end() ? BST_UNCHECKED : found->second;
}

BOOL WINAPI SetForegroundWindowFake(HWND window)
{
    Fake().Record(Format("SetForegroundWindow(%s)", WindowName(window)));
    return TRUE;
}

HWND WINAPI GetWindowFake(HWND window, UINT command)
{
    Fake().Record(Format("GetWindow(%s,%u)", WindowName(window), command));
    return Fake().windowAbove;
}

BOOL WINAPI MessageBeepFake(UINT type)
{
    Fake().Record(Format("MessageBeep(%u)", type));
    return TRUE;
}

BOOL WINAPI GetCursorPosFake(LPPOINT point)
{
    Fake().Record("GetCursorPos()");
    *point = Fake().cursor;
    return TRUE;
}

BOOL WINAPI TrackPopupMenuFake(HMENU, UINT flags, int x, int y, int reserved, HWND owner, const RECT* rect)
{
    Fake().Record(Format("TrackPopupMenu(%u,%d,%d,%d,%s,%s)", flags, x, y, reserved, WindowName(owner),
                         rect ? "rect" : "NULL"));
    return FALSE;
}

BOOL WINAPI SetMenuDefaultItemFake(HMENU, UINT item, UINT byPosition)
{
    Fake().Record(Format("SetMenuDefaultItem(%u,%u)", item, byPosition));
    return TRUE;
}

// Icons are numbered in the order they are loaded, from 1.
int loadedIcons = 0;

HANDLE WINAPI LoadImageFake(HINSTANCE, LPCSTR name, UINT type, int width, int height, UINT flags)
{
    Fake().Record(Format("LoadImageA(%u,%u,%d,%d,%u)", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(name)),
                         type, width, height, flags));
    return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(++loadedIcons));
}

BOOL WINAPI DestroyIconFake(HICON icon)
{
    Fake().Record(Format("DestroyIcon(%u)", static_cast<unsigned>(reinterpret_cast<UINT_PTR>(icon))));
    return TRUE;
}

DWORD WINAPI GetTempPathFake(DWORD length, LPSTR buffer)
{
    if (Fake().tempPath.empty())
        return real.GetTempPathA(length, buffer);
    DWORD needed = static_cast<DWORD>(Fake().tempPath.size());
    if (needed + 1 > length)
        return needed + 1;
    strcpy(buffer, Fake().tempPath.c_str());
    return needed;
}

// Storage: recorded, then done for real in the Wine prefix.
LONG WINAPI RegOpenKeyExFake(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY key)
{
    Fake().Record(Format("RegOpenKeyExA(%s\\%s,0x%lx)", RootName(root), Text(path), access), true);
    return real.RegOpenKeyExA(root, path, options, access, key);
}

LONG WINAPI RegCreateKeyExFake(HKEY root, LPCSTR path, DWORD reserved, LPSTR className, DWORD options,
                               REGSAM access, LPSECURITY_ATTRIBUTES security, PHKEY key, LPDWORD disposition)
{
    Fake().Record(Format("RegCreateKeyExA(%s\\%s,%lu,%s,%lu,0x%lx,%s,%s)", RootName(root), Text(path), reserved,
                         Text(className), options, access, security ? "sa" : "NULL", disposition ? "disp" : "NULL"),
                  true);
    return real.RegCreateKeyExA(root, path, reserved, className, options, access, security, key, disposition);
}

LONG WINAPI RegQueryValueExFake(HKEY key, LPCSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size)
{
    Fake().Record(Format("RegQueryValueExA(%s,size=%lu)", Text(name), size ? *size : 0), true);
    return real.RegQueryValueExA(key, name, reserved, type, data, size);
}

LONG WINAPI RegSetValueExFake(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
{
    std::string shown = type == REG_SZ ? std::string(reinterpret_cast<const char*>(data)) : Hex(data, size);
    Fake().Record(Format("RegSetValueExA(%s,%lu,%s,%lu)", Text(name), type, shown.c_str(), size), true);
    return real.RegSetValueExA(key, name, reserved, type, data, size);
}

LONG WINAPI RegDeleteValueFake(HKEY key, LPCSTR name)
{
    Fake().Record(Format("RegDeleteValueA(%s)", Text(name)), true);
    return real.RegDeleteValueA(key, name);
}

LONG WINAPI RegDeleteKeyFake(HKEY root, LPCSTR path)
{
    Fake().Record(Format("RegDeleteKeyA(%s\\%s)", RootName(root), Text(path)), true);
    return real.RegDeleteKeyA(root, path);
}

LONG WINAPI RegCloseKeyFake(HKEY key)
{
    Fake().Record("RegCloseKey()", true);
    return real.RegCloseKey(key);
}

DWORD WINAPI GetPrivateProfileStringFake(LPCSTR section, LPCSTR key, LPCSTR fallback, LPSTR buffer, DWORD size,
                                         LPCSTR file)
{
    Fake().Record(Format("GetPrivateProfileStringA(%s,%s,%s,%lu)", Text(section), Text(key), Text(fallback), size),
                  true);
    return real.GetPrivateProfileStringA(section, key, fallback, buffer, size, file);
}

BOOL WINAPI WritePrivateProfileStringFake(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file)
{
    Fake().Record(Format("WritePrivateProfileStringA(%s,%s,%s)", Text(section), Text(key), Text(value)), true);
    return real.WritePrivateProfileStringA(section, key, value, file);
}

HFILE WINAPI OpenFileFake(LPCSTR path, LPOFSTRUCT data, UINT style)
{
    Fake().Record(Format("OpenFile(%s,0x%x)", Text(path), style), true);
    return real.OpenFile(path, data, style);
}

} // namespace

struct FakeWindows::Saved {
    Originals seam;
};

FakeWindows::FakeWindows() : saved_(new Saved)
{
#define SAVE(name) saved_->seam.name = os::name;
    LICHTAUS_OS_FUNCTIONS(SAVE)
#undef SAVE
    real = saved_->seam;
    current = this;
    loadedIcons = 0;

    os::MessageBoxA = MessageBoxFake;
    os::ExitWindowsEx = ExitWindowsExFake;
    os::InitiateSystemShutdownA = InitiateSystemShutdownFake;
    os::OpenProcessToken = OpenProcessTokenFake;
    os::LookupPrivilegeValueA = LookupPrivilegeValueFake;
    os::AdjustTokenPrivileges = AdjustTokenPrivilegesFake;
    os::CloseHandle = CloseHandleFake;
    os::FindWindowA = FindWindowFake;
    os::PostMessageA = PostMessageFake;
    os::SendMessageA = SendMessageFake;
    os::ShellExecuteA = ShellExecuteFake;
    os::FindExecutableA = FindExecutableFake;
    os::Shell_NotifyIconA = ShellNotifyIconFake;
    os::DialogBoxParamA = DialogBoxParamFake;
    os::EndDialog = EndDialogFake;
    os::GetDlgItem = GetDlgItemFake;
    os::EnableWindow = EnableWindowFake;
    os::CheckRadioButton = CheckRadioButtonFake;
    os::CheckDlgButton = CheckDlgButtonFake;
    os::IsDlgButtonChecked = IsDlgButtonCheckedFake;
    os::SetForegroundWindow = SetForegroundWindowFake;
    os::GetWindow = GetWindowFake;
    os::MessageBeep = MessageBeepFake;
    os::GetCursorPos = GetCursorPosFake;
    os::TrackPopupMenu = TrackPopupMenuFake;
    os::SetMenuDefaultItem = SetMenuDefaultItemFake;
    os::LoadImageA = LoadImageFake;
    os::DestroyIcon = DestroyIconFake;
    os::GetTempPathA = GetTempPathFake;
    os::RegOpenKeyExA = RegOpenKeyExFake;
    os::RegCreateKeyExA = RegCreateKeyExFake;
    os::RegQueryValueExA = RegQueryValueExFake;
    os::RegSetValueExA = RegSetValueExFake;
    os::RegDeleteValueA = RegDeleteValueFake;
    os::RegDeleteKeyA = RegDeleteKeyFake;
    os::RegCloseKey = RegCloseKeyFake;
    os::GetPrivateProfileStringA = GetPrivateProfileStringFake;
    os::WritePrivateProfileStringA = WritePrivateProfileStringFake;
    os::OpenFile = OpenFileFake;
}

FakeWindows::~FakeWindows()
{
#define RESTORE(name) os::name = saved_->seam.name;
    LICHTAUS_OS_FUNCTIONS(RESTORE)
#undef RESTORE
    delete saved_;
    current = nullptr;
}

void FakeWindows::Record(std::string call, bool storage)
{
    if (storage && !recordStorage)
        return;
    calls.push_back(std::move(call));
}

std::vector<std::string> FakeWindows::Calls(std::initializer_list<const char*> functions) const
{
    std::vector<std::string> selected;
    for (const std::string& call : calls) {
        for (const char* function : functions) {
            size_t length = strlen(function);
            if (call.compare(0, length, function) == 0 && call.size() > length && call[length] == '(') {
                selected.push_back(call);
                break;
            }
        }
    }
    return selected;
}

} // namespace test
