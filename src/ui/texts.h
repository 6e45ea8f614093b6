// Built-in user-interface texts (English, German, Italian) and the message boxes.
#pragma once
#include <stdint.h>

struct Window;

struct TextRow {
    int16_t id;
    const char* text;  // Windows-1252 (or UTF-16 when the table's kind is -1)
};

struct TextTable {
    int16_t kind;             // -1: wide texts; anything else: ANSI texts
    const char* languageCode; // two upper-case letters
    const TextRow* rows;      // ended by a row with id 0 and no text
};

// "US", "DE", "IT", then nullptr.
extern const TextTable* const TextTableList[];

// Id lists, each ended by 0.
extern const int16_t kDialogTextIds[];  // 1000, 99, 2, 1031, 1041, 1042, 1043, 0
extern const int16_t kListMenuIds[];    // 136, 137, 138, 0

enum : int16_t {
    kTextCaption = 1000,
    kTextLanguageHeader = 1010,
    kTextEnglish = 2001,
    kTextGerman = 2002,
    kTextInstalled = 3000,
    kTextBrokenFile = 3001,
    kTextNotInstalled = 3002,
    kTextChecking = 3003,
    kTextSelectAll = 136,
    kTextDeselectAll = 137,
    kTextInvert = 138
};

void GetLanguageCode(char* destination);
void SelectTextTable();
void LookupText(const TextTable* table, int16_t id, char16_t* destination, int32_t capacity);
void ApplyDialogTexts(const Window* window, const TextTable* table, const int16_t* ids);
void ApplyCurrentTexts(const Window* window, const int16_t* ids);

int32_t ShowMessage(const Window* owner, const char16_t* text, const char16_t* titlePath, uint32_t style);
int32_t ShowTextMessage(const Window* owner, int16_t id, const char16_t* titlePath, uint32_t style);
void GetSystemErrorText(uint32_t code, char16_t* destination, int32_t capacity);
int32_t ShowSystemError(const Window* owner, uint32_t code, const char16_t* titlePath);
