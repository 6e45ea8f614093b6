// What the Install button does, and the dialog's destination and ticks at start.
#pragma once
#include <stdint.h>

struct Window;

int32_t RunInstall(const Window* dialog);
void InitDestination(const Window* dialog);
void MarkInstalledLanguages(const Window* dialog, const char16_t* destination);
void LanguageFilePath(const char16_t* destination, const char* code, char16_t* out, int32_t capacity);
void RenameOldPsapi(const char16_t* destination);
void DeleteUnselectedLanguageFiles(const char16_t* folder, const char* code);
