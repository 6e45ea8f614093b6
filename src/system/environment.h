// The process environment and the Windows folder, which the default
// installation folder falls back on.
#pragma once
#include <stdint.h>

// GetEnvironmentVariableW: empty when unset or too long.
void ReadEnvironmentVariable(const char16_t* name, char16_t* buffer, int32_t capacity);
// GetWindowsDirectoryW: empty when unknown.
void ReadWindowsFolder(char16_t* buffer, int32_t capacity);
