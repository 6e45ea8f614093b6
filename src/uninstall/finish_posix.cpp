// Nothing holds a running program's file here: it goes at once, then the folder if empty.
#include "uninstall/finish.h"

#include "common/files.h"
#include "common/removal.h"

void FinishRemoval(const char16_t* programPath, const char16_t* folder, bool removeFolder) {
    if (ProbePath(programPath) == 0) DeleteDiskFile(programPath);
    if (removeFolder) RemoveFolder(folder);
}

int32_t RunFinishHelper(const char16_t*) { return 0; }
