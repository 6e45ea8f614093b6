// The uninstaller's own texts, in the setup's three languages.
#pragma once
#include <stdint.h>

struct TextTable;

enum : int16_t {
    kTextUninstallTitle = 1,
    kTextUninstallQuestion = 2,  // %1 the product, %2 the folder
    kTextUninstallDone = 3,      // %1 the product
    kTextUninstallKept = 4,
    kTextReasonChanged = 5,
    kTextReasonInUse = 6,
    kTextListDamaged = 7,
    kTextReasonNotListed = 8,   // a user's file or folder: no list names it
    kTextReasonListIgnored = 9, // a kept list that is damaged or another product's
    kTextFolderStays = 10       // %1 the folder
};

// The table for a language code ("US", "DE", "IT", any letter case), chosen as
// the setup chooses its own; the English one for any other code.
const TextTable* UninstallTextTable(const char* languageCode);

// The text with %1 and %2 replaced by first and second, cut to capacity.
void FormatUninstallText(const TextTable* table, int16_t id, const char16_t* first, const char16_t* second,
                         char16_t* out, int32_t capacity);
