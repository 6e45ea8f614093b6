// Steps on the setup's other windows: message boxes, the folder browser, the
// popup menu; the dialog's layout; and the hand-shake with the test script.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>
#include <vector>

#include "remote.h"
#include "steps.h"
#include "windows_find.h"

namespace {

HWND WaitForWindow(Session* session, bool (*test)(HWND), DWORD timeoutMs) {
    for (DWORD waited = 0; waited <= timeoutMs; waited += 50) {
        HWND window = FindWindowOf(session->process.dwProcessId, test);
        if (window) return window;
        Sleep(50);
    }
    return nullptr;
}

bool WaitGone(HWND window, DWORD timeoutMs) {
    for (DWORD waited = 0; waited <= timeoutMs; waited += 50) {
        if (!IsWindow(window) || !IsWindowVisible(window)) return true;
        Sleep(50);
    }
    return false;
}

std::string Hex(unsigned long long value) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%08llx", value);
    return text;
}

struct ChildList {
    std::vector<HWND> children;
};

BOOL CALLBACK CollectChild(HWND child, LPARAM data) {
    reinterpret_cast<ChildList*>(data)->children.push_back(child);
    return TRUE;
}

// The browser selects its preselection some time after it shows (the first
// time in a fresh prefix the shell's namespace takes seconds to fill): wait
// until a selection exists and stops moving. Without a preselection none may
// ever come, hence the limit.
bool ReadSettledSelection(HWND tree, DWORD limitMs, std::vector<std::wstring>* path) {
    std::vector<std::wstring> last;
    int steady = 0;
    for (DWORD waited = 0; waited < limitMs && steady < 6; waited += 50) {
        Sleep(50);
        std::vector<std::wstring> now;
        ReadRemoteTreeSelection(tree, &now);
        steady = (now == last && !now.empty()) ? steady + 1 : 0;
        last = now;
    }
    *path = last;
    return steady >= 6;
}

// A message box's text on one line: line breaks become "\n", trailing ones go.
std::string OneLine(std::wstring text) {
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n')) text.pop_back();
    std::string line;
    for (char c : Utf8(text)) {
        if (c == '\r') continue;
        line += (c == '\n') ? std::string("\\n") : std::string(1, c);
    }
    return line;
}

}  // namespace

bool StepLayout(Session* session) {
    if (!session->dialog) return Fail("the setup's dialog is not open");
    HWND dialog = session->dialog;
    RECT client;
    RECT window;
    RECT desktop;
    GetClientRect(dialog, &client);
    GetWindowRect(dialog, &window);
    GetWindowRect(GetDesktopWindow(), &desktop);
    Say("dialog style=" + Hex(static_cast<unsigned long>(GetWindowLongW(dialog, GWL_STYLE))) +
        " client=" + std::to_string(client.right) + "x" + std::to_string(client.bottom) +
        " window=" + std::to_string(window.left) + "," + std::to_string(window.top) + "," +
        std::to_string(window.right - window.left) + "," + std::to_string(window.bottom - window.top) +
        " desktop=" + std::to_string(desktop.right - desktop.left) + "x" + std::to_string(desktop.bottom - desktop.top));
    ChildList list;
    EnumChildWindows(dialog, CollectChild, reinterpret_cast<LPARAM>(&list));
    for (HWND child : list.children) {
        if (GetParent(child) != dialog) continue;
        RECT rect;
        GetWindowRect(child, &rect);
        MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect), 2);
        int id = static_cast<int>(static_cast<unsigned short>(GetDlgCtrlID(child)));
        Say("layout id=" + std::to_string(id) + " class=" + Utf8(ClassName(child)) +
            " style=" + Hex(static_cast<unsigned long>(GetWindowLongW(child, GWL_STYLE))) +
            " exstyle=" + Hex(static_cast<unsigned long>(GetWindowLongW(child, GWL_EXSTYLE))) +
            " rect=" + std::to_string(rect.left) + "," + std::to_string(rect.top) + "," +
            std::to_string(rect.right - rect.left) + "," + std::to_string(rect.bottom - rect.top));
    }
    return true;
}

bool StepMessageBoxAnswer(Session* session, const std::string& answer) {
    static const struct { const char* name; int command; } kAnswers[] = {
        {"ok", IDOK}, {"cancel", IDCANCEL}, {"yes", IDYES}, {"no", IDNO}};
    int command = 0;
    for (const auto& known : kAnswers) {
        if (answer == known.name) command = known.command;
    }
    if (!command) return Fail("msgbox wants ok, cancel, yes or no");
    if (!session->started) return Fail("no setup started");
    HWND box = WaitForWindow(session, IsMessageBox, session->timeoutMs);
    if (!box) return Fail("no message box appeared");
    Say("msgbox.title " + Utf8(WindowText(box)));
    Say("msgbox.text " + OneLine(WindowText(GetDlgItem(box, 0xFFFF))));
    PostMessageW(box, WM_COMMAND, static_cast<WPARAM>(command), 0);
    if (!WaitGone(box, session->timeoutMs)) return Fail("the message box did not close");
    return true;
}

