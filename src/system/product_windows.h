// The product's running windows, found by their window class.
#pragma once
#include <stdint.h>

// Asks every top-level window of the class to close (WM_CLOSE) and waits up to
// waitMilliseconds for the windows, and the processes that own them, to end.
// True when none is left. Away from Windows there are no such windows.
bool CloseProductWindows(const char* windowClass, uint32_t waitMilliseconds);
