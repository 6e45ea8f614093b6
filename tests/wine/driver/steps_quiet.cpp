// Steps that start a program other than the way a user starts the setup: with
// arguments, or by a command line read from the registry, both watched until
// they end for any window of their process that becomes visible; and a console
// program in a console of its own.
#include <windows.h>

#include <set>
#include <string>

#include "remote.h"
#include "steps.h"
#include "windows_find.h"

namespace {

// Samples the process's visible windows every 2 ms until it ends; one still
// running when the time is up is ended, and its exit reads "timeout".
bool WatchUntilExit(Session* session, std::wstring command) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &session->process))
        return Fail("cannot run " + Utf8(command) + " (error " + std::to_string(GetLastError()) + ")");
    session->started = true;
    std::set<std::string> seen;
    ULONGLONG start = GetTickCount64();
    bool late = false;
    while (!late && WaitForSingleObject(session->process.hProcess, 2) == WAIT_TIMEOUT) {
        for (HWND window : VisibleWindowsOf(session->process.dwProcessId))
            seen.insert("class=" + Utf8(ClassName(window)) + " text=" + Utf8(WindowText(window)));
        late = GetTickCount64() - start > session->timeoutMs;
    }
    for (const std::string& window : seen) Say("window-seen " + window);
    Say("windows-seen " + std::to_string(seen.size()));
    if (late) {
        TerminateProcess(session->process.hProcess, 99);
        Say("exit timeout");
        return true;
    }
    DWORD code = 0;
    GetExitCodeProcess(session->process.hProcess, &code);
    Say("exit " + std::to_string(code));
    return true;
}

}  // namespace

bool StepArguments(Session* session, const std::string& arguments) {
    session->arguments = Wide(arguments);
    return true;
}

bool StepRunQuiet(Session* session, const std::string& path) {
    std::wstring command = L"\"" + Wide(path) + L"\"";
    if (!session->arguments.empty()) command += L" " + session->arguments;
    return WatchUntilExit(session, command);
}

bool StepRunValue(Session* session, const std::string& argument) {
    HKEY root = nullptr;
    std::string key, name;
    if (!ParseValuePath(argument, &root, &key, &name)) return Fail("run-value wants HKLM\\KEY:NAME");
    wchar_t command[4096] = L"";
    DWORD bytes = sizeof command - sizeof(wchar_t);
    if (RegGetValueW(root, Wide(key).c_str(), Wide(name).c_str(), RRF_RT_REG_SZ, nullptr, command, &bytes) != ERROR_SUCCESS)
        return Fail("no value " + argument);
    Say("run " + Utf8(command));
    return WatchUntilExit(session, command);
}

namespace {

std::wstring ConsoleText() {
    HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    CONSOLE_SCREEN_BUFFER_INFO info = {};
    std::wstring text;
    if (screen != INVALID_HANDLE_VALUE && GetConsoleScreenBufferInfo(screen, &info)) {
        text.resize(static_cast<size_t>(info.dwSize.X) * static_cast<size_t>(info.dwSize.Y));
        DWORD read = 0;
        ReadConsoleOutputCharacterW(screen, &text[0], static_cast<DWORD>(text.size()), COORD{0, 0}, &read);
        text.resize(read);
    }
    if (screen != INVALID_HANDLE_VALUE) CloseHandle(screen);
    return text;
}

void PressEnter() {
    HANDLE input = CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, 0, nullptr);
    if (input == INVALID_HANDLE_VALUE) return;
    INPUT_RECORD keys[2] = {};
    for (int i = 0; i < 2; ++i) {
        keys[i].EventType = KEY_EVENT;
        keys[i].Event.KeyEvent.bKeyDown = i == 0;
        keys[i].Event.KeyEvent.wRepeatCount = 1;
        keys[i].Event.KeyEvent.wVirtualKeyCode = VK_RETURN;
        keys[i].Event.KeyEvent.uChar.UnicodeChar = L'\r';
    }
    DWORD written = 0;
    WriteConsoleInputW(input, keys, 2, &written);
    CloseHandle(input);
}

}  // namespace

// A console program in a console of its own, as the Start menu starts one:
// whether it still runs after a while, whether its console shows TEXT, and
// its exit code once Enter is pressed in that console.
bool StepConsole(Session* session, const std::string& argument) {
    size_t bar = argument.find('|');
    if (bar == std::string::npos) return Fail("console wants PATH|TEXT");
    std::wstring command = L"\"" + Wide(argument.substr(0, bar)) + L"\"";
    std::wstring wanted = Wide(argument.substr(bar + 1));
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE, nullptr, nullptr, &startup,
                        &session->process))
        return Fail("cannot start " + argument.substr(0, bar) + " (error " + std::to_string(GetLastError()) + ")");
    session->started = true;
    bool waiting = WaitForSingleObject(session->process.hProcess, 2000) == WAIT_TIMEOUT;
    Say(std::string("console-waiting ") + (waiting ? "1" : "0"));
    FreeConsole();
    if (!AttachConsole(session->process.dwProcessId)) return Fail("cannot attach to its console");
    Say(std::string("console-shows ") + (ConsoleText().find(wanted) != std::wstring::npos ? "1" : "0"));
    PressEnter();
    FreeConsole();
    return StepWaitExit(session);
}
