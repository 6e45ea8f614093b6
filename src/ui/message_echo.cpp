#include "ui/message_echo.h"

#include <stdio.h>

#include "ui/window.h"

enum : int32_t { kEchoCapacity = 4096 };

static int32_t PutUtf8(uint32_t point, char* out, int32_t at, int32_t capacity) {
    char bytes[4];
    int32_t count = 0;
    if (point < 0x80) {
        bytes[count++] = static_cast<char>(point);
    } else if (point < 0x800) {
        bytes[count++] = static_cast<char>(0xC0 | (point >> 6));
        bytes[count++] = static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        bytes[count++] = static_cast<char>(0xE0 | (point >> 12));
        bytes[count++] = static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        bytes[count++] = static_cast<char>(0x80 | (point & 0x3F));
    } else {
        bytes[count++] = static_cast<char>(0xF0 | (point >> 18));
        bytes[count++] = static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        bytes[count++] = static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        bytes[count++] = static_cast<char>(0x80 | (point & 0x3F));
    }
    if (at + count >= capacity) return at;
    for (int32_t i = 0; i < count; ++i) out[at + i] = bytes[i];
    return at + count;
}

// Line breaks inside a text become spaces so that one box stays one line.
static int32_t AppendUtf8(const char16_t* text, char* out, int32_t at, int32_t capacity) {
    for (int32_t i = 0; text[i]; ++i) {
        uint32_t point = text[i];
        bool high = point >= 0xD800 && point < 0xDC00;
        if (high && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            point = 0x10000 + ((point - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (point >= 0xD800 && point < 0xE000) {
            point = 0xFFFD;  // a lone surrogate
        }
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
