// The system's default language, which tests may override. Apart from the
// rest of the control layer, so that a program that only wants the language
// (the uninstaller) carries none of it.
#include "ui/window.h"
#include "ui/window_platform.h"

static uint16_t sLanguageOverride = 0;

void SetDefaultLanguageOverride(uint16_t languageId) {
    sLanguageOverride = languageId;
}

uint16_t SystemDefaultLanguage() {
    return sLanguageOverride ? sLanguageOverride : PlatformDefaultLanguage();
}
