// Choosing the text table, looking texts up and putting them on a dialog.
#include "ui/texts.h"

#include "common/text.h"
#include "state/state.h"
#include "ui/window.h"
#include "common/codepage.h"


// Only these exact language ids: other German or Italian variants get English.
static const uint16_t kGermanLanguageIds[] = {0x0407, 0x0807, 0x0C07, 0x1007, 0x1407};
static const uint16_t kItalianLanguageIds[] = {0x0410, 0x0810};

static bool IsOneOf(uint16_t id, const uint16_t* ids, int32_t count) {
    for (int32_t i = 0; i < count; ++i)
        if (ids[i] == id) return true;
    return false;
}

void GetLanguageCode(char* destination) {
    if (!destination) return;
    uint16_t id = SystemDefaultLanguage();
    const char* code = "US";
    if (IsOneOf(id, kGermanLanguageIds, 5)) code = "DE";
    if (IsOneOf(id, kItalianLanguageIds, 2)) code = "IT";
    destination[0] = code[0];
    destination[1] = code[1];
    destination[2] = 0;
}

static const TextRow* FindRow(const TextTable* table, int16_t id) {
    const TextRow* row = table->rows;
    while (row->id != 0 && row->id != id) ++row;
    return row;
}

void LookupText(const TextTable* table, int16_t id, char16_t* destination, int32_t capacity) {
    // A capacity of 0 leaves no place even for the terminator: nothing is written.
    if (!destination || capacity <= 0) return;
    destination[0] = 0;
    if (!table || !table->rows) return;
    int32_t n = capacity - 1;
    const TextRow* row = FindRow(table, id);
    if (!row->text) return;
    if (table->kind == -1)
        CopyTextLimited(reinterpret_cast<const char16_t*>(row->text), destination, n);
    else
        AnsiToWide(row->text, destination, n);
    destination[n] = 0;
    ReplaceTabEscapes(destination);
}
