// The last step of an uninstallation: the uninstaller's own file, then its
// folder when that is empty. A running program cannot delete its own file on
// Windows, so there a helper copy in the temporary folder finishes the work
// once the program has ended; elsewhere it is done at once.
#pragma once
#include <stdint.h>

// removeFolder: the folder is no root or system folder (uninstall/ownership.h).
void FinishRemoval(const char16_t* programPath, const char16_t* folder, bool removeFolder);

// The helper copy's side (its command line after "/finish"): waits for the
// program to end, removes its file and the folder, and has the copy itself
// removed at the next restart. Answers the copy's exit code. Away from
// Windows no copy is ever started, and there is nothing to finish.
int32_t RunFinishHelper(const char16_t* arguments);
