// The control layer on the real Win32 dialog: thin wrappers over the user32,
// gdi32 and list view calls, nothing more.
#include <windows.h>
#include <commctrl.h>

#include "common/wide.h"
#include "ui/window.h"
#include "ui/window_win32.h"

enum : DWORD { kAnswerEveryMilliseconds = 30 };

static HWND AsHwnd(void* handle) {
    return static_cast<HWND>(handle);
}

static bool Child(void* dialog, int32_t id, Window* control) {
    HWND item = GetDlgItem(AsHwnd(dialog), id);
    *control = Win32Window(item);
    return item != nullptr;
}

static void GetText(void* handle, char16_t* text, int32_t capacity) {
    text[0] = 0;
    GetWindowTextW(AsHwnd(handle), as_wcstr(text), capacity);
}

static void SetText(void* handle, const char16_t* text) {
    SetWindowTextW(AsHwnd(handle), as_wcstr(text));
}

static void GetTextA(void* handle, char* text, int32_t capacity) {
    text[0] = 0;
    GetWindowTextA(AsHwnd(handle), text, capacity);
}

static void SetTextA(void* handle, const char* text) {
    SetWindowTextA(AsHwnd(handle), text);
}

static void GetItemTextW(void* dialog, int32_t id, char16_t* text, int32_t capacity) {
    text[0] = 0;
    GetDlgItemTextW(AsHwnd(dialog), id, as_wcstr(text), capacity);
}

static void SetItemTextW(void* dialog, int32_t id, const char16_t* text) {
    SetDlgItemTextW(AsHwnd(dialog), id, as_wcstr(text));
}

static void SetItemTextNarrow(void* dialog, int32_t id, const char* text) {
    SetDlgItemTextA(AsHwnd(dialog), id, text);
}

static bool IsChecked(void* dialog, int32_t id) {
    return IsDlgButtonChecked(AsHwnd(dialog), id) == BST_CHECKED;
}

static void Check(void* dialog, int32_t id, bool ticked) {
    CheckDlgButton(AsHwnd(dialog), id, ticked ? BST_CHECKED : BST_UNCHECKED);
}

static void Hide(void* dialog, int32_t id) {
    HWND item = GetDlgItem(AsHwnd(dialog), id);
    if (item) ShowWindow(item, SW_HIDE);
}

static void Show(void* dialog, int32_t id, bool visible) {
    HWND item = GetDlgItem(AsHwnd(dialog), id);
    if (item) ShowWindow(item, visible ? SW_SHOWNA : SW_HIDE);
}

static void Enable(void* dialog, int32_t id, bool enabled) {
    HWND item = GetDlgItem(AsHwnd(dialog), id);
    if (item) EnableWindow(item, enabled);
}

// The bar is told only when the position moves it by a pixel: each time it is
// told it paints itself, which costs far more than a chunk's worth of work.
static void Progress(void* dialog, int32_t id, int32_t position) {
    static int32_t shownPixels = -1;
    HWND bar = GetDlgItem(AsHwnd(dialog), id);
    RECT area;
    if (!bar || !GetClientRect(bar, &area)) return;
    int32_t range = static_cast<int32_t>(SendMessageW(bar, PBM_GETRANGE, FALSE, 0));
    int32_t pixels = range > 0 ? MulDiv(position, area.right - area.left, range) : 0;
    if (pixels == shownPixels && position != 0 && position != range) return;
    shownPixels = pixels;
    SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(position), 0);
}

