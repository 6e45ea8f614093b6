#include "ui/message_echo.h"

#include <stdio.h>

#include "common/text.h"
#include "common/unicode.h"
#include "ui/window.h"

enum : int32_t { kEchoCapacity = 4096 };

static int32_t PutUtf8(uint32_t point, char* out, int32_t at, int32_t capacity) {
    char bytes[4];
    int32_t count = EncodeCodePoint(point, bytes);
    if (at + count >= capacity) return at;
    for (int32_t i = 0; i < count; ++i) out[at + i] = bytes[i];
    return at + count;
}

// Line breaks inside a text become spaces so that one box stays one line.
static int32_t AppendUtf8(const char16_t* text, char* out, int32_t at, int32_t capacity) {
    int32_t count = TextLength(text);
    for (int32_t i = 0; i < count;) {
        uint32_t point = NextCodePoint(text, count, &i);
        if (point >= 0xD800 && point < 0xE000) point = 0xFFFD;  // a lone surrogate
        if (point == u'\r' || point == u'\n') point = u' ';
        at = PutUtf8(point, out, at, capacity);
    }
    return at;
}

static int32_t AppendAscii(const char* text, char* out, int32_t at, int32_t capacity) {
    for (; *text && at + 1 < capacity; ++text) out[at++] = *text;
    return at;
}

void EchoMessageBox(const char16_t* text, const char16_t* title, uint32_t style) {
    char line[kEchoCapacity];
    int32_t at = 0;
    if (style & kMbIconError) at = AppendAscii("error: ", line, at, kEchoCapacity);
    if (title && title[0]) {
        at = AppendUtf8(title, line, at, kEchoCapacity);
        at = AppendAscii(": ", line, at, kEchoCapacity);
    }
    if (text) at = AppendUtf8(text, line, at, kEchoCapacity);
    while (at > 0 && line[at - 1] == ' ') --at;  // the system's texts end in a line break
    line[at] = 0;
    fprintf(stderr, "%s\n", line);
    fflush(stderr);
}
