// The Windows program's one window: the modal main dialog (resource 1000).
// Win32 face code only; the portable logic it drives lives in installer/ and ui/.
#pragma once
#include <windows.h>
#include <stdint.h>

enum : int32_t { kMainDialogResource = 1000, kProgramIconResource = 1 };

INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
struct SetupSwitches;
// switches: what the command line presets (nullptr: nothing).
void InitMainDialog(HWND dialog, SetupSwitches* switches);
void CenterOnDesktop(HWND dialog);
void ShowListMenu(HWND dialog);
void BrowseForDestination(HWND dialog, int32_t id);
// The background thread: sends WM_DESTROY to the product's windows until none is left.
uint32_t CloseRunningInstances(void* ignored);
// Starts that thread for the class the package named (a copy is kept, so the
// thread never reads the state record, which start-up frees without waiting).
void StartClosingRunningInstances(const char* windowClass);
