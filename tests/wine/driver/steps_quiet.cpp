// Steps for a program that must show nothing: started with arguments, or by a
// command line read from the registry, and watched until it ends for any
// window of its process that becomes visible.
#include <windows.h>

#include <set>
#include <string>

#include "remote.h"
#include "steps.h"
#include "windows_find.h"

namespace {

bool ParseValuePath(const std::string& argument, HKEY* root, std::wstring* key, std::wstring* name) {
    size_t colon = argument.rfind(':');
    size_t slash = argument.find('\\');
    if (colon == std::string::npos || slash == std::string::npos || slash > colon) return false;
    std::string rootName = argument.substr(0, slash);
    if (rootName != "HKLM" && rootName != "HKCU") return false;
    *root = rootName == "HKLM" ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    *key = Wide(argument.substr(slash + 1, colon - slash - 1));
    *name = Wide(argument.substr(colon + 1));
    return true;
}

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
    std::wstring key, name;
    if (!ParseValuePath(argument, &root, &key, &name)) return Fail("run-value wants HKLM\\KEY:NAME");
    wchar_t command[4096] = L"";
    DWORD bytes = sizeof command - sizeof(wchar_t);
    if (RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, command, &bytes) != ERROR_SUCCESS)
        return Fail("no value " + argument);
    Say("run " + Utf8(command));
    return WatchUntilExit(session, command);
}
