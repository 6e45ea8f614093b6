// Steps on the main dialog: start, read, press, set.
#include "steps.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "remote.h"
#include "windows_find.h"

namespace {

const int kDumpIds[] = {1001, 1002, 1031, 1032, 1033, 1041, 1042, 1043, 1047, 99, 2};

bool Running(const Session* session) {
    return session->started && WaitForSingleObject(session->process.hProcess, 0) == WAIT_TIMEOUT;
}

bool NeedDialog(Session* session) {
    if (!session->started) return Fail("no setup started");
    if (!session->dialog || !IsWindow(session->dialog)) return Fail("the setup's dialog is not open");
    return true;
}

bool ParseIdAndValue(const std::string& argument, int* id, std::string* value) {
    size_t colon = argument.find(':');
    if (colon == std::string::npos || colon == 0) return false;
    *id = std::atoi(argument.substr(0, colon).c_str());
    *value = argument.substr(colon + 1);
    return true;
}

std::string CodeLetters(LPARAM data) {
    std::string letters;
    for (int shift = 0; shift < 32; shift += 8) {
        char c = static_cast<char>((static_cast<unsigned long long>(data) >> shift) & 0xFF);
        if (!c) break;
        letters += c;
    }
    return letters;
}

}  // namespace

void Say(const std::string& line) {
    std::fputs((line + "\n").c_str(), stdout);
    std::fflush(stdout);
}

bool Fail(const std::string& what) {
    Say("error " + what);
    return false;
}

static bool StartSetup(Session* session, const std::string& path, bool waitForScan) {
    std::wstring command = L"\"" + Wide(path) + L"\"";
    if (!session->arguments.empty()) command += L" " + session->arguments;
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &session->process))
        return Fail("cannot start " + path + " (error " + std::to_string(GetLastError()) + ")");
    session->started = true;
    session->startedAt = GetTickCount64();
    DWORD pid = session->process.dwProcessId;
    // Looked for every 10 ms, so that the time to the window is measured finely.
    for (DWORD waited = 0; waited < session->timeoutMs; waited += 10) {
        // The dialog shows at once and is ready once its scan is over and
        // Install is enabled; meanwhile it must keep answering.
        HWND dialog = FindWindowOf(pid, IsMainDialog);
        if (dialog && !session->shownAfterMs) session->shownAfterMs = GetTickCount64() - session->startedAt;
        // Asked every 100 ms, as a watcher of hung windows would ask.
        if (dialog && waited % 100 == 0)
            session->longestScanWaitMs = std::max(session->longestScanWaitMs, AnswerTime(dialog));
        if (dialog && (!waitForScan || IsWindowEnabled(GetDlgItem(dialog, 99)))) {
            session->dialog = dialog;
            session->readyAfterMs = GetTickCount64() - session->startedAt;
            Say("started dialog");
            return true;
        }
        if (FindWindowOf(pid, IsMessageBox)) {
            session->dialog = FindMainDialogOf(pid);
            Say("started msgbox");
            return true;
        }
        if (!Running(session)) {
            Say("started exited");
            return true;
        }
        Sleep(10);
    }
    return Fail("timeout waiting for the setup's window");
}

bool StepStart(Session* session, const std::string& path) { return StartSetup(session, path, true); }

bool StepStartShown(Session* session, const std::string& path) { return StartSetup(session, path, false); }

bool StepDump(Session* session) {
    if (!NeedDialog(session)) return false;
    HWND dialog = session->dialog;
    Say("caption " + Utf8(WindowText(dialog)));
    for (int id : kDumpIds) {
        HWND control = GetDlgItem(dialog, id);
        if (!control) {
            Say("control " + std::to_string(id) + " missing");
            continue;
        }
        bool checkBox = id >= 1041 && id <= 1043;
        std::string checked = checkBox ? std::to_string(SendMessageW(control, BM_GETCHECK, 0, 0)) : "-";
        Say("control " + std::to_string(id) + " visible=" + (IsWindowVisible(control) ? "1" : "0") +
            " checked=" + checked + " text=" + Utf8(WindowText(control)));
    }
    HWND list = GetDlgItem(dialog, 1010);
    std::vector<RemoteRow> rows;
    if (!list || !ReadRemoteRows(list, &rows)) return Fail("cannot read the language list");
    for (size_t i = 0; i < rows.size(); ++i) {
        Say("row " + std::to_string(i) + " code=" + CodeLetters(rows[i].data) +
            " state=" + std::to_string(rows[i].stateImage) + " text=" + Utf8(rows[i].text));
    }
    std::wstring column;
    if (ReadRemoteColumnText(list, 0, &column)) Say("column 0 text=" + Utf8(column));
    Say("extended-style " + std::to_string(SendMessageW(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0)));
    return true;
}

bool StepPress(Session* session, const std::string& id) {
    if (!NeedDialog(session)) return false;
    int command = std::atoi(id.c_str());
    HWND control = GetDlgItem(session->dialog, command);
    // Posted, not sent: Install runs a whole package pass and then shows a box.
    PostMessageW(session->dialog, WM_COMMAND, MAKEWPARAM(command, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    Say("pressed " + id);
    return true;
}

bool StepSetText(Session* session, const std::string& argument) {
    if (!NeedDialog(session)) return false;
    int id = 0;
    std::string text;
    if (!ParseIdAndValue(argument, &id, &text)) return Fail("settext wants ID:TEXT");
    HWND control = GetDlgItem(session->dialog, id);
    if (!control) return Fail("no control " + std::to_string(id));
    std::wstring wide = Wide(text);
    SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    Say("set " + std::to_string(id) + " text=" + Utf8(WindowText(control)));
    return true;
}

bool StepCheck(Session* session, const std::string& argument) {
    if (!NeedDialog(session)) return false;
    int id = 0;
    std::string value;
    if (!ParseIdAndValue(argument, &id, &value)) return Fail("check wants ID:0|1");
    HWND control = GetDlgItem(session->dialog, id);
    if (!control) return Fail("no control " + std::to_string(id));
    SendMessageW(control, BM_SETCHECK, value == "1" ? BST_CHECKED : BST_UNCHECKED, 0);
    Say("checked " + std::to_string(id) + "=" + std::to_string(SendMessageW(control, BM_GETCHECK, 0, 0)));
    return true;
}

bool StepTick(Session* session, const std::string& argument) {
    if (!NeedDialog(session)) return false;
    int row = 0;
    std::string value;
    if (!ParseIdAndValue(argument, &row, &value)) return Fail("tick wants ROW:1|2");
    if (!SetRemoteRowCheck(GetDlgItem(session->dialog, 1010), row, static_cast<UINT>(std::atoi(value.c_str()))))
        return Fail("cannot set the check of row " + std::to_string(row));
    Say("ticked row " + std::to_string(row) + "=" + value);
    return true;
}

bool StepWaitExit(Session* session) {
    if (!session->started) return Fail("no setup started");
    if (WaitForSingleObject(session->process.hProcess, session->timeoutMs) != WAIT_OBJECT_0)
        return Fail("timeout waiting for the setup to end");
    DWORD code = 0;
    GetExitCodeProcess(session->process.hProcess, &code);
    Say("exit " + std::to_string(code));
    return true;
}

bool StepTimeout(Session* session, const std::string& milliseconds) {
    int value = std::atoi(milliseconds.c_str());
    if (value <= 0) return Fail("timeout wants a number of milliseconds");
    session->timeoutMs = static_cast<DWORD>(value);
    return true;
}

bool StepSleep(Session*, const std::string& milliseconds) {
    Sleep(static_cast<DWORD>(std::atoi(milliseconds.c_str())));
    return true;
}
