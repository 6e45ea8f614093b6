// The system's own text for a Windows system error code, as the platform
// words it (a trailing line break included), appended with AppendText's rules.
// Nothing is appended when the platform has no text for the code.
#pragma once
#include <stdint.h>

void AppendSystemErrorText(uint32_t code, char16_t* destination, int32_t capacity);
