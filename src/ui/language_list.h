// The language list: one row per language, its LanguageCode as item data and a
// check box as state image (1 unticked, 2 ticked), sorted by text.
#pragma once
#include <stdint.h>

struct Window;

// A language code's letters from the lowest byte up: "US" = 0x5355, "DE" = 0x4544.
typedef uint32_t LanguageCode;

enum : uint32_t {
    kCodeUS = 0x5355,
    kCodeDE = 0x4544,
    kRowUnticked = 1,
    kRowTicked = 2,
    kStateImageMask = 0xF000,
    kListExtendedStyle = 0x424
};

struct ListColumn {
    int16_t textId;
    int32_t width;   // negative: fill the remaining width
    int32_t format;  // lowest two bits used
};

extern const ListColumn kLanguageColumns[];  // { 1010, -1, 0 }, then the end entry

LanguageCode MakeLanguageCode(const char* letters, int32_t count);
// True for a non-empty code of ASCII letters and digits only: nothing that a
// file search pattern would take for a wildcard or a separator.
bool IsPlainLanguageCode(const char* letters);
// The code's letters as text (at most 4 characters), into at least 5 bytes.
void LanguageCodeText(LanguageCode code, char* text);

void InsertListColumns(const Window* list, const ListColumn* table);
void SetListColumnTexts(const Window* list, const ListColumn* table);
void AddLanguageRow(const Window* list, const char16_t* text, LanguageCode code);
int32_t FindLanguageRow(const Window* list, LanguageCode code);
LanguageCode GetRowCode(const Window* list, int32_t index);
uint32_t GetRowCheck(const Window* list, int32_t index);
void SetRowCheck(const Window* list, int32_t index, uint32_t stateImage);
void CheckAllRows(const Window* list);
void UncheckAllRows(const Window* list);
void InvertRowChecks(const Window* list);
int32_t GetRowCount(const Window* list);
// Ticks the rows of exactly these codes and unticks the rest. Answers the
// index in codes of the first one no row has, changing nothing then; -1 when
// every code has its row.
int32_t TickExactlyLanguages(const Window* list, const LanguageCode* codes, int32_t count);
