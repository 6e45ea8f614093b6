// Windows-1252 stands in for the system ANSI code page away from Windows.
#include "common/codepage.h"
#include "common/text.h"
#include "common/unicode.h"

void AnsiToWide(const char* source, char16_t* destination, int32_t capacity) {
    if (!destination || capacity <= 0) return;
    destination[0] = 0;
    if (!source) return;
    int32_t i = 0;
    for (; i < capacity - 1 && source[i]; ++i)
        destination[i] = Windows1252ToCodePoint(static_cast<uint8_t>(source[i]));
    destination[i] = 0;
}

void WideToAnsi(const char16_t* source, char* destination, int32_t capacity) {
    if (!destination || capacity <= 0) return;
    destination[0] = 0;
    if (!source) return;
    int32_t i = 0;
    for (; i < capacity - 1 && source[i]; ++i) {
        int32_t byte = CodePointToWindows1252(source[i]);
        destination[i] = static_cast<char>(byte < 0 ? '?' : byte);  // the code page's default character
    }
    destination[i] = 0;
}
