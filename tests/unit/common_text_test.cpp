// Bounded text: cutting rules, result codes, conversions and in-place edits.
#include <gtest/gtest.h>

#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/text.h"
#include "test_support.h"
#include "common/codepage.h"
#include "common/native_path.h"
#include "common/unicode.h"
#include "text_codec.h"

namespace {

// A 16-place buffer holding a start text (none: no terminator at all); places
// behind it hold a guard value so that writes past the capacity show.
struct Buffer {
    explicit Buffer(const char16_t* start) {
        for (char16_t& c : places) c = u'#';
        places[16] = 0;
        if (!start) return;
        std::u16string text(start);
        std::copy(text.begin(), text.end(), places);
        places[text.size()] = 0;
    }
    std::u16string Text() const { return std::u16string(places); }
    char16_t places[17];
};

struct AppendCase {
    const char16_t* source;
    const char16_t* start;
    int32_t capacity;
    const char16_t* expected;
    PathResult result;
};

TEST(AppendText, CutsAndReportsAsDocumented) {
    const AppendCase cases[] = {
        {u"abc", u"12345", 8, u"12345ab", kPathCut},
        {u"abc", u"12345", 6, u"12345", kPathNoRoom},
        {u"abc", u"12345", 9, u"12345abc", kPathFits},
        {u"abc", u"12345", 7, u"12345a", kPathCut},
        {u"abc", u"12345", 5, u"12345", kPathNoRoom},  // already more than n - 1
        {u"", u"12345", 6, u"12345", kPathNoRoom},     // no room even for nothing
        {u"", u"12345", 9, u"12345", kPathFits},
        {u"abc", u"12345", 0, u"12345", kPathFits},
        {u"abc", u"12345", -3, u"12345", kPathFits},
        {nullptr, u"12345", 9, u"12345", kPathFits},
        {u"abc", u"", 1, u"", kPathNoRoom},
        {u"abc", u"", 2, u"a", kPathCut},
    };
    for (const AppendCase& c : cases) {
        SCOPED_TRACE(test::Utf8(c.source) + " onto " + test::Utf8(c.start) + " in " + std::to_string(c.capacity));
        Buffer buffer(c.start);
        EXPECT_EQ(AppendText(c.source, buffer.places, c.capacity), c.result);
        EXPECT_EQ(buffer.Text(), std::u16string(c.expected));
        if (c.capacity > static_cast<int32_t>(std::u16string(c.start).size())) {
            EXPECT_EQ(buffer.places[c.capacity], u'#');  // nothing written past n
        }
    }
    EXPECT_EQ(AppendText(u"abc", nullptr, 9), kPathFits);
}

TEST(AppendTextA, FollowsTheSameRulesOnBytes) {
    struct Case {
        const char* source;
        const char* start;
        int32_t capacity;
        const char* expected;
        PathResult result;
    } cases[] = {
        {"abc", "12345", 8, "12345ab", kPathCut},
        {"abc", "12345", 6, "12345", kPathNoRoom},
        {"abc", "12345", 9, "12345abc", kPathFits},
        {nullptr, "12345", 9, "12345", kPathFits},
        {"\xE4\xF6", "", 2, "\xE4", kPathCut},
    };
    for (const auto& c : cases) {
        char buffer[16];
        memset(buffer, '#', sizeof buffer);
        strcpy(buffer, c.start);
        EXPECT_EQ(AppendTextA(c.source, buffer, c.capacity), c.result) << c.start << " + " << (c.source ? c.source : "-");
        EXPECT_STREQ(buffer, c.expected);
        EXPECT_EQ(buffer[c.capacity], '#');
    }
}

TEST(CopyText, EmptiesTheDestinationFirst) {
    struct Case {
        const char16_t* source;
        int32_t capacity;
        const char16_t* expected;
        PathResult result;
    } cases[] = {
        {u"abcd", 5, u"abcd", kPathFits},  // exactly n - 1 characters
        {u"abcde", 5, u"abcd", kPathCut},  // n characters: the first n - 1
        {u"", 5, u"", kPathFits},
        {nullptr, 5, u"", kPathFits},
        {u"a", 1, u"", kPathNoRoom},
    };
    for (const auto& c : cases) {
        Buffer buffer(u"old text");
        EXPECT_EQ(CopyText(c.source, buffer.places, c.capacity), c.result) << test::Utf8(c.source);
        EXPECT_EQ(buffer.Text(), std::u16string(c.expected));
    }
    Buffer untouched(u"old");
    EXPECT_EQ(CopyText(u"new", untouched.places, 0), kPathFits);
    EXPECT_EQ(untouched.Text(), u"old");
}

TEST(CopyTextLimited, CopiesAtMostNMinusOneCharacters) {
    struct Case {
        const char16_t* source;
        int32_t capacity;
        const char16_t* expected;
    } cases[] = {
        {u"abcdef", 4, u"abc"}, {u"ab", 4, u"ab"}, {u"abc", 1, u""}, {nullptr, 4, u""},
    };
    for (const auto& c : cases) {
        Buffer buffer(nullptr);
        CopyTextLimited(c.source, buffer.places, c.capacity);
        EXPECT_EQ(buffer.Text(), std::u16string(c.expected));
        EXPECT_EQ(buffer.places[c.capacity], u'#');
    }
    CopyTextLimited(u"x", nullptr, 4);  // an absent destination is ignored
}

TEST(AnsiToWide, ConvertsWindows1252AndCuts) {
    struct Case {
        const char* source;
        int32_t capacity;
        std::u16string expected;
    } cases[] = {
        {"plain", 16, u"plain"},
        {"\x80\x8A\x9F\xA0\xE4\xFF", 16, u"\u20AC\u0160\u0178\u00A0\u00E4\u00FF"},
        {"\x81\x8D\x8F\x90\x9D", 16, u"\u0081\u008D\u008F\u0090\u009D"},
        {"abcdef", 4, u"abc"},
        {"abc", 1, u""},
        {nullptr, 4, u""},
    };
    for (const auto& c : cases) {
        Buffer buffer(nullptr);
        AnsiToWide(c.source, buffer.places, c.capacity);
        EXPECT_EQ(buffer.Text(), c.expected);
        if (c.capacity < 16) {
            EXPECT_EQ(buffer.places[c.capacity], u'#');
        }
    }
}

TEST(WideToAnsi, ConvertsToWindows1252WithADefaultCharacter) {
    struct Case {
        std::u16string source;
        int32_t capacity;
        std::string expected;
    } cases[] = {
        {u"plain", 16, "plain"},
        {u"\u20AC\u00E4\u0178", 16, "\x80\xE4\x9F"},
        {u"\u4E2D!", 16, "?!"},
        {u"abcdef", 4, "abc"},
    };
    for (const auto& c : cases) {
        char buffer[16];
        memset(buffer, '#', sizeof buffer);
        WideToAnsi(c.source.c_str(), buffer, c.capacity);
        EXPECT_EQ(std::string(buffer), c.expected);
        if (c.capacity < 16) {
            EXPECT_EQ(buffer[c.capacity], '#');
        }
    }
}

TEST(AppendAnsiText, StaysWithinTheWholeBuffer) {
    struct Case {
        const char16_t* start;
        const char* source;
        int32_t capacity;
        std::u16string expected;
    } cases[] = {
        {u"ab", "c\xE4", 8, u"abc\u00E4"},
        {u"ab", "cdefgh", 5, u"abcd"},
        {u"abcd", "e", 5, u"abcd"},
        {u"abcd", "e", 3, u"abcd"},  // already past the capacity: nothing added
    };
    for (const auto& c : cases) {
        Buffer buffer(c.start);
        AppendAnsiText(c.source, buffer.places, c.capacity);
        EXPECT_EQ(buffer.Text(), c.expected);
    }
}

TEST(FindText, FindsTheFirstExactOccurrence) {
    struct Case {
        const char16_t* text;
        const char16_t* pattern;
        int32_t expected;
    } cases[] = {
        {u"Language=German", u"Language", 0}, {u"xxLanguage", u"Language", 2}, {u"language", u"Language", -1},
        {u"abcabc", u"bc", 1},                {u"abc", u"", 0},                {u"", u"a", -1},
        {u"ab", u"abc", -1},
    };
    for (const auto& c : cases) EXPECT_EQ(FindText(c.text, c.pattern), c.expected) << test::Utf8(c.text);
}

TEST(ReplaceTabEscapes, TurnsEveryBackslashTIntoATab) {
    struct Case {
        std::u16string text;
        std::u16string expected;
    } cases[] = {
        {u"a\\tb", u"a\tb"},
        {u"\\t\\t", u"\t\t"},
        {u"\\\\t", u"\\\t"},
        {u"x\\ty\\tz", u"x\ty\tz"},
        {u"\\", u"\\"},
        {u"no escapes", u"no escapes"},
        {u"\\tt", u"\tt"},
    };
    for (const auto& c : cases) {
        char16_t buffer[32] = {};
        std::copy(c.text.begin(), c.text.end(), buffer);
        ReplaceTabEscapes(buffer);
        EXPECT_EQ(std::u16string(buffer), c.expected) << test::Utf8(c.text);
    }
}

TEST(TrimTrailingSpaces, RemovesOnlySpacesAtTheEnd) {
    struct Case {
        std::u16string text;
        std::u16string expected;
    } cases[] = {
        {u"German   ", u"German"}, {u"   ", u""}, {u"tab\t", u"tab\t"}, {u"a b ", u"a b"}, {u"", u""},
        {u"x \t ", u"x \t"},
    };
    for (const auto& c : cases) {
        char16_t buffer[32] = {};
        std::copy(c.text.begin(), c.text.end(), buffer);
        TrimTrailingSpaces(buffer);
        EXPECT_EQ(std::u16string(buffer), c.expected);
    }
}

TEST(CaseFolding, IgnoresOnlyAsciiLetterCase) {
    EXPECT_TRUE(EqualsIgnoreCase(u"UnInst.EXE", u"uninst.exe"));
    EXPECT_FALSE(EqualsIgnoreCase(u"\u00E4", u"\u00C4"));
    EXPECT_FALSE(EqualsIgnoreCase(u"abc", u"abcd"));
    EXPECT_TRUE(EqualsIgnoreCaseA("FILE_ID.DIZ", "file_id.diz"));
    EXPECT_FALSE(EqualsIgnoreCaseA("\xE4", "\xC4"));
    EXPECT_TRUE(EndsWithIgnoreCase(u"German.lng", u".LNG"));
    EXPECT_FALSE(EndsWithIgnoreCase(u"NG", u".LNG"));
    EXPECT_TRUE(TextEquals(u"", u""));
    EXPECT_FALSE(TextEquals(u"a", u"A"));
}

}  // namespace

