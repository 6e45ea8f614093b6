#include "common/file_names.h"

#include "common/text.h"

enum : int32_t {
    kLongestDeviceName = 7  // "CONOUT$"
};

static bool IsForbiddenInName(char16_t c) {
    if (c < 0x20) return true;
    switch (c) {
    case u'<': case u'>': case u':': case u'"': case u'/': case u'\\': case u'|': case u'?': case u'*':
        return true;
    default:
        return false;
    }
}

// COM1 to COM9 and LPT1 to LPT9, the superscript digits Windows also takes,
// and 0, which is reserved as well.
static bool IsPortDigit(char16_t c) { return (c >= u'0' && c <= u'9') || c == 0xB9 || c == 0xB2 || c == 0xB3; }

// Windows opens the device for "NUL", "nul.txt" and "NUL .dll" alike: the part
// before the first dot, without trailing spaces, decides.
static bool IsDeviceName(const char16_t* name) {
    int32_t length = 0;
    while (name[length] && name[length] != u'.') ++length;
    while (length > 0 && name[length - 1] == u' ') --length;
    if (length < 3 || length > kLongestDeviceName) return false;
    char16_t base[kLongestDeviceName + 1];
    for (int32_t i = 0; i < length; ++i) base[i] = AsciiUpper(name[i]);
    base[length] = 0;
    static const char16_t* const kDevices[] = {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"};
    for (const char16_t* device : kDevices)
        if (TextEquals(base, device)) return true;
    if (length != 4 || !IsPortDigit(base[3])) return false;
    return (base[0] == u'C' && base[1] == u'O' && base[2] == u'M') ||
           (base[0] == u'L' && base[1] == u'P' && base[2] == u'T');
}

bool IsPlainFileName(const char16_t* name) {
    if (!name || !name[0]) return false;
    int32_t length = 0;
    for (; name[length]; ++length)
        if (IsForbiddenInName(name[length])) return false;
    char16_t last = name[length - 1];
    if (last == u'.' || last == u' ') return false;
    return !IsDeviceName(name);
}

bool MakeSingleName(char16_t* name) {
    if (!name) return false;
    bool changed = false;
    bool onlyDotsAndSpaces = true;
    for (char16_t* c = name; *c; ++c) {
        if (*c != u'.' && *c != u' ') onlyDotsAndSpaces = false;
        if (!IsForbiddenInName(*c)) continue;
        *c = u'_';
        changed = true;
    }
    if (!onlyDotsAndSpaces || !name[0]) return changed;
    for (char16_t* c = name; *c; ++c) *c = u'_';
    return true;
}
