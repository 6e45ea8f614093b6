#include "windows_find.h"

#include "remote.h"

namespace {

struct Search {
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != search->pid) return TRUE;
    if (search->visibleOnly && !IsWindowVisible(window)) return TRUE;
    search->found.push_back(window);
    return TRUE;
}

std::vector<HWND> WindowsOf(DWORD pid, bool visibleOnly) {
    Search search{pid, visibleOnly, {}};
    EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsDialogClass(HWND window) { return ClassName(window) == L"#32770"; }

}  // namespace

std::vector<HWND> VisibleWindowsOf(DWORD pid) { return WindowsOf(pid, true); }

// The destination box is what no other dialog of the setup has.
bool IsMainDialog(HWND window) { return IsDialogClass(window) && GetDlgItem(window, 1032) != nullptr; }

bool IsFolderBrowser(HWND window) {
    return IsDialogClass(window) && FindWindowExW(window, nullptr, L"SysTreeView32", nullptr) != nullptr;
}

// A message box keeps its text in a static control with id 0xFFFF.
bool IsMessageBox(HWND window) {
    if (!IsDialogClass(window) || IsMainDialog(window) || IsFolderBrowser(window)) return false;
    return GetDlgItem(window, 0xFFFF) != nullptr;
}

bool IsPopupMenu(HWND window) { return ClassName(window) == L"#32768"; }

HWND FindWindowOf(DWORD pid, bool (*test)(HWND)) {
    for (HWND window : VisibleWindowsOf(pid)) {
        if (test(window)) return window;
    }
    return nullptr;
}

HWND FindMainDialogOf(DWORD pid) {
    for (HWND window : WindowsOf(pid, false)) {
        if (IsMainDialog(window)) return window;
    }
    return nullptr;
}
