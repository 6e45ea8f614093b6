// The process-wide side of the control layer away from Windows: no cursor to
// change and no error mode, a settable language, and boxes on standard error.
#include "ui/message_echo.h"
#include "ui/window.h"
#include "ui/window_platform.h"

enum : uint16_t { kEnglishUnitedStates = 1033 };
enum : int32_t { kClassicScrollBarWidth = 17 };

// The wait cursor is only remembered, so that tests can see it come and go.
static char sWaitCursor;
static void* sCursor = nullptr;

uint16_t PlatformDefaultLanguage() {
    return kEnglishUnitedStates;
}

int32_t PlatformScrollBarWidth() {
    return kClassicScrollBarWidth;
}

void* PlatformShowWaitCursor() {
    void* previous = sCursor;
    sCursor = &sWaitCursor;
    return previous;
}

void PlatformRestoreCursor(void* previous) {
    sCursor = previous;
}

bool PlatformIsWaitCursorShown() {
    return sCursor == &sWaitCursor;
}

void PlatformFailCriticalErrorsQuietly() {}

int32_t PlatformMessageBox(const char16_t* text, const char16_t* title, uint32_t style) {
    EchoMessageBox(text, title, style);
    return kIdOkResult;
}
