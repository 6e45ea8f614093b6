// The message boxes through which the installer reports results and errors.
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "state/state.h"
#include "ui/error_text.h"
#include "ui/texts.h"
#include "ui/window.h"

enum : int32_t { kMessageCapacity = 512 };

int32_t ShowMessage(const Window* owner, const char16_t* text, const char16_t* titlePath, uint32_t style) {
    if (!text || !text[0]) return kIdCancelResult;
    // Callers always pass a title path; an absent one is taken as empty.
    if (!titlePath) titlePath = u"";
    const char16_t* title = titlePath + FileNamePosition(titlePath);
    if (!title[0]) title = titlePath;
    return ShowMessageBox(owner, text, title, style);
}

int32_t ShowTextMessage(const Window* owner, int16_t id, const char16_t* titlePath, uint32_t style) {
    char16_t text[kMessageCapacity];
    LookupText(gState ? gState->textTable : nullptr, id, text, kMessageCapacity - 2);
    return ShowMessage(owner, text, titlePath, style);
}

void GetSystemErrorText(uint32_t code, char16_t* destination, int32_t capacity) {
    if (!destination || capacity <= 0) return;
    int32_t n = capacity - 1;
    destination[0] = 0;
    destination[n] = 0;
    AppendSystemErrorText(code, destination, n);
}

int32_t ShowSystemError(const Window* owner, uint32_t code, const char16_t* titlePath) {
    char16_t text[kMessageCapacity] = {};
    if (code == 0) code = LastErrorOr(0);
    if (code == 0) return 0;
    GetSystemErrorText(code, text, kMessageCapacity);
    if (!text[0]) return kIdCancelResult;
    return ShowMessage(owner, text, titlePath ? titlePath : u"", kMbIconError);
}
