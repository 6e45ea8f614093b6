// The control layer: how the logic reaches the dialog and its controls. A
// Window is either a real Win32 window (the Windows program) or an element of
// the portable in-memory dialog model (tests and `mksetup install`); the ops
// table says which. Dialog-level helpers below take the dialog and a control id.
#pragma once
#include <stdint.h>

struct WindowOps;

struct Window {
    const WindowOps* ops;
    void* handle;  // HWND, or the model's element; nullptr = no window
};

// Control ids of the main dialog that the logic uses.
enum : int32_t {
    kIdInstall = 99,
    kIdCancel = 2,
    kIdTitle = 1001,
    kIdPlatformLine = 1002,
    kIdLanguageList = 1010,
    kIdDestinationLabel = 1031,
    kIdDestination = 1032,
    kIdBrowse = 1033,
    kIdStartMenu = 1041,
    kIdDesktop = 1042,
    kIdQuickLaunch = 1043,
    kIdStatus = 1047,
    kIdProgress = 1048
};

// Message box styles and results.
enum : uint32_t { kMbIconError = 0x10, kMbIconInformation = 0x40 };
enum : int32_t { kIdOkResult = 1, kIdCancelResult = 2 };

bool IsWindowPresent(const Window* window);
// The child control with that id (GetDlgItem); false when there is none.
bool GetControl(const Window* dialog, int32_t id, Window* control);

// A window's own text: the caption of a dialog, the text of a control. The
// readers always leave their buffer terminated (empty when there is no window).
void GetWindowCaption(const Window* window, char16_t* text, int32_t capacity);
void SetWindowCaption(const Window* window, const char16_t* text);
void GetWindowCaptionA(const Window* window, char* text, int32_t capacity);
void SetWindowCaptionA(const Window* window, const char* text);

// Controls of a dialog by id (GetDlgItemTextW, SetDlgItemTextW/A and friends).
// A missing control reads as empty and unticked, and ignores what it is told.
void GetItemText(const Window* dialog, int32_t id, char16_t* text, int32_t capacity);
void SetItemText(const Window* dialog, int32_t id, const char16_t* text);
void SetItemTextA(const Window* dialog, int32_t id, const char* text);
bool IsItemChecked(const Window* dialog, int32_t id);  // IsDlgButtonChecked == 1
void CheckItem(const Window* dialog, int32_t id, bool ticked);
void HideItem(const Window* dialog, int32_t id);
void ShowItem(const Window* dialog, int32_t id, bool visible);
void EnableItem(const Window* dialog, int32_t id, bool enabled);  // EnableWindow
// A progress bar's position, 0 to kProgressRange (ui/progress.h).
void SetItemProgress(const Window* dialog, int32_t id, int32_t position);
// Handles the messages waiting for the dialog's thread (painting, timers, the
// system's own), so that a long piece of work on that thread never leaves the
// window unanswered. Away from Windows there are none.
void KeepAnswering(const Window* dialog);
// The 18-point title font of the product description, on the control with that id.
void SetTitleFont(const Window* dialog, int32_t id);

// MessageBoxW. With no owner the current dialog is taken (GetActiveWindow
// when there is none: a real box on Windows, standard error and OK elsewhere).
int32_t ShowMessageBox(const Window* owner, const char16_t* text, const char16_t* title, uint32_t style);
// While quiet, no box is shown: its text goes to the activity log
// (common/activity_log.h) and it is answered with OK.
void SetBoxesQuiet(bool quiet);

// List view primitives behind the language list (a report list sorted by text,
// one item-data value and one state per row).
int32_t ListRowCount(const Window* list);
// Answers the index where the row landed (the list keeps its text order), or -1.
int32_t ListInsertRow(const Window* list, int32_t index, const char16_t* text, uint32_t data);
// The first row from the start whose item data equals data, or -1.
int32_t ListFindData(const Window* list, uint32_t data);
bool ListGetRow(const Window* list, int32_t index, char16_t* text, int32_t capacity, uint32_t* data);
uint32_t ListGetState(const Window* list, int32_t index, uint32_t mask);
void ListSetState(const Window* list, int32_t index, uint32_t state, uint32_t mask);  // index -1: all rows
void ListInsertColumn(const Window* list, int32_t index, int32_t format, int32_t width, const char16_t* text);
void ListSetColumnText(const Window* list, int32_t index, const char16_t* text);
int32_t ListClientWidth(const Window* list);
void ListSetExtendedStyle(const Window* list, uint32_t style);

// Process-wide user-interface services.
const Window* CurrentDialog();
void SetCurrentDialog(const Window* dialog);  // a copy is kept; nullptr forgets it
void SetDefaultLanguageOverride(uint16_t languageId);  // 0 = the system's
uint16_t SystemDefaultLanguage();  // GetSystemDefaultLangID, unless overridden
int32_t VerticalScrollBarWidth();  // GetSystemMetrics(SM_CXVSCROLL)
void* ShowWaitCursor();            // answers the previous cursor
void RestoreCursor(void* previous);
bool IsWaitCursorShown();
void FailCriticalErrorsQuietly();  // SetErrorMode(SEM_FAILCRITICALERRORS) on Windows

// Each backend fills one of these. Window-level entries act on the handle
// itself; item entries act on the dialog's control with that id.
struct WindowOps {
    bool (*child)(void* dialog, int32_t id, Window* control);
    void (*getText)(void* handle, char16_t* text, int32_t capacity);
    void (*setText)(void* handle, const char16_t* text);
    void (*getTextA)(void* handle, char* text, int32_t capacity);
    void (*setTextA)(void* handle, const char* text);
    void (*getItemText)(void* dialog, int32_t id, char16_t* text, int32_t capacity);
    void (*setItemText)(void* dialog, int32_t id, const char16_t* text);
    void (*setItemTextA)(void* dialog, int32_t id, const char* text);
    bool (*isItemChecked)(void* dialog, int32_t id);
    void (*checkItem)(void* dialog, int32_t id, bool ticked);
    void (*hideItem)(void* dialog, int32_t id);
    void (*showItem)(void* dialog, int32_t id, bool visible);
    void (*enableItem)(void* dialog, int32_t id, bool enabled);
    void (*setProgress)(void* dialog, int32_t id, int32_t position);
    void (*keepAnswering)(void* dialog);
    void (*setTitleFont)(void* dialog, int32_t id);
    int32_t (*messageBox)(void* owner, const char16_t* text, const char16_t* title, uint32_t style);
    int32_t (*rowCount)(void* list);
    int32_t (*insertRow)(void* list, int32_t index, const char16_t* text, uint32_t data);
    int32_t (*findData)(void* list, uint32_t data);
    bool (*getRow)(void* list, int32_t index, char16_t* text, int32_t capacity, uint32_t* data);
    uint32_t (*getState)(void* list, int32_t index, uint32_t mask);
    void (*setState)(void* list, int32_t index, uint32_t state, uint32_t mask);
    void (*insertColumn)(void* list, int32_t index, int32_t format, int32_t width, const char16_t* text);
    void (*setColumnText)(void* list, int32_t index, const char16_t* text);
    int32_t (*clientWidth)(void* list);
    void (*setExtendedStyle)(void* list, uint32_t style);
};
