// Code points between the UTF-16 the program works in, UTF-8 (the POSIX
// environment, file names and our store file) and Windows-1252 bytes.
#pragma once
#include <stdint.h>

// UTF-16 to UTF-8 into out (capacity bytes, terminated); false when too long.
bool EncodeUtf8(const char16_t* text, char* out, int32_t capacity);
// UTF-8 of [begin, end) to UTF-16, '%' followed by two hex digits read as one
// byte when escaped is true; zero characters are kept and no terminator is
// added. The number of characters, or -1 when they do not fit in capacity.
// Undecodable bytes become U+FFFD (see NextUtf8CodePoint).
int32_t DecodeUtf8(const char* begin, const char* end, bool escaped, char16_t* out, int32_t capacity);
// The next code point of the UTF-8 bytes [*at, end), moving *at past it: -1
// for a broken sequence (the byte that broke it is kept for the next call),
// an overlong form, a surrogate or a code point past U+10FFFF. The one
// decoder DecodeUtf8 and every other reader of UTF-8 use.
int32_t NextUtf8CodePoint(const char** at, const char* end);
// The UTF-8 bytes of one code point (1 to 4) into bytes.
int32_t EncodeCodePoint(uint32_t codePoint, char* bytes);
// The next code point of UTF-16 text (a lone surrogate stands for itself).
uint32_t NextCodePoint(const char16_t* text, int32_t count, int32_t* at);

// Windows-1252: the code point of a byte (the five unassigned bytes stand for
// the same code points, as Windows converts them), and the byte of a code
// point, or -1 when the code page has none.
char16_t Windows1252ToCodePoint(uint8_t byte);
int32_t CodePointToWindows1252(uint32_t codePoint);
