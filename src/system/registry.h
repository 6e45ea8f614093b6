// The registry records: the remembered destination per product code, the
// program-files folder, and the uninstall entry. All silent.
#pragma once
#include <stdint.h>

extern const char16_t kUrlInfoAbout[];

void GetDefaultInstallFolder(char16_t* buffer, int32_t capacity);
void ReadProgramFilesDir(char16_t* buffer, int32_t capacity);
void RememberInstallFolder(const char16_t* folder);
void WriteUninstallEntry(const char16_t* uninstallCommand, const char16_t* iconPath);
