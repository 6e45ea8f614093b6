// Choosing the process's text table and putting texts on a dialog. A file of
// its own: only what chooses a table pulls in the built-in tables and the
// control layer, so the uninstaller, which has texts and boxes of its own,
// carries neither.
#include "ui/texts.h"

#include "common/text.h"
#include "state/state.h"
#include "ui/window.h"

enum : int32_t { kDialogTextCapacity = 1024 };

void SelectTextTable() {
    if (!gState) return;
    gState->textTable = TextTableList[0];
    if (!gState->languageCode[0]) GetLanguageCode(gState->languageCode);
    for (const TextTable* const* table = TextTableList; *table; ++table) {
        if (!EqualsIgnoreCaseA((*table)->languageCode, gState->languageCode)) continue;
        gState->textTable = *table;
        return;
    }
}

void ApplyDialogTexts(const Window* window, const TextTable* table, const int16_t* ids) {
    if (!ids || !table) return;
    char16_t text[kDialogTextCapacity];
    if (ids[0] != 0) {
        LookupText(table, ids[0], text, kDialogTextCapacity - 1);
        SetWindowCaption(window, text);
    }
    for (const int16_t* id = ids + 1; *id != 0; ++id) {
        LookupText(table, *id, text, kDialogTextCapacity - 1);
        SetItemText(window, *id, text);
    }
}

void ApplyCurrentTexts(const Window* window, const int16_t* ids) {
    ApplyDialogTexts(window, gState ? gState->textTable : nullptr, ids);
}
