#include "ui/list_order.h"

// Secondary weights, roughly in the order the system ranks diacritics.
enum : uint8_t {
    kNoAccent = 0, kAcute, kGrave, kBreve, kCircumflex, kCaron, kRing, kDiaeresis,
    kDoubleAcute, kTilde, kDot, kStroke, kCedilla, kOgonek, kMacron, kOtherMark
};

enum : uint32_t {
    kClassSpace = 1u << 24,
    kClassSymbol = 2u << 24,
    kClassDigit = 3u << 24,
    kClassLatin = 4u << 24,
    kClassOther = 5u << 24
};

struct SortUnit {
    uint32_t primary;
    uint8_t accent;
};

// One Latin letter outside ASCII: its base letter(s) and its mark. A pair
// entry covers an upper-case letter and the lower-case one right after it.
struct LatinLetter {
    uint16_t first;
    uint8_t count;
    char base;
    char second;  // 0, or the second letter of a ligature
    uint8_t accent;
};

static const LatinLetter kLatinLetters[] = {
    {0x00C0, 1, 'a', 0, kGrave}, {0x00C1, 1, 'a', 0, kAcute}, {0x00C2, 1, 'a', 0, kCircumflex},
    {0x00C3, 1, 'a', 0, kTilde}, {0x00C4, 1, 'a', 0, kDiaeresis}, {0x00C5, 1, 'a', 0, kRing},
    {0x00C6, 1, 'a', 'e', kOtherMark}, {0x00C7, 1, 'c', 0, kCedilla}, {0x00C8, 1, 'e', 0, kGrave},
    {0x00C9, 1, 'e', 0, kAcute}, {0x00CA, 1, 'e', 0, kCircumflex}, {0x00CB, 1, 'e', 0, kDiaeresis},
    {0x00CC, 1, 'i', 0, kGrave}, {0x00CD, 1, 'i', 0, kAcute}, {0x00CE, 1, 'i', 0, kCircumflex},
    {0x00CF, 1, 'i', 0, kDiaeresis}, {0x00D0, 1, 'd', 0, kStroke}, {0x00D1, 1, 'n', 0, kTilde},
    {0x00D2, 1, 'o', 0, kGrave}, {0x00D3, 1, 'o', 0, kAcute}, {0x00D4, 1, 'o', 0, kCircumflex},
    {0x00D5, 1, 'o', 0, kTilde}, {0x00D6, 1, 'o', 0, kDiaeresis}, {0x00D8, 1, 'o', 0, kStroke},
    {0x00D9, 1, 'u', 0, kGrave}, {0x00DA, 1, 'u', 0, kAcute}, {0x00DB, 1, 'u', 0, kCircumflex},
    {0x00DC, 1, 'u', 0, kDiaeresis}, {0x00DD, 1, 'y', 0, kAcute}, {0x00DE, 1, 't', 'h', kOtherMark},
    {0x00DF, 1, 's', 's', kOtherMark}, {0x00FF, 1, 'y', 0, kDiaeresis},
    {0x0100, 2, 'a', 0, kMacron}, {0x0102, 2, 'a', 0, kBreve}, {0x0104, 2, 'a', 0, kOgonek},
    {0x0106, 2, 'c', 0, kAcute}, {0x0108, 2, 'c', 0, kCircumflex}, {0x010A, 2, 'c', 0, kDot},
    {0x010C, 2, 'c', 0, kCaron}, {0x010E, 2, 'd', 0, kCaron}, {0x0110, 2, 'd', 0, kStroke},
    {0x0112, 2, 'e', 0, kMacron}, {0x0114, 2, 'e', 0, kBreve}, {0x0116, 2, 'e', 0, kDot},
    {0x0118, 2, 'e', 0, kOgonek}, {0x011A, 2, 'e', 0, kCaron}, {0x011C, 2, 'g', 0, kCircumflex},
    {0x011E, 2, 'g', 0, kBreve}, {0x0120, 2, 'g', 0, kDot}, {0x0122, 2, 'g', 0, kCedilla},
    {0x0124, 2, 'h', 0, kCircumflex}, {0x0126, 2, 'h', 0, kStroke}, {0x0128, 2, 'i', 0, kTilde},
    {0x012A, 2, 'i', 0, kMacron}, {0x012C, 2, 'i', 0, kBreve}, {0x012E, 2, 'i', 0, kOgonek},
    {0x0130, 1, 'i', 0, kDot}, {0x0131, 1, 'i', 0, kOtherMark}, {0x0132, 2, 'i', 'j', kOtherMark},
    {0x0134, 2, 'j', 0, kCircumflex}, {0x0136, 2, 'k', 0, kCedilla}, {0x0138, 1, 'k', 0, kOtherMark},
    {0x0139, 2, 'l', 0, kAcute}, {0x013B, 2, 'l', 0, kCedilla}, {0x013D, 2, 'l', 0, kCaron},
    {0x013F, 2, 'l', 0, kDot}, {0x0141, 2, 'l', 0, kStroke}, {0x0143, 2, 'n', 0, kAcute},
    {0x0145, 2, 'n', 0, kCedilla}, {0x0147, 2, 'n', 0, kCaron}, {0x0149, 1, 'n', 0, kOtherMark},
    {0x014A, 2, 'n', 0, kOtherMark}, {0x014C, 2, 'o', 0, kMacron}, {0x014E, 2, 'o', 0, kBreve},
    {0x0150, 2, 'o', 0, kDoubleAcute}, {0x0152, 2, 'o', 'e', kOtherMark}, {0x0154, 2, 'r', 0, kAcute},
    {0x0156, 2, 'r', 0, kCedilla}, {0x0158, 2, 'r', 0, kCaron}, {0x015A, 2, 's', 0, kAcute},
    {0x015C, 2, 's', 0, kCircumflex}, {0x015E, 2, 's', 0, kCedilla}, {0x0160, 2, 's', 0, kCaron},
    {0x0162, 2, 't', 0, kCedilla}, {0x0164, 2, 't', 0, kCaron}, {0x0166, 2, 't', 0, kStroke},
    {0x0168, 2, 'u', 0, kTilde}, {0x016A, 2, 'u', 0, kMacron}, {0x016C, 2, 'u', 0, kBreve},
    {0x016E, 2, 'u', 0, kRing}, {0x0170, 2, 'u', 0, kDoubleAcute}, {0x0172, 2, 'u', 0, kOgonek},
    {0x0174, 2, 'w', 0, kCircumflex}, {0x0176, 2, 'y', 0, kCircumflex}, {0x0178, 1, 'y', 0, kDiaeresis},
    {0x0179, 2, 'z', 0, kAcute}, {0x017B, 2, 'z', 0, kDot}, {0x017D, 2, 'z', 0, kCaron},
    {0x017F, 1, 's', 0, kOtherMark},
};

