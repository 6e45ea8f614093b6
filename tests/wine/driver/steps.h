// The driver's steps: each acts on the running setup and prints what it saw
// as simple lines ("caption ...", "row 0 code=DK state=2 text=Dansk").
#pragma once
#include <windows.h>

#include <string>

struct Session {
    PROCESS_INFORMATION process = {};
    bool started = false;
    HWND dialog = nullptr;
    DWORD timeoutMs = 20000;
    ULONGLONG startedAt = 0;
    ULONGLONG shownAfterMs = 0;       // start to a visible dialog
    ULONGLONG readyAfterMs = 0;       // start to the end of the scan (Install enabled)
    ULONGLONG longestScanWaitMs = 0;  // the longest WM_NULL wait while it scanned
    std::wstring arguments;           // given to the program after its quoted path
};

// How long the window takes to answer WM_NULL, as Windows asks before it calls
// a window hung (at most 1 s is waited; 1000 then means no answer).
ULONGLONG AnswerTime(HWND window);

// "HKLM\KEY\PATH:NAME" (or HKCU): the root, the key's path and the value's name.
bool ParseValuePath(const std::string& argument, HKEY* root, std::string* key, std::string* name);

// Prints one line (UTF-8) and flushes it at once, so a hang shows where it stopped.
void Say(const std::string& line);
// "error <what>" and false, for a step that failed.
bool Fail(const std::string& what);

bool StepStart(Session* session, const std::string& path);
bool StepStartShown(Session* session, const std::string& path);
bool StepDump(Session* session);
bool StepLayout(Session* session);
bool StepPress(Session* session, const std::string& id);
bool StepSetText(Session* session, const std::string& argument);
bool StepCheck(Session* session, const std::string& argument);
bool StepTick(Session* session, const std::string& argument);
bool StepMessageBox(Session* session);
bool StepMessageBoxAnswer(Session* session, const std::string& answer);
bool StepNoMessageBox(Session* session, const std::string& milliseconds);
bool StepBrowse(Session* session, const std::string& answer);
bool StepContextMenu(Session* session, const std::string& argument);
bool StepWaitExit(Session* session);
bool StepSync(Session* session, const std::string& path);
bool StepSleep(Session* session, const std::string& milliseconds);
bool StepTimeout(Session* session, const std::string& milliseconds);
bool StepRegistryValue(Session* session, const std::string& argument);
bool StepSpecialFolder(Session* session, const std::string& argument);
bool StepAccess(Session* session, const std::string& path);
bool StepTiming(Session* session);
bool StepWatchInstall(Session* session);
bool StepArguments(Session* session, const std::string& arguments);
bool StepRunQuiet(Session* session, const std::string& path);
bool StepRunValue(Session* session, const std::string& argument);
bool StepConsole(Session* session, const std::string& argument);
