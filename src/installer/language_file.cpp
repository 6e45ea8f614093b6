// A package language file (*_XX.LNG) offers its language in the list: the
// display name comes from its "Language=" line, the code from its file name.
#include "installer/scan.h"

#include <string.h>

#include "common/text.h"
#include "ui/language_list.h"
#include "ui/window.h"
#include "common/codepage.h"

enum : int32_t {
    kPreviewLimit = 1024,
    kTextCapacity = 1024,
    kValueSkip = 9  // "Language" and the '=' after it
};

// UTF-16LE behind its byte-order mark, otherwise ANSI text.
static void DecodeLanguageText(const uint8_t* data, uint32_t length, char16_t* text) {
    uint8_t bytes[kPreviewLimit + 2];
    uint32_t n = length > kPreviewLimit ? static_cast<uint32_t>(kPreviewLimit) : length;
    memcpy(bytes, data, n);
    bytes[n] = 0;
    bytes[n + 1] = 0;
    if (n >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        // An odd last byte pairs with the zero behind it.
        int32_t count = 0;
        for (uint32_t at = 2; at < n && count < kTextCapacity - 1; at += 2) {
            char16_t unit = static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8));
            if (!unit) break;
            text[count++] = unit;
        }
        text[count] = 0;
        return;
    }
    AnsiToWide(reinterpret_cast<const char*>(bytes), text, kTextCapacity);
}

static bool IsValueStop(char16_t c) { return c == u'(' || c == u'=' || c == u'\r' || c == u'\n'; }

// The display name, or false when the file offers none.
static bool FindLanguageName(char16_t* text) {
    if (text[0] != u'[') return false;
    int32_t found = FindText(text, u"Language");
    if (found < 0) return false;
    // "Language" at the very end has no '=' and no value behind it.
    if (!text[found + kValueSkip - 1]) return false;
    char16_t* value = text + found + kValueSkip;
    int32_t end = 0;
    while (value[end] && !IsValueStop(value[end])) ++end;
    value[end] = 0;
    TrimTrailingSpaces(value);
    if (!value[0]) return false;
    // Move the name to the front so the caller finds it in text.
    memmove(text, value, (TextLength(value) + 1) * sizeof(char16_t));
    return true;
}

// "PROGRAM_de.LNG" -> "DE": the two characters six before the end. False
// when they are not plain letters or digits: the clean-up of unticked
// languages puts the code into a search pattern, where "??" or "*X" would
// match the files of every language.
static bool CodeFromName(const char16_t* name, LanguageCode* code) {
    int32_t length = TextLength(name);
    char16_t letters[3] = {name[length - 6], name[length - 5], 0};
    char bytes[3];
    WideToAnsi(letters, bytes, sizeof bytes);
    int32_t count = TextLengthA(bytes);
    for (int32_t i = 0; i < count; ++i)
        if (bytes[i] >= 'a' && bytes[i] <= 'z') bytes[i] = static_cast<char>(bytes[i] - 32);
    if (!IsPlainLanguageCode(bytes)) return false;
    *code = MakeLanguageCode(bytes, count);
    return true;
}

void ReadLanguageFile(const Window* dialog, const uint8_t* data, uint32_t length, const char16_t* name) {
    if (TextLength(name) < 6) return;
    char16_t text[kTextCapacity];
    DecodeLanguageText(data, length, text);
    if (!FindLanguageName(text)) return;
    Window list;
    if (!GetControl(dialog, kIdLanguageList, &list)) return;
    LanguageCode code;
    if (!CodeFromName(name, &code)) return;
    // An existing row keeps its name: a package cannot rename English or German.
    if (FindLanguageRow(&list, code) >= 0) return;
    AddLanguageRow(&list, text, code);
}
