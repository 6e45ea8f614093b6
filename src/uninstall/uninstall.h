// The uninstaller's sequence: read the list beside the program, ask, close
// the product, remove its unchanged files, its shortcuts and registry entries,
// then the list, the program and the folder when nothing else is left in it.
#pragma once
#include <stdint.h>

struct TextTable;

enum : int32_t {
    kUninstallDone = 0,      // the folder goes (its last entry, the program, once it has ended)
    kUninstallKept = 1,      // something stays: a kept or unlisted entry, a file left to the restart, the folder
    kUninstallNothing = 2    // no list, a damaged one, or the answer was No: nothing removed
};

// How the sequence talks to whoever runs it: the program's message boxes, or
// mksetup's terminal. Both answers may be missing in a silent run.
struct UninstallFace {
    bool (*ask)(void* context, const char16_t* question, const char16_t* title);  // true for Yes
    void (*tell)(void* context, const char16_t* text, const char16_t* title, bool problem);
    void* context;
};

struct UninstallRequest {
    const char16_t* programPath;  // the uninstaller's file; the list lies beside it
    const TextTable* texts;       // UninstallTextTable(...)
    bool silent;                  // no question and no report
    UninstallFace face;
};

// Runs the whole sequence; the answer is the process exit code.
int32_t RunUninstall(const UninstallRequest* request);
