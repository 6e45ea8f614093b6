#include <windows.h>
#include "common/find.h"
#include "common/text.h"
#include "common/wide.h"

intptr_t FindFirstMatch(const char16_t* pattern, char16_t* name, int32_t capacity) {
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(as_wcstr(pattern), &data);
    if (h == INVALID_HANDLE_VALUE) return kInvalidDiskFile;
    CopyText(as_u16(data.cFileName), name, capacity);
    return reinterpret_cast<intptr_t>(h);
}

bool FindNextMatch(intptr_t search, char16_t* name, int32_t capacity) {
    WIN32_FIND_DATAW data;
    if (!FindNextFileW(reinterpret_cast<HANDLE>(search), &data)) return false;
    CopyText(as_u16(data.cFileName), name, capacity);
    return true;
}

void FindCloseMatch(intptr_t search) {
    if (search != kInvalidDiskFile) FindClose(reinterpret_cast<HANDLE>(search));
}
