// Windows-1252 stands in for the system ANSI code page away from Windows.
#include "common/text.h"

// 0x80..0x9F; the five unassigned bytes map to the same code points, as Windows does.
static const char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

static char16_t WidenByte(unsigned char b) {
    if (b >= 0x80 && b < 0xA0) return kHighControls[b - 0x80];
    return b;
}

static char NarrowChar(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<char>(c);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == c) return static_cast<char>(0x80 + i);
    return '?';
}

void AnsiToWide(const char* source, char16_t* destination, int32_t capacity) {
    if (!destination || capacity <= 0) return;
    destination[0] = 0;
    if (!source) return;
    int32_t i = 0;
    for (; i < capacity - 1 && source[i]; ++i) destination[i] = WidenByte(static_cast<unsigned char>(source[i]));
    destination[i] = 0;
}

void WideToAnsi(const char16_t* source, char* destination, int32_t capacity) {
    if (!destination || capacity <= 0) return;
    destination[0] = 0;
    if (!source) return;
    int32_t i = 0;
    for (; i < capacity - 1 && source[i]; ++i) destination[i] = NarrowChar(source[i]);
    destination[i] = 0;
}
