// The folder browser behind the "..." button, and the background thread that
// closes running copies of the product while the dialog is open.
#include <shlobj.h>

#include "common/path.h"
#include "common/text.h"
#include "common/thread.h"
#include "common/wide.h"
#include "setup/main_dialog.h"

enum : int32_t {
    kEditTextCapacity = 1024,   // 1023 characters and the terminator
    kParseCapacity = 260,       // what the shell's parser is given: 259 characters
    kClassCapacity = 32
};

// The item list may come from the allocator or from the shell alike; both are
// the COM task allocator, which is the fallback when the allocator could not be had.
static void FreeItemList(IMalloc* allocator, LPITEMIDLIST items) {
    if (!items) return;
    if (allocator) {
        allocator->Free(items);
        return;
    }
    CoTaskMemFree(items);
}

static LPITEMIDLIST ParseFolder(IShellFolder* desktop, HWND owner, const char16_t* path) {
    char16_t name[kParseCapacity];
    CopyTextLimited(path, name, kParseCapacity);
    LPITEMIDLIST items = nullptr;
    HRESULT result = desktop->ParseDisplayName(owner, nullptr, as_wcstr(name), nullptr, &items, nullptr);
    if (FAILED(result)) return nullptr;
    return items;
}

// A folder that does not exist yet is usually about to be created by this
// very installation: its parent is the next best place to start browsing.
static LPITEMIDLIST ParsePreselection(IShellFolder* desktop, HWND owner, const char16_t* text) {
    char16_t path[kPathCapacity];
    CopyText(text, path, kPathCapacity);
    NormalizeFullPath(path);
    LPITEMIDLIST items = ParseFolder(desktop, owner, path);
    if (items) return items;
    CutToParentFolder(path);
    return ParseFolder(desktop, owner, path);
}

static int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM, LPARAM data) {
    if (message == BFFM_INITIALIZED) SendMessageW(browser, BFFM_SETSELECTIONW, FALSE, data);
    return 0;
}

void BrowseForDestination(HWND dialog, int32_t id) {
    char16_t text[kEditTextCapacity];
    text[0] = 0;
    GetDlgItemTextW(dialog, id, as_wcstr(text), kEditTextCapacity);
    BROWSEINFOW request = {};
    request.hwndOwner = dialog;
    request.ulFlags = BIF_RETURNONLYFSDIRS;
    IMalloc* allocator = nullptr;
    IShellFolder* desktop = nullptr;
    LPITEMIDLIST preselection = nullptr;
    if (SHGetMalloc(&allocator) != S_OK) allocator = nullptr;
    if (text[0] && allocator && SHGetDesktopFolder(&desktop) == S_OK && desktop) {
        preselection = ParsePreselection(desktop, dialog, text);
    }
    if (preselection) {
        request.lpfn = BrowseCallback;
        request.lParam = reinterpret_cast<LPARAM>(preselection);
    }
    LPITEMIDLIST chosen = SHBrowseForFolderW(&request);
    if (chosen) {
        char16_t path[kPathCapacity];
        // The chosen folder replaces the text whole; nothing is appended to it.
        if (SHGetPathFromIDListW(chosen, as_wcstr(path))) SetDlgItemTextW(dialog, id, as_wcstr(path));
        FreeItemList(allocator, chosen);
    }
    FreeItemList(allocator, preselection);
    if (desktop) desktop->Release();
    if (allocator) allocator->Release();
}

// The class the thread looks for. Kept here rather than read from the state
// record: start-up frees that record without waiting for this thread.
static char gClosingClass[kClassCapacity];

uint32_t CloseRunningInstances(void*) {
    for (;;) {
        HWND window = FindWindowA(gClosingClass, nullptr);
        if (!window) return 0;
        SendMessageW(window, WM_DESTROY, 0, 0);
    }
}

void StartClosingRunningInstances(const char* windowClass) {
    gClosingClass[0] = 0;
    AppendTextA(windowClass, gClosingClass, kClassCapacity);
    StartThread(CloseRunningInstances, nullptr);
}
