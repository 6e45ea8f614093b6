#include "text_codec.h"

#include <stdint.h>

// 0x80..0x9F of Windows-1252. The five bytes the code page leaves unassigned
// stand for the same code points, as Windows converts them.
static const char16_t kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

static uint32_t WidenByte(unsigned char b) {
    if (b >= 0x80 && b < 0xA0) return kHighControls[b - 0x80];
    return b;
}

static int NarrowCodePoint(uint32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
    for (int i = 0; i < 32; ++i)
        if (kHighControls[i] == c) return 0x80 + i;
    return -1;
}

// Decodes one UTF-8 sequence at text[*pos]; answers -1 for a malformed one.
static int64_t NextCodePoint(const std::string& text, size_t* pos) {
    unsigned char lead = static_cast<unsigned char>(text[*pos]);
    int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : 0;
    if (lead >= 0x80 && extra == 0) return -1;
    if (lead >= 0xF5) return -1;
    uint32_t c = extra == 3 ? lead & 0x07 : extra == 2 ? lead & 0x0F : extra == 1 ? lead & 0x1F : lead;
    size_t at = *pos + 1;
    for (int k = 0; k < extra; ++k, ++at) {
        if (at >= text.size()) return -1;
        unsigned char b = static_cast<unsigned char>(text[at]);
        if ((b & 0xC0) != 0x80) return -1;
        c = (c << 6) | (b & 0x3F);
    }
    static const uint32_t kSmallest[4] = {0, 0x80, 0x800, 0x10000};
    if (c < kSmallest[extra] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return -1;
    *pos = at;
    return c;
}

static void AppendUtf8(uint32_t c, std::string* out) {
    if (c < 0x80) {
        out->push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (c >> 6)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (c >> 12)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (c >> 18)));
        out->push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

bool Utf8ToWindows1252(const std::string& utf8, std::string* ansi, std::string* bad) {
    ansi->clear();
    for (size_t pos = 0; pos < utf8.size();) {
        size_t start = pos;
        int64_t c = NextCodePoint(utf8, &pos);
        if (c < 0) {
            *bad = "invalid UTF-8";
            return false;
        }
        int b = NarrowCodePoint(static_cast<uint32_t>(c));
        if (b < 0) {
            *bad = utf8.substr(start, pos - start);
            return false;
        }
        ansi->push_back(static_cast<char>(b));
    }
    return true;
}

std::string Windows1252ToUtf8(const std::string& ansi) {
    std::string out;
    for (unsigned char b : ansi) AppendUtf8(WidenByte(b), &out);
    return out;
}

std::u16string Utf8ToUtf16(const std::string& utf8) {
    std::u16string out;
    for (size_t pos = 0; pos < utf8.size();) {
        int64_t c = NextCodePoint(utf8, &pos);
        if (c < 0) {
            c = 0xFFFD;
            ++pos;
        }
        if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

std::string Utf16ToUtf8(const char16_t* text) {
    std::string out;
    for (size_t i = 0; text[i]; ++i) {
        uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c < 0xE000) {
            c = 0xFFFD;
        }
        AppendUtf8(c, &out);
    }
    return out;
}

std::string Utf16ToUtf8(const std::u16string& text) { return Utf16ToUtf8(text.c_str()); }
