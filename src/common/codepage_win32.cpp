#include <windows.h>
#include "common/codepage.h"
#include "common/text.h"
#include "common/wide.h"

void AnsiToWide(const char* source, char16_t* destination, int32_t capacity) {
    if (!destination || capacity <= 0) return;
    destination[0] = 0;
    if (!source || capacity == 1) return;
    int32_t bytes = 0;
    while (source[bytes] && bytes < capacity - 1) ++bytes;
    int n = MultiByteToWideChar(CP_ACP, 0, source, bytes, as_wcstr(destination), capacity - 1);
    destination[n > 0 ? n : 0] = 0;
}

void WideToAnsi(const char16_t* source, char* destination, int32_t capacity) {
    if (!destination || capacity <= 0) return;
    destination[0] = 0;
    if (!source || capacity == 1) return;
    int32_t units = 0;
    while (source[units] && units < capacity - 1) ++units;
    // In a double-byte code page the bytes may outnumber the characters: cut
    // the text (never inside a surrogate pair) until it fits, as the other
    // conversions cut, rather than answering nothing.
    int n = 0;
    while (units > 0) {
        n = WideCharToMultiByte(CP_ACP, 0, as_wcstr(source), units, destination, capacity - 1, nullptr, nullptr);
        if (n > 0 || GetLastError() != ERROR_INSUFFICIENT_BUFFER) break;
        --units;
        if (units > 0 && source[units - 1] >= 0xD800 && source[units - 1] < 0xDC00) --units;
    }
    destination[n > 0 ? n : 0] = 0;
}
