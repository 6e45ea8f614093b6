// Closing the product's windows: each is asked once, then we wait for it and
// for its process, so that the process's files are free to delete.
#include <windows.h>

#include "system/product_windows.h"

enum : DWORD { kPollMilliseconds = 100, kMostProcesses = 16 };

bool CloseProductWindows(const char* windowClass, uint32_t waitMilliseconds) {
    if (!windowClass || !windowClass[0]) return true;
    HANDLE processes[kMostProcesses];
    DWORD processCount = 0;
    HWND asked[kMostProcesses * 4];
    DWORD askedCount = 0;
    DWORD start = GetTickCount();
    for (;;) {
        HWND window = nullptr;
        bool any = false;
        while ((window = FindWindowExA(nullptr, window, windowClass, nullptr)) != nullptr) {
            any = true;
            bool known = false;
            for (DWORD i = 0; i < askedCount; ++i) known = known || asked[i] == window;
            if (known || askedCount == sizeof asked / sizeof asked[0]) continue;
            asked[askedCount++] = window;
            DWORD processId = 0;
            GetWindowThreadProcessId(window, &processId);
            HANDLE process = processCount < kMostProcesses ? OpenProcess(SYNCHRONIZE, FALSE, processId) : nullptr;
            if (process) processes[processCount++] = process;
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
        if (!any || GetTickCount() - start >= waitMilliseconds) break;
        Sleep(kPollMilliseconds);
    }
    // The windows are gone (or the time is up): give their processes the rest of it to end.
    DWORD spent = GetTickCount() - start;
    if (processCount > 0 && spent < waitMilliseconds)
        WaitForMultipleObjects(processCount, processes, TRUE, waitMilliseconds - spent);
    for (DWORD i = 0; i < processCount; ++i) CloseHandle(processes[i]);
    return FindWindowA(windowClass, nullptr) == nullptr;
}
