// The Windows-only restart: the restart program is written to the temporary
// directory, a RunOnce entry is left so that the next start of Windows runs
// Lichtaus+ with that program's path (which deletes the file again), and the
// restart program is started. It calls the 16-bit ExitWindows with
// EW_RESTARTWINDOWS, which only a 16-bit program can do on the 9x family.
#include "restart_windows.h"

#include "../../res/resource_ids.h"
#include "../config/default_actions.h"
#include "../config/registry.h"
#include "../os/files.h"
#include "../os/os.h"
#include "../os/shell.h"
#include "../program/program.h"
#include "exit_actions.h"
#include "prompt.h"

namespace actions {
namespace {

constexpr char kRestartProgramName[] = "Lichtaus+Restart.exe";

void WriteRestartProgram(const char* path, const void* image, DWORD size)
{
    HFILE file = os::CreateEmptyFile(path, OF_WRITE);
    if (file == HFILE_ERROR)
        return;
    os::_lwrite(file, static_cast<LPCCH>(image), size);
    os::_lclose(file);
}

} // namespace

bool BuildRestartProgramPath(RestartProgramPath& path)
{
    DWORD length = os::GetTempPathA(MAX_PATH, path);
    // 0 is a failure; MAX_PATH or more is the size Windows would need, and
    // then nothing usable was written.
    if (length == 0 || length >= MAX_PATH) {
        path[0] = '\0';
        return false;
    }
    path[length] = '\0';
    os::lstrcatA(path, kRestartProgramName);
    return true;
}

void RestartWindowsOnly()
{
    if (!Confirm(config::kLabelRestart))
        return;

    HRSRC found = os::FindResourceA(program::instance, MAKEINTRESOURCEA(IDR_RESTART_PROGRAM), "EXE");
    HGLOBAL loaded = found ? os::LoadResource(program::instance, found) : nullptr;
    const void* image = loaded ? os::LockResource(loaded) : nullptr;
    // Without the image or a place for it there is nothing to restart with,
    // and without a name for this program no RunOnce entry can start it
    // again to clean up: leave none behind that would point to nothing.
    RestartProgramPath path;
    if (!image || !program::PathsKnown() || !BuildRestartProgramPath(path)) {
        ShowError(config::kLabelRestart);
        return;
    }

    WriteRestartProgram(path, image, os::SizeofResource(program::instance, found));
    config::WriteRunOnceEntry(path);
    os::FreeResource(loaded);

    HINSTANCE launched = os::ShellOpen(path);
    if (reinterpret_cast<INT_PTR>(launched) <= 32 && os::GetLastError() == ERROR_FILE_NOT_FOUND)
        ShowError(config::kLabelRestart);
}

} // namespace actions