// The lower-case half of Latin-1 mirrors the upper-case half 0x20 below it.
static char16_t FoldLatin1(char16_t c) {
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<char16_t>(c - 0x20);
    return c;
}

static const LatinLetter* FindLatinLetter(char16_t c) {
    c = FoldLatin1(c);
    for (const LatinLetter& letter : kLatinLetters)
        if (c >= letter.first && c < letter.first + letter.count) return &letter;
    return nullptr;
}

static bool IsSkipped(char16_t c) {
    return c == u'-' || c == u'\'' || c == 0x00AD || c == 0x2010 || c == 0x2011;
}

static uint32_t FoldOtherScript(char16_t c) {
    if (c >= 0x0391 && c <= 0x03A9) return c + 0x20u;  // Greek capitals
    if (c >= 0x0410 && c <= 0x042F) return c + 0x20u;  // Cyrillic capitals
    if (c >= 0x0400 && c <= 0x040F) return c + 0x50u;
    return c;
}

static bool IsOtherLetter(char16_t c) {
    return c >= 0x0180 && !(c >= 0x2000 && c <= 0x2BFF) && !(c >= 0x3000 && c <= 0x303F) &&
           !(c >= 0xFE30 && c <= 0xFE4F) && !(c >= 0xFF00 && c <= 0xFF0F);
}

