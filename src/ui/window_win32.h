// The Windows program's way into the control layer: a Window for an HWND.
// Deliberately free of <windows.h>; an HWND converts to void* on its own.
#pragma once
#include "ui/window.h"

extern const WindowOps kWin32WindowOps;

Window Win32Window(void* hwnd);
