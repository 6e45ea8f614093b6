#include <windows.h>

#include "common/removal.h"
#include "common/wide.h"

bool RemoveFolder(const char16_t* path) { return RemoveDirectoryW(as_wcstr(path)) != 0; }

bool DeleteAtRestart(const char16_t* path) {
    return MoveFileExW(as_wcstr(path), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != 0;
}
