// The control layer's process services on Windows: the system's language,
// metrics, the wait cursor, the error mode and a box without an owner of ours.
#include <windows.h>

#include "common/wide.h"
#include "ui/window_platform.h"

uint16_t PlatformDefaultLanguage() {
    return GetSystemDefaultLangID();
}

int32_t PlatformScrollBarWidth() {
    return GetSystemMetrics(SM_CXVSCROLL);
}

void* PlatformShowWaitCursor() {
    return SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

void PlatformRestoreCursor(void* previous) {
    SetCursor(static_cast<HCURSOR>(previous));
}

bool PlatformIsWaitCursorShown() {
    return GetCursor() == LoadCursorW(nullptr, IDC_WAIT);
}

void PlatformFailCriticalErrorsQuietly() {
    SetErrorMode(SEM_FAILCRITICALERRORS);
}

int32_t PlatformMessageBox(const char16_t* text, const char16_t* title, uint32_t style) {
    return MessageBoxW(GetActiveWindow(), as_wcstr(text), as_wcstr(title), style);
}
