// Bounded text in caller-owned buffers. A capacity counts places, terminator
// included; nothing here allocates, and every writer leaves its buffer terminated.
#pragma once
#include <stdint.h>

// Result of the bounded copy and append helpers.
typedef int32_t PathResult;
enum : int32_t {
    kPathFits = 0,     // the whole source fitted (or nothing to do)
    kPathCut = 111,    // cut so that the destination is full
    kPathNoRoom = 123  // no room at all; nothing appended
};

int32_t TextLength(const char16_t* text);
int32_t TextLengthA(const char* text);

PathResult AppendText(const char16_t* source, char16_t* destination, int32_t capacity);
PathResult AppendTextA(const char* source, char* destination, int32_t capacity);
PathResult CopyText(const char16_t* source, char16_t* destination, int32_t capacity);
void CopyTextLimited(const char16_t* source, char16_t* destination, int32_t capacity);

// ANSI text widened (common/codepage.h) and appended.
void AppendAnsiText(const char* source, char16_t* destination, int32_t capacity);

// The decimal digits of value appended, with AppendText's rules.
PathResult AppendNumber(uint64_t value, char16_t* destination, int32_t capacity);
// Position of the first occurrence of pattern in text (exact code units), or -1.
int32_t FindText(const char16_t* text, const char16_t* pattern);
void ReplaceTabEscapes(char16_t* text);
void TrimTrailingSpaces(char16_t* text);

// ASCII-only case folding, as file-name comparisons need.
char16_t AsciiUpper(char16_t c);
bool EqualsIgnoreCase(const char16_t* a, const char16_t* b);
bool EqualsIgnoreCaseA(const char* a, const char* b);
bool EndsWithIgnoreCase(const char16_t* text, const char16_t* suffix);
bool StartsWithIgnoreCase(const char16_t* text, const char16_t* prefix);
bool TextEquals(const char16_t* a, const char16_t* b);
