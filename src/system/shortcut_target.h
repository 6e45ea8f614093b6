// Where a shell link points, for the uninstaller, which removes only links
// into its own folder.
#pragma once
#include <stdint.h>

// The target path a shell link file points to (1024 places), or an empty
// buffer with a failure status (an HRESULT, as system/shell.h answers) when
// the file is no link or has no file target.
int32_t GetShortcutTarget(const char16_t* linkPath, char16_t* target);
