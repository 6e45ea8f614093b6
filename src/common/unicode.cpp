#include "common/unicode.h"

#include <string.h>

int32_t EncodeCodePoint(uint32_t c, char* bytes) {
    if (c < 0x80) {
        bytes[0] = static_cast<char>(c);
        return 1;
    }
    if (c < 0x800) {
        bytes[0] = static_cast<char>(0xC0 | (c >> 6));
        bytes[1] = static_cast<char>(0x80 | (c & 0x3F));
        return 2;
    }
    if (c < 0x10000) {
        bytes[0] = static_cast<char>(0xE0 | (c >> 12));
        bytes[1] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        bytes[2] = static_cast<char>(0x80 | (c & 0x3F));
        return 3;
    }
    bytes[0] = static_cast<char>(0xF0 | (c >> 18));
    bytes[1] = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    bytes[2] = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    bytes[3] = static_cast<char>(0x80 | (c & 0x3F));
    return 4;
}

uint32_t NextCodePoint(const char16_t* text, int32_t count, int32_t* at) {
    uint32_t c = text[(*at)++];
    bool high = c >= 0xD800 && c < 0xDC00;
    if (!high || *at >= count) return c;
    uint32_t low = text[*at];
    if (low < 0xDC00 || low >= 0xE000) return c;
    ++*at;
    return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
}

bool EncodeUtf8(const char16_t* text, char* out, int32_t capacity) {
    if (!out || capacity <= 0) return false;
    out[0] = 0;
    if (!text) return true;
    int32_t count = 0;
    while (text[count]) ++count;
    int32_t used = 0;
    for (int32_t at = 0; at < count;) {
        char bytes[4];
        int32_t n = EncodeCodePoint(NextCodePoint(text, count, &at), bytes);
        if (used + n >= capacity) {
            out[0] = 0;
            return false;
        }
        memcpy(out + used, bytes, static_cast<size_t>(n));
        used += n;
    }
    out[used] = 0;
    return true;
}

namespace {

struct ByteReader {
    const char* at;
    const char* end;
    bool escaped;
};

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool NextByte(ByteReader* reader, uint8_t* byte) {
    if (reader->at >= reader->end) return false;
    const char* p = reader->at;
    if (reader->escaped && *p == '%' && reader->end - p >= 3 && HexValue(p[1]) >= 0 && HexValue(p[2]) >= 0) {
        *byte = static_cast<uint8_t>(HexValue(p[1]) * 16 + HexValue(p[2]));
        reader->at += 3;
        return true;
    }
    *byte = static_cast<uint8_t>(*p);
    ++reader->at;
    return true;
}

int32_t ContinuationCount(uint8_t lead) {
    if (lead >= 0xF8) return -1;
    if (lead >= 0xF0) return 3;
    if (lead >= 0xE0) return 2;
    if (lead >= 0xC0) return 1;
    return lead < 0x80 ? 0 : -1;
}

// The one UTF-8 decoder, strict: a broken sequence, an overlong form, a
// surrogate or a code point past U+10FFFF is -1. A broken sequence keeps the
// byte that broke it for the next character.
int32_t DecodeCodePoint(ByteReader* reader, uint8_t lead) {
    static const uint32_t kSmallest[4] = {0, 0x80, 0x800, 0x10000};
    int32_t extra = ContinuationCount(lead);
    if (extra < 0) return -1;
    uint32_t c = lead & (0x7Fu >> extra);
    for (int32_t k = 0; k < extra; ++k) {
        ByteReader before = *reader;
        uint8_t byte = 0;
        if (!NextByte(reader, &byte) || (byte & 0xC0) != 0x80) {
            *reader = before;
            return -1;
        }
        c = (c << 6) | (byte & 0x3F);
    }
    if (c < kSmallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return -1;
    return static_cast<int32_t>(c);
}

}  // namespace

int32_t DecodeUtf8(const char* begin, const char* end, bool escaped, char16_t* out, int32_t capacity) {
    ByteReader reader = {begin, end, escaped};
    int32_t count = 0;
    uint8_t lead = 0;
    while (NextByte(&reader, &lead)) {
        int32_t point = DecodeCodePoint(&reader, lead);
        uint32_t c = point < 0 ? 0xFFFD : static_cast<uint32_t>(point);
        int32_t units = c >= 0x10000 ? 2 : 1;
        if (count + units > capacity) return -1;
        if (units == 2) {
            c -= 0x10000;
            out[count++] = static_cast<char16_t>(0xD800 + (c >> 10));
            out[count++] = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            out[count++] = static_cast<char16_t>(c);
        }
    }
    return count;
}

int32_t NextUtf8CodePoint(const char** at, const char* end) {
    ByteReader reader = {*at, end, false};
    uint8_t lead = 0;
    if (!NextByte(&reader, &lead)) return -1;
    int32_t c = DecodeCodePoint(&reader, lead);
    *at = reader.at;
    return c;
}

// 0x80..0x9F of Windows-1252.
static const char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

char16_t Windows1252ToCodePoint(uint8_t byte) {
    if (byte >= 0x80 && byte < 0xA0) return kHighControls[byte - 0x80];
    return byte;
}

int32_t CodePointToWindows1252(uint32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) return static_cast<int32_t>(codePoint);
    for (int32_t i = 0; i < 32; ++i)
        if (kHighControls[i] == codePoint) return 0x80 + i;
    return -1;
}
