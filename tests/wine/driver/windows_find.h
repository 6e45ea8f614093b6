// Finding the setup's windows: its main dialog, its message boxes, its folder
// browser and its popup menu, all top-level windows of one process.
#pragma once
#include <windows.h>

#include <vector>

std::vector<HWND> VisibleWindowsOf(DWORD pid);
bool IsMainDialog(HWND window);
bool IsMessageBox(HWND window);
bool IsFolderBrowser(HWND window);
bool IsPopupMenu(HWND window);
// The first visible window of the process that passes the test, or nullptr.
HWND FindWindowOf(DWORD pid, bool (*test)(HWND));
// The main dialog, visible or not yet.
HWND FindMainDialogOf(DWORD pid);