// ----- The one UTF-8 decoder ---------------------------------------------------

namespace {

// Each input decoded by the decoder itself and by every reader built on it:
// the code points (-1 for a bad sequence), what the path and environment
// readers make of it, and whether mksetup takes it as valid UTF-8.
TEST(Utf8Decoder, IsStrictAndTheSameForEveryReader) {
    const struct {
        const char* what;
        std::string bytes;
        std::vector<int32_t> points;
        std::u16string wide;  // bad sequences as U+FFFD
    } cases[] = {
        {"ASCII", "Ab", {0x41, 0x62}, u"Ab"},
        {"two bytes", "\xC3\xA4", {0xE4}, u"\u00E4"},
        {"four bytes", "\xF0\x9F\x98\x80", {0x1F600}, u"\U0001F600"},
        {"overlong slash", "\xC0\xAF", {-1}, u"\uFFFD"},
        {"overlong three bytes", "\xE0\x80\xAF", {-1}, u"\uFFFD"},
        {"a surrogate", "\xED\xA0\x80", {-1}, u"\uFFFD"},
        {"past U+10FFFF", "\xF4\x90\x80\x80", {-1}, u"\uFFFD"},
        {"a lone continuation byte", "\x80" "A", {-1, 0x41}, u"\uFFFDA"},
        {"cut short", "\xE2\x82", {-1}, u"\uFFFD"},
        {"broken, the breaking byte kept", "\xE2" "A", {-1, 0x41}, u"\uFFFDA"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<int32_t> points;
        const char* at = c.bytes.data();
        const char* end = at + c.bytes.size();
        while (at < end) points.push_back(NextUtf8CodePoint(&at, end));
        EXPECT_EQ(points, c.points);
        char16_t out[16];
        int32_t n = DecodeUtf8(c.bytes.data(), end, false, out, 16);
        EXPECT_EQ(std::u16string(out, n > 0 ? static_cast<size_t>(n) : 0), c.wide);
        char16_t native[16];
        FromNativeText(c.bytes.c_str(), native, 16);
        EXPECT_EQ(std::u16string(native), c.wide);
        EXPECT_EQ(Utf8ToUtf16(c.bytes), c.wide);
        std::string ansi, bad;
        bool valid = std::find(c.points.begin(), c.points.end(), -1) == c.points.end();
        bool taken = Utf8ToWindows1252(c.bytes, &ansi, &bad);
        if (!valid) {
            EXPECT_FALSE(taken);
            EXPECT_EQ(bad, "invalid UTF-8");
        }
    }
}

}  // namespace

namespace {

TEST(AppendNumber, WritesTheDigitsWithTheBoundedRules) {
    struct Case {
        uint64_t value;
        int32_t capacity;
        const char16_t* expected;
        PathResult result;
    } cases[] = {
        {0, 16, u"n=0", kPathFits},
        {1234567890123ull, 32, u"n=1234567890123", kPathFits},
        {18446744073709551615ull, 32, u"n=18446744073709551615", kPathFits},
        {98765, 6, u"n=987", kPathCut},
    };
    for (const Case& c : cases) {
        char16_t text[32] = u"n=";
        EXPECT_EQ(c.result, AppendNumber(c.value, text, c.capacity)) << c.value;
        EXPECT_EQ(std::u16string(c.expected), text) << c.value;
    }
}

}  // namespace
