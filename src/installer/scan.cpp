// The scan pass: reads the package once, writes nothing, and learns from it
// what the dialog shows before anything is installed.
#include "installer/scan.h"

#include "common/path.h"
#include "common/text.h"
#include "state/state.h"
#include "ui/language_list.h"
#include "ui/texts.h"
#include "ui/window.h"

enum : int32_t {
    kRowNameCapacity = 31,
    kLanguageTail = 7  // "_", two code letters and ".LNG"
};

void AddDefaultLanguageRows(const Window* list) {
    char16_t text[kRowNameCapacity];
    LookupText(gState->textTable, kTextEnglish, text, kRowNameCapacity);
    AddLanguageRow(list, text, kCodeUS);
    LookupText(gState->textTable, kTextGerman, text, kRowNameCapacity);
    AddLanguageRow(list, text, kCodeDE);
}

// The first language file met names the common base of all of them; the
// placement and the clean-up only ever use its length.
static void NoteLanguagePrefix(const char16_t* name) {
    char16_t* prefix = gState->languagePrefix;
    if (prefix[0]) return;
    const int32_t capacity = static_cast<int32_t>(sizeof gState->languagePrefix / sizeof prefix[0]);
    AppendText(name + FileNamePosition(name), prefix, capacity);
    int32_t length = TextLength(prefix);
    if (length > kLanguageTail) prefix[length - kLanguageTail] = 0;
}

// Only the first separator counts, and only a two-character top folder.
static void NotePlatformFolder(const char16_t* name) {
    int32_t separator = 0;
    while (name[separator] && !IsSeparator(name[separator])) ++separator;
    if (!name[separator] || separator != 2) return;
    if (name[0] == u'3' && name[1] == u'2') gState->platformFlags |= kPlatform32;
    if (name[0] == u'6' && name[1] == u'4') gState->platformFlags |= kPlatform64;
}

int32_t ScanFileCallback(char16_t* name, const uint8_t* data, uint32_t length, void* context) {
    if (!data) return 0;
    const Window* dialog = static_cast<const Window*>(context);
    if (TextLength(name) > 6) {
        // The whole name is compared, so a description inside a folder is just a file.
        if (EqualsIgnoreCase(name, u"FILE_ID.DIZ")) {
            ReadProductDescription(dialog, data, length);
        } else if (EndsWithIgnoreCase(name, u".LNG")) {
            NoteLanguagePrefix(name);
            ReadLanguageFile(dialog, data, length, name);
        }
    }
    NotePlatformFolder(name);
    return 0;
}