// At most every 30 ms: often enough for the system (which judges a window hung
// after 5 s) and for the eye, and cheap beside the work in between.
static void Answer(void* dialog) {
    static DWORD last = 0;
    DWORD now = GetTickCount();
    if (now - last < kAnswerEveryMilliseconds) return;
    last = now;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (IsDialogMessageW(AsHwnd(dialog), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

static void CopyFaceName(const char16_t* name, WCHAR* face) {
    int32_t i = 0;
    for (; name[i] && i < LF_FACESIZE - 1; ++i) face[i] = static_cast<WCHAR>(name[i]);
    face[i] = 0;
}

// The device context is given back before the font exists; the font itself is
// never deleted, it serves the title until the process ends.
static void TitleFont(void* dialog, int32_t id) {
    HWND window = AsHwnd(dialog);
    HDC dc = GetDC(window);
    if (!dc) return;
    int pixelsPerInch = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    LOGFONTW description = {};
    description.lfHeight = MulDiv(-18, pixelsPerInch, 72);
    description.lfWeight = 400;
    description.lfCharSet = 0;
    description.lfOutPrecision = OUT_STRING_PRECIS;
    description.lfClipPrecision = CLIP_STROKE_PRECIS;
    description.lfQuality = DRAFT_QUALITY;
    description.lfPitchAndFamily = 0x22;
    CopyFaceName(u"MS Sans Serif", description.lfFaceName);
    HFONT font = CreateFontIndirectW(&description);
    if (!font) return;
    SendMessageW(GetDlgItem(window, id), WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

static int32_t Box(void* owner, const char16_t* text, const char16_t* title, uint32_t style) {
    return MessageBoxW(AsHwnd(owner), as_wcstr(text), as_wcstr(title), style);
}

static int32_t RowCount(void* list) {
    return static_cast<int32_t>(SendMessageW(AsHwnd(list), LVM_GETITEMCOUNT, 0, 0));
}

static int32_t InsertRow(void* list, int32_t index, const char16_t* text, uint32_t data) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = const_cast<wchar_t*>(as_wcstr(text));
    item.lParam = static_cast<LPARAM>(data);
    return static_cast<int32_t>(SendMessageW(AsHwnd(list), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

static int32_t FindData(void* list, uint32_t data) {
    LVFINDINFOW find = {};
    find.flags = LVFI_PARAM;
    find.lParam = static_cast<LPARAM>(data);
    // -1: from the very first row.
    return static_cast<int32_t>(
        SendMessageW(AsHwnd(list), LVM_FINDITEMW, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find)));
}

static bool GetRow(void* list, int32_t index, char16_t* text, int32_t capacity, uint32_t* data) {
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = index;
    item.pszText = as_wcstr(text);
    item.cchTextMax = capacity;
    if (!SendMessageW(AsHwnd(list), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item))) return false;
    // The list may answer with a pointer to its own copy instead of filling ours.
    if (item.pszText && item.pszText != as_wcstr(text)) {
        int32_t i = 0;
        for (; item.pszText[i] && i < capacity - 1; ++i) text[i] = static_cast<char16_t>(item.pszText[i]);
        text[i] = 0;
    }
    *data = static_cast<uint32_t>(item.lParam);
    return true;
}

static uint32_t GetState(void* list, int32_t index, uint32_t mask) {
    return static_cast<uint32_t>(SendMessageW(AsHwnd(list), LVM_GETITEMSTATE, static_cast<WPARAM>(index), mask));
}

static void SetState(void* list, int32_t index, uint32_t state, uint32_t mask) {
    LVITEMW item = {};
    item.stateMask = mask;
    item.state = state;
    SendMessageW(AsHwnd(list), LVM_SETITEMSTATE, static_cast<WPARAM>(static_cast<INT_PTR>(index)),
                 reinterpret_cast<LPARAM>(&item));
}

static void InsertColumn(void* list, int32_t index, int32_t format, int32_t width, const char16_t* text) {
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = const_cast<wchar_t*>(as_wcstr(text));
    column.iSubItem = 0;
    SendMessageW(AsHwnd(list), LVM_INSERTCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

static void SetColumnText(void* list, int32_t index, const char16_t* text) {
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT;
    column.pszText = const_cast<wchar_t*>(as_wcstr(text));
    SendMessageW(AsHwnd(list), LVM_SETCOLUMNW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&column));
}

static int32_t ClientWidth(void* list) {
    RECT area;
    if (!GetClientRect(AsHwnd(list), &area)) return 0;
    return area.right - area.left;
}

static void SetExtendedStyle(void* list, uint32_t style) {
    SendMessageW(AsHwnd(list), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, static_cast<LPARAM>(style));
}

const WindowOps kWin32WindowOps = {
    Child,        GetText,     SetText,      GetTextA,      SetTextA,         GetItemTextW,
    SetItemTextW, SetItemTextNarrow, IsChecked, Check,       Hide,             Show,
    Enable,       Progress,    Answer,       TitleFont,
    Box,          RowCount,    InsertRow,    FindData,      GetRow,           GetState,
    SetState,     InsertColumn, SetColumnText, ClientWidth, SetExtendedStyle,
};

Window Win32Window(void* hwnd) {
    Window window;
    window.ops = hwnd ? &kWin32WindowOps : nullptr;
    window.handle = hwnd;
    return window;
}
