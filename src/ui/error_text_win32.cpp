#include <windows.h>

#include "common/text.h"
#include "common/wide.h"
#include "ui/error_text.h"

// LANG_USER_DEFAULT: neutral language, default sublanguage.
static const DWORD kUserDefaultLanguage = 0x0400;

void AppendSystemErrorText(uint32_t code, char16_t* destination, int32_t capacity) {
    wchar_t* text = nullptr;
    // No insert arguments exist here: a text with %1 in it must come back as
    // written rather than be expanded from arguments that are not there.
    DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    DWORD length = FormatMessageW(flags, nullptr, code, kUserDefaultLanguage, reinterpret_cast<wchar_t*>(&text), 0,
                                  nullptr);
    if (length == 0 || !text) return;
    AppendText(as_u16(text), destination, capacity);
    LocalFree(text);
}
