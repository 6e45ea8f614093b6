// The dialog's destination and ticks as it opens: the proposed folder, the
// shortcut boxes of a first installation, and an update's installed languages.
#include "installer/install.h"

#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "state/state.h"
#include "system/registry.h"
#include "system/shortcuts.h"
#include "ui/language_list.h"
#include "ui/window.h"
#include "common/codepage.h"

void LanguageFilePath(const char16_t* destination, const char* code, char16_t* out, int32_t capacity) {
    if (!out || capacity <= 0) return;
    out[0] = 0;
    AppendText(destination, out, capacity);
    AddTrailingSeparator(out, capacity);
    AppendText(gState->languagePrefix, out, capacity);
    AppendText(u"_", out, capacity);
    char16_t wideCode[8];
    AnsiToWide(code, wideCode, 8);
    AppendText(wideCode, out, capacity);
    AppendText(u".LNG", out, capacity);
}

// An update keeps only the languages that are there already (besides the two
// built-in ones, whose files the program does not look for).
void MarkInstalledLanguages(const Window* dialog, const char16_t* destination) {
    Window list;
    if (!GetControl(dialog, kIdLanguageList, &list)) return;
    int32_t count = GetRowCount(&list);
    for (int32_t row = 0; row < count; ++row) {
        LanguageCode code = GetRowCode(&list, row);
        if (code == kCodeUS || code == kCodeDE) continue;
        char text[8];
        LanguageCodeText(code, text);
        char16_t path[kPathCapacity];
        LanguageFilePath(destination, text, path, kPathCapacity);
        if (ProbePath(path) != 0) SetRowCheck(&list, row, kRowUnticked);
    }
}

void InitDestination(const Window* dialog) {
    char16_t folder[kPathCapacity];
    GetDefaultInstallFolder(folder, kPathCapacity);
    SetItemText(dialog, kIdDestination, folder);
    if (!HasQuickLaunchFolder()) HideItem(dialog, kIdQuickLaunch);
    if (ProbePath(folder) != 0) {
        // A first installation: offer every shortcut (a hidden Quick Launch box
        // is ticked too; its shortcut then finds no folder and is not made).
        CheckItem(dialog, kIdStartMenu, true);
        CheckItem(dialog, kIdDesktop, true);
        CheckItem(dialog, kIdQuickLaunch, true);
        return;
    }
    MarkInstalledLanguages(dialog, folder);
}
