#include <windows.h>
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
    int n = WideCharToMultiByte(CP_ACP, 0, as_wcstr(source), units, destination, capacity - 1, nullptr, nullptr);
    destination[n > 0 ? n : 0] = 0;
}
