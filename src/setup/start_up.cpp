// The process's entry: the state record, COM and the common controls, the
// text table, the path of our own file, then the main dialog until it ends.
#include <windows.h>
#include <ole2.h>
#include <commctrl.h>

#include "common/dll_search.h"
#include "common/memory.h"
#include "common/wide.h"
#include "state/state.h"
#include "setup/main_dialog.h"
#include "ui/texts.h"

enum : DWORD { kPackagePathCapacity = 1024 };

// Whatever happens inside, the process ends with 0.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // Before anything loads a DLL: every system DLL but kernel32 and msvcrt is
    // delay-loaded, on its first call, from System32 alone.
    LimitDllSearchToSystem();
    gState = static_cast<InstallerState*>(AllocZeroed(sizeof(InstallerState)));
    if (!gState) return 0;
    OleInitialize(nullptr);
    InitCommonControls();
    gState->dialogIcon = LoadIconW(instance, MAKEINTRESOURCEW(kProgramIconResource));
    SelectTextTable();
    GetModuleFileNameW(GetModuleHandleW(nullptr), as_wcstr(gState->packagePath), kPackagePathCapacity);
    DialogBoxParamW(instance, MAKEINTRESOURCEW(kMainDialogResource), nullptr, MainDialogProc, 0);
    OleUninitialize();
    FreeAndClear(&gState);
    return 0;
}
