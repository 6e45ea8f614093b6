// The process's entry: the state record, the switches, COM and the common
// controls, the text table, the path of our own file, then the main dialog
// until it ends, or the installation without a window (/S).
#include <windows.h>
#include <ole2.h>
#include <commctrl.h>

#include "common/dll_search.h"
#include "common/memory.h"
#include "common/wide.h"
#include "installer/quiet_setup.h"
#include "installer/switches.h"
#include "state/state.h"
#include "setup/main_dialog.h"
#include "ui/texts.h"
#include "ui/window_win32.h"

enum : DWORD { kPackagePathCapacity = 1024 };

static INT_PTR CALLBACK HiddenDialogProc(HWND, UINT, WPARAM, LPARAM) { return 0; }

// /S: the same dialog, made but never shown (its template is not visible).
static uint32_t RunQuietly(HINSTANCE instance, SetupSwitches* switches, bool understood) {
    HWND hidden = CreateDialogParamW(instance, MAKEINTRESOURCEW(kMainDialogResource), nullptr, HiddenDialogProc, 0);
    Window dialog = Win32Window(hidden);
    uint32_t exit = RunQuietSetup(&dialog, switches, understood);
    if (hidden) DestroyWindow(hidden);
    return exit;
}

static uint32_t RunSetup(HINSTANCE instance, SetupSwitches* switches, bool understood) {
    InitCommonControls();
    if (switches->silent) return RunQuietly(instance, switches, understood);
    if (!understood || switches->help) return ShowSetupUsage(nullptr, switches);
    gState->dialogIcon = LoadIconW(instance, MAKEINTRESOURCEW(kProgramIconResource));
    INT_PTR result = DialogBoxParamW(instance, MAKEINTRESOURCEW(kMainDialogResource), nullptr, MainDialogProc,
                                     reinterpret_cast<LPARAM>(switches));
    return result == kExitUsage ? kExitUsage : kExitInstalled;
}

// Started without arguments, whatever happens inside, the process ends with 0;
// with them, with the exit code installer/switches.h names.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int) {
    // Before anything loads a DLL: every system DLL but kernel32 and msvcrt is
    // delay-loaded, on its first call, from System32 alone.
    LimitDllSearchToSystem();
    gState = static_cast<InstallerState*>(AllocZeroed(sizeof(InstallerState)));
    SetupSwitches* switches = static_cast<SetupSwitches*>(AllocZeroed(sizeof(SetupSwitches)));
    uint32_t exit = 0;
    if (gState && switches) {
        bool understood = ParseSetupSwitches(reinterpret_cast<const char16_t*>(commandLine), switches);
        OleInitialize(nullptr);
        SelectTextTable();
        GetModuleFileNameW(GetModuleHandleW(nullptr), as_wcstr(gState->packagePath), kPackagePathCapacity);
        exit = RunSetup(instance, switches, understood);
        OleUninitialize();
    }
    FreeAndClear(&switches);
    FreeAndClear(&gState);
    return static_cast<int>(exit);
}

// The runtime's own math-error handler prints to a console this program never
// has; one that does nothing keeps that handler and its texts out of the file.
extern "C" int _matherr(struct _exception*) { return 0; }