bool StepMessageBox(Session* session) { return StepMessageBoxAnswer(session, "ok"); }

bool StepNoMessageBox(Session* session, const std::string& milliseconds) {
    if (!session->started) return Fail("no setup started");
    HWND box = WaitForWindow(session, IsMessageBox, static_cast<DWORD>(std::atoi(milliseconds.c_str())));
    if (!box) {
        Say("no msgbox");
        return true;
    }
    Say("msgbox.title " + Utf8(WindowText(box)));
    Say("msgbox.text " + OneLine(WindowText(GetDlgItem(box, 0xFFFF))));
    return Fail("a message box appeared");
}

// Opens the browser and reads its selection; false when it did not open.
bool OpenBrowser(Session* session, DWORD settleMs, HWND* browser, std::vector<std::wstring>* path, bool* settled) {
    PostMessageW(session->dialog, WM_COMMAND, MAKEWPARAM(1033, BN_CLICKED), 0);
    *browser = WaitForWindow(session, IsFolderBrowser, session->timeoutMs);
    if (!*browser) return false;
    HWND tree = FindWindowExW(*browser, nullptr, L"SysTreeView32", nullptr);
    *settled = ReadSettledSelection(tree, settleMs, path);
    return true;
}

bool StepBrowse(Session* session, const std::string& answer) {
    if (answer != "ok" && answer != "cancel") return Fail("browse wants ok or cancel");
    if (!session->dialog) return Fail("the setup's dialog is not open");
    bool ok = answer == "ok";
    HWND browser = nullptr;
    std::vector<std::wstring> path;
    bool settled = false;
    // OK is pressed on what is selected, so it waits for the selection; Cancel
    // ignores it, and the selection is only shown. Now and then Wine's browser
    // never selects its preselection at all: it is closed with Cancel, which
    // changes nothing, and opened again.
    for (int attempt = 0;; ++attempt) {
        if (!OpenBrowser(session, ok ? session->timeoutMs / 3 : 3000, &browser, &path, &settled))
            return Fail("the folder browser did not open");
        if (!ok || settled || attempt == 2) break;
        PostMessageW(browser, WM_COMMAND, IDCANCEL, 0);
        if (!WaitGone(browser, session->timeoutMs)) return Fail("the folder browser did not close");
    }
    std::string shown;
    for (auto part = path.rbegin(); part != path.rend(); ++part) shown += (shown.empty() ? "" : " > ") + Utf8(*part);
    Say("browser.selection " + shown);
    PostMessageW(browser, WM_COMMAND, ok ? IDOK : IDCANCEL, 0);
    if (!WaitGone(browser, session->timeoutMs)) return Fail("the folder browser did not close");
    Say("browser " + answer);
    return true;
}

bool StepContextMenu(Session* session, const std::string& argument) {
    if (!session->dialog) return Fail("the setup's dialog is not open");
    size_t colon = argument.find(':');
    if (colon == std::string::npos) return Fail("contextmenu wants ID:KEY");
    HWND control = GetDlgItem(session->dialog, std::atoi(argument.substr(0, colon).c_str()));
    std::string key = argument.substr(colon + 1);
    if (!control) return Fail("no control " + argument.substr(0, colon));
    PostMessageW(session->dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(control), MAKELPARAM(-1, -1));
    HWND menu = WaitForWindow(session, IsPopupMenu, 1500);
    if (!menu) {
        Say("menu none");
        return true;
    }
    Say("menu shown");
    if (key == "esc") {
        PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    } else {
        PostMessageW(menu, WM_CHAR, static_cast<WPARAM>(key[0]), 0);
    }
    if (!WaitGone(menu, session->timeoutMs)) return Fail("the popup menu did not close");
    Say("menu closed");
    return true;
}

bool StepSync(Session*, const std::string& path) {
    std::wstring ready = Wide(path + ".ready");
    std::wstring go = Wide(path + ".go");
    HANDLE file = CreateFileW(ready.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return Fail("cannot create " + path + ".ready");
    CloseHandle(file);
    for (int waited = 0; waited < 120000; waited += 100) {
        if (GetFileAttributesW(go.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
        Sleep(100);
    }
    return Fail("nobody answered " + path);
}
