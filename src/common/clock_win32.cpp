#include <windows.h>
#include "common/clock.h"

uint64_t LocalFileTimeToUtc(uint64_t localFileTime) {
    FILETIME local, utc;
    local.dwLowDateTime = static_cast<DWORD>(localFileTime);
    local.dwHighDateTime = static_cast<DWORD>(localFileTime >> 32);
    if (!LocalFileTimeToFileTime(&local, &utc)) return localFileTime;
    return (static_cast<uint64_t>(utc.dwHighDateTime) << 32) | utc.dwLowDateTime;
}
