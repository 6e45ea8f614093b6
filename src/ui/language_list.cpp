// The language list: columns, rows known by their LanguageCode, and the check
// boxes, which are the rows' state images (1 unticked, 2 ticked).
#include "ui/language_list.h"

#include "state/state.h"
#include "ui/texts.h"
#include "ui/window.h"

enum : int32_t {
    kHeaderTextCapacity = 63,
    kRowTextCapacity = 1024,
    kMinimumFillWidth = 100,
    kScrollBarAllowance = 4,
    kStateImageShift = 12
};

const ListColumn kLanguageColumns[] = {{1010, -1, 0}, {0, 0, 0}};

LanguageCode MakeLanguageCode(const char* letters, int32_t count) {
    LanguageCode code = 0;
    if (!letters) return 0;
    for (int32_t i = 0; i < count && i < 4 && letters[i]; ++i)
        code |= static_cast<LanguageCode>(static_cast<unsigned char>(letters[i])) << (8 * i);
    return code;
}

bool IsPlainLanguageCode(const char* letters) {
    if (!letters || !letters[0]) return false;
    for (const char* c = letters; *c; ++c) {
        bool letter = (*c >= 'A' && *c <= 'Z') || (*c >= 'a' && *c <= 'z');
        if (!letter && !(*c >= '0' && *c <= '9')) return false;
    }
    return true;
}

void LanguageCodeText(LanguageCode code, char* text) {
    if (!text) return;
    int32_t i = 0;
    for (; i < 4; ++i) {
        char letter = static_cast<char>((code >> (8 * i)) & 0xFF);
        if (!letter) break;
        text[i] = letter;
    }
    text[i] = 0;
}

static int32_t SumOfFixedWidths(const ListColumn* table) {
    int32_t sum = 0;
    for (const ListColumn* column = table; column->textId != 0; ++column)
        if (column->width > 0) sum += column->width;
    return sum;
}

static int32_t FillWidth(const Window* list, const ListColumn* table) {
    int32_t width = ListClientWidth(list) - SumOfFixedWidths(table) - (VerticalScrollBarWidth() + kScrollBarAllowance);
    return width < kMinimumFillWidth ? kMinimumFillWidth : width;
}

void InsertListColumns(const Window* list, const ListColumn* table) {
    if (!table) return;
    int32_t index = 0;
    for (const ListColumn* column = table; column->textId != 0; ++column, ++index) {
        int32_t width = column->width < 0 ? FillWidth(list, table) : column->width;
        ListInsertColumn(list, index, column->format & 3, width, u"");
    }
}

void SetListColumnTexts(const Window* list, const ListColumn* table) {
    if (!table) return;
    const TextTable* texts = gState ? gState->textTable : nullptr;
    int32_t index = 0;
    for (const ListColumn* column = table; column->textId != 0; ++column, ++index) {
        char16_t text[kHeaderTextCapacity];
        LookupText(texts, column->textId, text, kHeaderTextCapacity);
        ListSetColumnText(list, index, text);
    }
}

void AddLanguageRow(const Window* list, const char16_t* text, LanguageCode code) {
    int32_t landed = ListInsertRow(list, ListRowCount(list), text, code);
    // A refused row must not be taken for "every row" (index -1).
    if (landed < 0) return;
    SetRowCheck(list, landed, kRowTicked);
}

int32_t FindLanguageRow(const Window* list, LanguageCode code) {
    return ListFindData(list, code);
}

LanguageCode GetRowCode(const Window* list, int32_t index) {
    char16_t text[kRowTextCapacity];
    uint32_t data = 0;
    if (!ListGetRow(list, index, text, kRowTextCapacity, &data)) return 0;
    return data;
}

uint32_t GetRowCheck(const Window* list, int32_t index) {
    return (ListGetState(list, index, kStateImageMask) & kStateImageMask) >> kStateImageShift;
}

void SetRowCheck(const Window* list, int32_t index, uint32_t stateImage) {
    ListSetState(list, index, (stateImage << kStateImageShift) & kStateImageMask, kStateImageMask);
}

void CheckAllRows(const Window* list) {
    ListSetState(list, -1, kRowTicked << kStateImageShift, kStateImageMask);
}

void UncheckAllRows(const Window* list) {
    ListSetState(list, -1, kRowUnticked << kStateImageShift, kStateImageMask);
}

void InvertRowChecks(const Window* list) {
    void* previous = ShowWaitCursor();
    int32_t count = ListRowCount(list);
    for (int32_t row = 0; row < count; ++row)
        SetRowCheck(list, row, GetRowCheck(list, row) == kRowUnticked ? kRowTicked : kRowUnticked);
    RestoreCursor(previous);
}

int32_t GetRowCount(const Window* list) {
    return ListRowCount(list);
}

int32_t TickExactlyLanguages(const Window* list, const LanguageCode* codes, int32_t count) {
    for (int32_t i = 0; i < count; ++i)
        if (FindLanguageRow(list, codes[i]) < 0) return i;
    int32_t rows = ListRowCount(list);
    for (int32_t row = 0; row < rows; ++row) {
        LanguageCode code = GetRowCode(list, row);
        bool wanted = false;
        for (int32_t i = 0; i < count; ++i) wanted = wanted || codes[i] == code;
        SetRowCheck(list, row, wanted ? kRowTicked : kRowUnticked);
    }
    return -1;
}
