// The operations that end or restart Windows or log the user off. Each one
// asks first when the settings say so, does its one system call and reports
// a refused call in an error box that names it. None returns a result.
#pragma once

namespace actions {

void ShowShutdownDialog();
void ShutDown();
void PowerOff();
void Reboot();
void LogOff();
void ForcedPowerOff();
void RestartWindowsOnly();
void StartMsDosMode();

// The restart without warm start: Windows alone on the 9x family, which the
// NT family cannot do, so there it logs the user off instead.
void RestartWithoutWarmStart();

} // namespace actions
