// The ANSI code page: the system's on Windows, Windows-1252 elsewhere.
#pragma once
#include <stdint.h>

// Both always leave the destination terminated within capacity places.
void AnsiToWide(const char* source, char16_t* destination, int32_t capacity);
void WideToAnsi(const char16_t* source, char* destination, int32_t capacity);
