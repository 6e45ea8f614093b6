#include "text_codec.h"

#include <stdint.h>

#include "common/unicode.h"

// One code point of text at *pos (common/unicode's decoder); -1 for a malformed one.
static int64_t NextUtf8Point(const std::string& text, size_t* pos) {
    const char* at = text.data() + *pos;
    int32_t c = NextUtf8CodePoint(&at, text.data() + text.size());
    *pos = static_cast<size_t>(at - text.data());
    return c;
}

static void AppendUtf8(uint32_t c, std::string* out) {
    char bytes[4];
    out->append(bytes, static_cast<size_t>(EncodeCodePoint(c, bytes)));
}

bool Utf8ToWindows1252(const std::string& utf8, std::string* ansi, std::string* bad) {
    ansi->clear();
    for (size_t pos = 0; pos < utf8.size();) {
        size_t start = pos;
        int64_t c = NextUtf8Point(utf8, &pos);
        if (c < 0) {
            *bad = "invalid UTF-8";
            return false;
        }
        int32_t b = CodePointToWindows1252(static_cast<uint32_t>(c));
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
    for (unsigned char b : ansi) AppendUtf8(Windows1252ToCodePoint(b), &out);
    return out;
}

std::u16string Utf8ToUtf16(const std::string& utf8) {
    std::u16string out;
    for (size_t pos = 0; pos < utf8.size();) {
        int64_t c = NextUtf8Point(utf8, &pos);
        if (c < 0) c = 0xFFFD;  // the decoder has moved on past the bad bytes
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
    int32_t count = 0;
    while (text[count]) ++count;
    for (int32_t i = 0; i < count;) {
        uint32_t c = NextCodePoint(text, count, &i);
        AppendUtf8(c >= 0xD800 && c < 0xE000 ? 0xFFFD : c, &out);  // a lone surrogate
    }
    return out;
}

std::string Utf16ToUtf8(const std::u16string& text) { return Utf16ToUtf8(text.c_str()); }

static void AppendEscape(uint32_t code, std::string* out) {
    static const char kHex[] = "0123456789ABCDEF";
    *out += "\\x";
    out->push_back(kHex[(code >> 4) & 0xF]);
    out->push_back(kHex[code & 0xF]);
}

std::string Printable(const std::string& utf8) {
    std::string out;
    for (size_t i = 0; i < utf8.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x20 || c == 0x7F) {
            AppendEscape(c, &out);
            continue;
        }
        // U+0080 to U+009F are C2 80 to C2 9F in UTF-8.
        unsigned char next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
        if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {
            AppendEscape(next, &out);
            ++i;
            continue;
        }
        out.push_back(static_cast<char>(c));
    }
    return out;
}
