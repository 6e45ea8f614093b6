#include <windows.h>

#include "system/environment.h"
#include "common/wide.h"

void ReadEnvironmentVariable(const char16_t* name, char16_t* buffer, int32_t capacity) {
    if (!buffer || capacity <= 0) return;
    buffer[0] = 0;
    if (!name) return;
    DWORD n = GetEnvironmentVariableW(as_wcstr(name), as_wcstr(buffer), static_cast<DWORD>(capacity));
    if (n == 0 || n >= static_cast<DWORD>(capacity)) buffer[0] = 0;
}

void ReadWindowsFolder(char16_t* buffer, int32_t capacity) {
    if (!buffer || capacity <= 0) return;
    buffer[0] = 0;
    UINT n = GetWindowsDirectoryW(as_wcstr(buffer), static_cast<UINT>(capacity));
    if (n == 0 || n >= static_cast<UINT>(capacity)) buffer[0] = 0;
}
