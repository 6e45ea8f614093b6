// What each platform backend of the control layer provides beyond its window
// ops: the services that belong to the process rather than to one window.
// Included by window.cpp and the two backends only.
#pragma once
#include <stdint.h>

uint16_t PlatformDefaultLanguage();
int32_t PlatformScrollBarWidth();
void* PlatformShowWaitCursor();
void PlatformRestoreCursor(void* previous);
bool PlatformIsWaitCursorShown();
void PlatformFailCriticalErrorsQuietly();
// A box with no window of ours to own it.
int32_t PlatformMessageBox(const char16_t* text, const char16_t* title, uint32_t style);
