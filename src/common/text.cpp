#include "common/text.h"
#include "common/codepage.h"

int32_t TextLength(const char16_t* text) {
    int32_t n = 0;
    while (text[n]) ++n;
    return n;
}

int32_t TextLengthA(const char* text) {
    int32_t n = 0;
    while (text[n]) ++n;
    return n;
}

template <typename Char>
static PathResult AppendBounded(const Char* source, Char* destination, int32_t capacity) {
    if (capacity <= 0 || !source || !destination) return kPathFits;
    int32_t used = 0;
    while (destination[used]) ++used;
    int32_t room = capacity - 1 - used;
    if (room <= 0) return kPathNoRoom;
    int32_t i = 0;
    for (; source[i]; ++i) {
        if (i == room) {
            destination[capacity - 1] = 0;
            return kPathCut;
        }
        destination[used + i] = source[i];
    }
    destination[used + i] = 0;
    return kPathFits;
}

PathResult AppendText(const char16_t* source, char16_t* destination, int32_t capacity) {
    return AppendBounded(source, destination, capacity);
}

PathResult AppendTextA(const char* source, char* destination, int32_t capacity) {
    return AppendBounded(source, destination, capacity);
}

PathResult CopyText(const char16_t* source, char16_t* destination, int32_t capacity) {
    if (capacity > 0) destination[0] = 0;
    return AppendText(source, destination, capacity);
}

void CopyTextLimited(const char16_t* source, char16_t* destination, int32_t capacity) {
    if (!destination) return;
    if (capacity <= 0) return;
    destination[0] = 0;
    if (!source) return;
    int32_t i = 0;
    for (; i < capacity - 1 && source[i]; ++i) destination[i] = source[i];
    destination[i] = 0;
}

void AppendAnsiText(const char* source, char16_t* destination, int32_t capacity) {
    if (!destination) return;
    int32_t used = TextLength(destination);
    if (used < capacity) AnsiToWide(source, destination + used, capacity - used);
}

int32_t FindText(const char16_t* text, const char16_t* pattern) {
    for (int32_t start = 0;; ++start) {
        int32_t k = 0;
        while (pattern[k] && text[start + k] == pattern[k]) ++k;
        if (!pattern[k]) return start;
        if (!text[start]) return -1;
    }
}

void ReplaceTabEscapes(char16_t* text) {
    int32_t at = 0;
    for (;;) {
        int32_t found = FindText(text + at, u"\\t");
        if (found < 0) return;
        char16_t* p = text + at + found;
        *p = u'\t';
        for (char16_t* q = p + 1; *q; ++q) q[0] = q[1];
        at += found + 1;
    }
}

void TrimTrailingSpaces(char16_t* text) {
    int32_t n = TextLength(text);
    while (n > 0 && text[n - 1] == u' ') text[--n] = 0;
}

char16_t AsciiUpper(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
}

bool EqualsIgnoreCase(const char16_t* a, const char16_t* b) {
    for (; *a && *b; ++a, ++b)
        if (AsciiUpper(*a) != AsciiUpper(*b)) return false;
    return *a == *b;
}

bool EqualsIgnoreCaseA(const char* a, const char* b) {
    for (; *a && *b; ++a, ++b)
        if (AsciiUpper(static_cast<unsigned char>(*a)) != AsciiUpper(static_cast<unsigned char>(*b)))
            return false;
    return *a == *b;
}

bool EndsWithIgnoreCase(const char16_t* text, const char16_t* suffix) {
    int32_t n = TextLength(text), m = TextLength(suffix);
    return n >= m && EqualsIgnoreCase(text + n - m, suffix);
}

bool StartsWithIgnoreCase(const char16_t* text, const char16_t* prefix) {
    for (; *prefix; ++text, ++prefix)
        if (AsciiUpper(*text) != AsciiUpper(*prefix)) return false;
    return true;
}

bool TextEquals(const char16_t* a, const char16_t* b) {
    for (; *a && *a == *b; ++a, ++b) {}
    return *a == *b;
}

PathResult AppendNumber(uint64_t value, char16_t* destination, int32_t capacity) {
    char16_t digits[21];
    int32_t n = 0;
    do {
        digits[n++] = static_cast<char16_t>(u'0' + value % 10);
        value /= 10;
    } while (value);
    char16_t number[21];
    for (int32_t k = 0; k < n; ++k) number[k] = digits[n - 1 - k];
    number[n] = 0;
    return AppendText(number, destination, capacity);
}
