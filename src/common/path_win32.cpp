#include <windows.h>
#include "common/path.h"
#include "common/wide.h"

void NormalizeFullPath(char16_t* path) {
    wchar_t full[kPathCapacity];
    DWORD n = GetFullPathNameW(as_wcstr(path), kPathCapacity, full, nullptr);
    if (n != 0 && n < kPathCapacity) CopyText(as_u16(full), path, kPathCapacity);
}
