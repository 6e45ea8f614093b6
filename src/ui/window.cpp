// The dispatching side of the control layer: guards against absent windows,
// then the backend that owns the window does the work.
#include "ui/window.h"

#include "common/activity_log.h"
#include "ui/window_platform.h"

static Window sCurrentDialog;
static bool sHasCurrentDialog = false;

static void ClearText(char16_t* text, int32_t capacity) {
    if (text && capacity > 0) text[0] = 0;
}

static void ClearTextA(char* text, int32_t capacity) {
    if (text && capacity > 0) text[0] = 0;
}

bool IsWindowPresent(const Window* window) {
    return window && window->ops && window->handle;
}

bool GetControl(const Window* dialog, int32_t id, Window* control) {
    if (!control) return false;
    control->ops = nullptr;
    control->handle = nullptr;
    if (!IsWindowPresent(dialog)) return false;
    return dialog->ops->child(dialog->handle, id, control) && IsWindowPresent(control);
}

void GetWindowCaption(const Window* window, char16_t* text, int32_t capacity) {
    ClearText(text, capacity);
    if (!IsWindowPresent(window) || !text || capacity <= 0) return;
    window->ops->getText(window->handle, text, capacity);
    text[capacity - 1] = 0;
}

void SetWindowCaption(const Window* window, const char16_t* text) {
    if (!IsWindowPresent(window)) return;
    window->ops->setText(window->handle, text ? text : u"");
}

void GetWindowCaptionA(const Window* window, char* text, int32_t capacity) {
    ClearTextA(text, capacity);
    if (!IsWindowPresent(window) || !text || capacity <= 0) return;
    window->ops->getTextA(window->handle, text, capacity);
    text[capacity - 1] = 0;
}

void SetWindowCaptionA(const Window* window, const char* text) {
    if (!IsWindowPresent(window)) return;
    window->ops->setTextA(window->handle, text ? text : "");
}

void GetItemText(const Window* dialog, int32_t id, char16_t* text, int32_t capacity) {
    ClearText(text, capacity);
    if (!IsWindowPresent(dialog) || !text || capacity <= 0) return;
    dialog->ops->getItemText(dialog->handle, id, text, capacity);
    text[capacity - 1] = 0;
}

void SetItemText(const Window* dialog, int32_t id, const char16_t* text) {
    if (!IsWindowPresent(dialog)) return;
    dialog->ops->setItemText(dialog->handle, id, text ? text : u"");
}

void SetItemTextA(const Window* dialog, int32_t id, const char* text) {
    if (!IsWindowPresent(dialog)) return;
    dialog->ops->setItemTextA(dialog->handle, id, text ? text : "");
}

bool IsItemChecked(const Window* dialog, int32_t id) {
    if (!IsWindowPresent(dialog)) return false;
    return dialog->ops->isItemChecked(dialog->handle, id);
}

void CheckItem(const Window* dialog, int32_t id, bool ticked) {
    if (!IsWindowPresent(dialog)) return;
    dialog->ops->checkItem(dialog->handle, id, ticked);
}

void HideItem(const Window* dialog, int32_t id) {
    if (!IsWindowPresent(dialog)) return;
    dialog->ops->hideItem(dialog->handle, id);
}

void ShowItem(const Window* dialog, int32_t id, bool visible) {
    if (!IsWindowPresent(dialog)) return;
    dialog->ops->showItem(dialog->handle, id, visible);
}

void EnableItem(const Window* dialog, int32_t id, bool enabled) {
    if (!IsWindowPresent(dialog)) return;
    dialog->ops->enableItem(dialog->handle, id, enabled);
}

void SetItemProgress(const Window* dialog, int32_t id, int32_t position) {
    if (!IsWindowPresent(dialog)) return;
    dialog->ops->setProgress(dialog->handle, id, position);
}

void KeepAnswering(const Window* dialog) {
    if (!IsWindowPresent(dialog)) return;
    dialog->ops->keepAnswering(dialog->handle);
}

void SetTitleFont(const Window* dialog, int32_t id) {
    if (!IsWindowPresent(dialog)) return;
    dialog->ops->setTitleFont(dialog->handle, id);
}

static bool sBoxesQuiet = false;

void SetBoxesQuiet(bool quiet) { sBoxesQuiet = quiet; }

int32_t ShowMessageBox(const Window* owner, const char16_t* text, const char16_t* title, uint32_t style) {
    if (!text) text = u"";
    if (!title) title = u"";
    if (sBoxesQuiet) {
        NoteActivity(nullptr, text);
        return kIdOkResult;
    }
    if (!IsWindowPresent(owner)) owner = CurrentDialog();
    if (!IsWindowPresent(owner)) return PlatformMessageBox(text, title, style);
    return owner->ops->messageBox(owner->handle, text, title, style);
}

int32_t ListRowCount(const Window* list) {
    if (!IsWindowPresent(list)) return 0;
    return list->ops->rowCount(list->handle);
}

int32_t ListInsertRow(const Window* list, int32_t index, const char16_t* text, uint32_t data) {
    if (!IsWindowPresent(list)) return -1;
    return list->ops->insertRow(list->handle, index, text ? text : u"", data);
}

int32_t ListFindData(const Window* list, uint32_t data) {
    if (!IsWindowPresent(list)) return -1;
    return list->ops->findData(list->handle, data);
}

bool ListGetRow(const Window* list, int32_t index, char16_t* text, int32_t capacity, uint32_t* data) {
    ClearText(text, capacity);
    if (data) *data = 0;
    if (!IsWindowPresent(list) || !text || capacity <= 0 || !data) return false;
    bool found = list->ops->getRow(list->handle, index, text, capacity, data);
    text[capacity - 1] = 0;
    return found;
}

uint32_t ListGetState(const Window* list, int32_t index, uint32_t mask) {
    if (!IsWindowPresent(list)) return 0;
    return list->ops->getState(list->handle, index, mask) & mask;
}

void ListSetState(const Window* list, int32_t index, uint32_t state, uint32_t mask) {
    if (!IsWindowPresent(list)) return;
    list->ops->setState(list->handle, index, state, mask);
}

void ListInsertColumn(const Window* list, int32_t index, int32_t format, int32_t width, const char16_t* text) {
    if (!IsWindowPresent(list)) return;
    list->ops->insertColumn(list->handle, index, format, width, text ? text : u"");
}

void ListSetColumnText(const Window* list, int32_t index, const char16_t* text) {
    if (!IsWindowPresent(list)) return;
    list->ops->setColumnText(list->handle, index, text ? text : u"");
}

int32_t ListClientWidth(const Window* list) {
    if (!IsWindowPresent(list)) return 0;
    return list->ops->clientWidth(list->handle);
}

void ListSetExtendedStyle(const Window* list, uint32_t style) {
    if (!IsWindowPresent(list)) return;
    list->ops->setExtendedStyle(list->handle, style);
}

const Window* CurrentDialog() {
    return sHasCurrentDialog ? &sCurrentDialog : nullptr;
}

void SetCurrentDialog(const Window* dialog) {
    sHasCurrentDialog = IsWindowPresent(dialog);
    if (sHasCurrentDialog) sCurrentDialog = *dialog;
}

int32_t VerticalScrollBarWidth() {
    return PlatformScrollBarWidth();
}

void* ShowWaitCursor() {
    return PlatformShowWaitCursor();
}

void RestoreCursor(void* previous) {
    PlatformRestoreCursor(previous);
}

bool IsWaitCursorShown() {
    return PlatformIsWaitCursorShown();
}

void FailCriticalErrorsQuietly() {
    PlatformFailCriticalErrorsQuietly();
}
