#include "common/activity_log.h"

#include "common/text.h"

enum : int32_t { kActivityLineCapacity = 2048 };

static ActivityListener sListener = nullptr;
static void* sContext = nullptr;

void SetActivityListener(ActivityListener listener, void* context) {
    sListener = listener;
    sContext = context;
}

void NoteActivity(const char16_t* prefix, const char16_t* text) {
    if (!sListener) return;
    char16_t line[kActivityLineCapacity];
    line[0] = 0;
    if (prefix) AppendText(prefix, line, kActivityLineCapacity);
    if (text) AppendText(text, line, kActivityLineCapacity);
    sListener(line, sContext);
}
