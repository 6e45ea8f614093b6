// UnInst.exe: removes what the setup installed beside it, as UnInst.lst says.
// "/S" runs without any window; "/finish ..." is the helper copy that removes
// the program's own file after it has ended.
#include <windows.h>
#include <ole2.h>

#include "common/dll_search.h"
#include "common/path.h"
#include "common/text.h"
#include "common/wide.h"
#include "ui/texts.h"
#include "uninstall/finish.h"
#include "uninstall/uninstall.h"
#include "uninstall/uninstall_texts.h"

static bool AskYesNo(void*, const char16_t* question, const char16_t* title) {
    return MessageBoxW(nullptr, as_wcstr(question), as_wcstr(title), MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND) ==
           IDYES;
}

static void TellUser(void*, const char16_t* text, const char16_t* title, bool problem) {
    MessageBoxW(nullptr, as_wcstr(text), as_wcstr(title),
                MB_OK | MB_SETFOREGROUND | (problem ? MB_ICONWARNING : MB_ICONINFORMATION));
}

static const char16_t* SkipSpaces(const char16_t* text) {
    while (*text == u' ' || *text == u'\t') ++text;
    return text;
}

// True when the next word is option (ASCII case ignored); text then points behind it.
static bool TakeOption(const char16_t** text, const char16_t* option) {
    const char16_t* p = SkipSpaces(*text);
    int32_t n = TextLength(option);
    for (int32_t i = 0; i < n; ++i)
        if (AsciiUpper(p[i]) != AsciiUpper(option[i])) return false;
    if (p[n] && p[n] != u' ' && p[n] != u'\t') return false;
    *text = SkipSpaces(p + n);
    return true;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    // Before anything loads a DLL, the helper copy too (see common/dll_search.h).
    LimitDllSearchToSystem();
    const char16_t* arguments = as_u16(commandLine ? commandLine : L"");
    if (TakeOption(&arguments, u"/finish")) return RunFinishHelper(arguments);
    bool silent = TakeOption(&arguments, u"/S");
    OleInitialize(nullptr);
    char languageCode[8] = "";
    GetLanguageCode(languageCode);
    char16_t program[kPathCapacity] = u"";
    DWORD n = GetModuleFileNameW(nullptr, as_wcstr(program), kPathCapacity);
    bool known = n > 0 && n < kPathCapacity;
    // The long form, as the setup wrote it into the registry: a short (8.3) name
    // would match neither the uninstall entry nor the system's folders.
    char16_t longForm[kPathCapacity];
    DWORD m = known ? GetLongPathNameW(as_wcstr(program), as_wcstr(longForm), kPathCapacity) : 0;
    if (m > 0 && m < kPathCapacity) CopyText(longForm, program, kPathCapacity);
    int32_t result = kUninstallNothing;
    if (known) {
        UninstallRequest request = {program, UninstallTextTable(languageCode), silent, {AskYesNo, TellUser, nullptr}};
        result = RunUninstall(&request);
    }
    OleUninitialize();
    return result;
}
