// What an installation did, one line at a time: each file placed, each
// registry record, each shortcut, the final message. Nobody listens unless a
// listener is set: mksetup install prints the lines, Setup.exe /LOG= writes
// them to a file.
#pragma once
#include <stdint.h>

typedef void (*ActivityListener)(const char16_t* line, void* context);

// nullptr stops listening.
void SetActivityListener(ActivityListener listener, void* context);
// The line is prefix followed by text (either may be nullptr), cut to 2047 characters.
void NoteActivity(const char16_t* prefix, const char16_t* text);
