// The registry records: the remembered destination per product code and the
// program-files folder, read; the keys they live under. All silent.
#pragma once
#include <stdint.h>

extern const char16_t kMakerKey[];         // HKEY_CURRENT_USER: the remembered folder per product code
extern const char16_t kUninstallPrefix[];  // HKEY_LOCAL_MACHINE: the uninstall entry, the product name behind it
enum : int32_t { kUninstallKeyCapacity = 512 };

void GetDefaultInstallFolder(char16_t* buffer, int32_t capacity);
void ReadProgramFilesDir(char16_t* buffer, int32_t capacity);
