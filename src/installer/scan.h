// The scan pass: product description, language files and platform folders.
#pragma once
#include <stdint.h>

struct Window;

void AddDefaultLanguageRows(const Window* list);
int32_t ScanFileCallback(char16_t* name, const uint8_t* data, uint32_t length, void* context);
void ReadProductDescription(const Window* dialog, const uint8_t* data, uint32_t length);
void ReadLanguageFile(const Window* dialog, const uint8_t* data, uint32_t length, const char16_t* name);
