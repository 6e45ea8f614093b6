// Enumeration of one folder's entries.
#pragma once
#include <stdint.h>

#include "common/files.h"

// Enumeration of one folder with a FindFirstFileW-style pattern ('*', '?',
// ASCII letters matched without regard to case). The name found is the bare
// file name. kInvalidDiskFile when nothing matches.
intptr_t FindFirstMatch(const char16_t* pattern, char16_t* name, int32_t capacity);
bool FindNextMatch(intptr_t search, char16_t* name, int32_t capacity);
void FindCloseMatch(intptr_t search);
