// A message box written as one line of UTF-8 on standard error: how boxes
// reach the user where no window can show them.
#pragma once
#include <stdint.h>

void EchoMessageBox(const char16_t* text, const char16_t* title, uint32_t style);