static SortUnit Unit(uint32_t primary, uint8_t accent) {
    SortUnit unit;
    unit.primary = primary;
    unit.accent = accent;
    return unit;
}

// Up to two units for one character; answers how many.
static int32_t UnitsOf(char16_t c, SortUnit* units) {
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
    if (c >= u'a' && c <= u'z') {
        units[0] = Unit(kClassLatin | static_cast<uint32_t>(c - u'a'), kNoAccent);
        return 1;
    }
    if (c >= u'0' && c <= u'9') {
        units[0] = Unit(kClassDigit | static_cast<uint32_t>(c - u'0'), kNoAccent);
        return 1;
    }
    if (const LatinLetter* letter = FindLatinLetter(c)) {
        units[0] = Unit(kClassLatin | static_cast<uint32_t>(letter->base - 'a'), letter->accent);
        if (!letter->second) return 1;
        units[1] = Unit(kClassLatin | static_cast<uint32_t>(letter->second - 'a'), kNoAccent);
        return 2;
    }
    if (c <= 0x20 || (c >= 0x7F && c <= 0xA0)) {
        units[0] = Unit(kClassSpace | c, kNoAccent);
        return 1;
    }
    units[0] = IsOtherLetter(c) ? Unit(kClassOther | FoldOtherScript(c), kNoAccent) : Unit(kClassSymbol | c, kNoAccent);
    return 1;
}

struct OrderCursor {
    const char16_t* text;
    int32_t at;
    int32_t pending;  // units of the current character still to give
    int32_t skipped;
    SortUnit units[2];
};

static void StartCursor(OrderCursor* cursor, const char16_t* text) {
    cursor->text = text ? text : u"";
    cursor->at = 0;
    cursor->pending = 0;
    cursor->skipped = 0;
}

static bool NextUnit(OrderCursor* cursor, SortUnit* unit) {
    while (cursor->pending == 0) {
        char16_t c = cursor->text[cursor->at];
        if (!c) return false;
        ++cursor->at;
        if (IsSkipped(c)) {
            ++cursor->skipped;
            continue;
        }
        int32_t count = UnitsOf(c, cursor->units);
        if (count == 2) {
            SortUnit first = cursor->units[0];
            cursor->units[0] = cursor->units[1];
            cursor->units[1] = first;
        }
        cursor->pending = count;
    }
    *unit = cursor->units[--cursor->pending];
    return true;
}

static int32_t Sign(int64_t value) {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

// One level of the comparison over whole texts: base characters, or accents.
static int32_t CompareLevel(const char16_t* a, const char16_t* b, bool accents, int32_t* skippedOrder) {
    OrderCursor left;
    OrderCursor right;
    StartCursor(&left, a);
    StartCursor(&right, b);
    for (;;) {
        SortUnit x;
        SortUnit y;
        bool hasX = NextUnit(&left, &x);
        bool hasY = NextUnit(&right, &y);
        if (!hasX || !hasY) {
            if (skippedOrder) *skippedOrder = Sign(static_cast<int64_t>(left.skipped) - right.skipped);
            return Sign(static_cast<int64_t>(hasX) - static_cast<int64_t>(hasY));
        }
        int64_t difference = accents ? static_cast<int64_t>(x.accent) - y.accent
                                     : static_cast<int64_t>(x.primary) - static_cast<int64_t>(y.primary);
        if (difference != 0) return Sign(difference);
    }
}

int32_t CompareListText(const char16_t* a, const char16_t* b) {
    int32_t skippedOrder = 0;
    int32_t order = CompareLevel(a, b, false, nullptr);
    if (order != 0) return order;
    order = CompareLevel(a, b, true, &skippedOrder);
    if (order != 0) return order;
    return skippedOrder;
}
