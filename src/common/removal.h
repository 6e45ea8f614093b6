// Removing what deleting a file does not: an empty folder, and a file that
// is in use, at the next restart.
#pragma once
#include <stdint.h>

// RemoveDirectoryW: an empty folder only (a folder that still holds anything
// fails); sets the last error.
bool RemoveFolder(const char16_t* path);
// MoveFileExW(MOVEFILE_DELAY_UNTIL_REBOOT): the file or empty folder goes at
// the next restart. Elsewhere nothing holds a file against deletion, so there
// is no such schedule: false with 50 (not supported).
bool DeleteAtRestart(const char16_t* path);
