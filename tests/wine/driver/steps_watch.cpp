// Steps that watch the setup work: how soon its window shows, whether it
// keeps answering while a package pass runs, and how its progress bar moves.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <set>
#include <string>

#include "remote.h"
#include "steps.h"
#include "windows_find.h"

namespace {

enum : int { kInstall = 99, kStatus = 1047, kProgress = 1048 };

bool AskControl(HWND control, UINT message, LPARAM lParam, DWORD_PTR* answer) {
    return SendMessageTimeoutW(control, message, 0, lParam, SMTO_NORMAL, 1000, answer) != 0;
}

std::string ControlText(HWND control) {
    wchar_t text[1024] = L"";
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 1000, &ignored);
    return Utf8(text);
}

struct PassWatch {
    ULONGLONG longestWaitMs = 0;
    long lastPosition = -1, range = 0;
    bool wentDown = false, installEnabled = false, closeSent = false, seenRunning = false;
    std::set<std::string> statusTexts;
};

void Sample(HWND dialog, PassWatch* watch) {
    watch->longestWaitMs = std::max(watch->longestWaitMs, AnswerTime(dialog));
    HWND bar = GetDlgItem(dialog, kProgress);
    if (!bar || !IsWindowVisible(bar)) return;
    watch->seenRunning = true;
    DWORD_PTR position = 0, high = 0;
    if (AskControl(bar, PBM_GETPOS, 0, &position)) {
        long now = static_cast<long>(position);
        if (now < watch->lastPosition) watch->wentDown = true;
        watch->lastPosition = now;
    }
    if (AskControl(bar, PBM_GETRANGE, FALSE, &high)) watch->range = static_cast<long>(high);
    // Read between two looks at the bar, so that the end of the pass in
    // between is not taken for a button enabled while it ran.
    bool enabled = IsWindowEnabled(GetDlgItem(dialog, kInstall));
    if (enabled && IsWindowVisible(bar)) watch->installEnabled = true;
    watch->statusTexts.insert(ControlText(GetDlgItem(dialog, kStatus)));
    // Once the pass is under way: the window is told to close, as the close
    // box, Alt+F4 or the system would tell it.
    if (!watch->closeSent && watch->lastPosition > 0 && watch->lastPosition < watch->range / 2) {
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        watch->closeSent = true;
    }
}

}  // namespace

ULONGLONG AnswerTime(HWND window) {
    ULONGLONG before = GetTickCount64();
    DWORD_PTR ignored = 0;
    if (!SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &ignored)) return 1000;
    return GetTickCount64() - before;
}

bool StepTiming(Session* session) {
    if (!session->started) return Fail("no setup started");
    Say("shown-after-ms " + std::to_string(session->shownAfterMs));
    Say("ready-after-ms " + std::to_string(session->readyAfterMs));
    Say("scan-longest-wait-ms " + std::to_string(session->longestScanWaitMs));
    return true;
}

bool StepWatchInstall(Session* session) {
    if (!session->dialog || !IsWindow(session->dialog)) return Fail("the setup's dialog is not open");
    HWND dialog = session->dialog;
    PassWatch watch;
    ULONGLONG start = GetTickCount64(), end = 0;
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(kInstall, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, kInstall)));
    const ULONGLONG limit = start + 10 * static_cast<ULONGLONG>(session->timeoutMs);
    while (GetTickCount64() < limit) {
        if (FindWindowOf(session->process.dwProcessId, IsMessageBox)) break;
        if (WaitForSingleObject(session->process.hProcess, 0) == WAIT_OBJECT_0) break;
        Sample(dialog, &watch);
        HWND bar = GetDlgItem(dialog, kProgress);
        if (watch.seenRunning && !end && bar && !IsWindowVisible(bar)) end = GetTickCount64();
        Sleep(100);
    }
    if (!end) end = GetTickCount64();
    // A hidden bar keeps its position: where the pass left it.
    DWORD_PTR final = 0;
    HWND bar = GetDlgItem(dialog, kProgress);
    if (bar && AskControl(bar, PBM_GETPOS, 0, &final)) watch.lastPosition = static_cast<long>(final);
    Say("pass-ms " + std::to_string(end - start));
    Say("longest-wait-ms " + std::to_string(watch.longestWaitMs));
    Say("progress-last " + std::to_string(watch.lastPosition) + " of " + std::to_string(watch.range));
    Say(std::string("progress-went-down ") + (watch.wentDown ? "1" : "0"));
    Say(std::string("install-enabled-during-pass ") + (watch.installEnabled ? "1" : "0"));
    Say(std::string("close-sent ") + (watch.closeSent ? "1" : "0"));
    Say("status-texts " + std::to_string(watch.statusTexts.size()));
    return true;
}
