// The main dialog's procedure, its initialisation, its placement on the
// desktop and the language list's popup menu.
#include "setup/main_dialog.h"

#include <commctrl.h>

#include "common/wide.h"
#include "installer/dialog_init.h"
#include "installer/install.h"
#include "installer/pass.h"
#include "installer/switches.h"
#include "ui/progress.h"
#include "state/state.h"
#include "ui/language_list.h"
#include "ui/texts.h"
#include "ui/window.h"
#include "ui/window_win32.h"

enum : int32_t {
    kMenuTextCapacity = 64,  // 63 characters and the terminator
    kCommandSelectAll = 136,
    kCommandDeselectAll = 137,
    kCommandInvert = 138,
    kStatusCapacity = 64,
    kMessageScan = WM_APP + 1  // posted once the dialog shows: run the scan pass
};

// The dialog as the portable logic sees it. One dialog per process, so one record.
static Window gDialogWindow;
// What the command line presets, applied once the scan has made its proposals.
static SetupSwitches* gSwitches;

static const Window* DialogWindow(HWND dialog) {
    gDialogWindow = Win32Window(dialog);
    return &gDialogWindow;
}

void CenterOnDesktop(HWND dialog) {
    RECT desktop;
    RECT window;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(dialog, &window);
    // An arithmetic shift, so a dialog larger than the desktop lands at a negative place.
    int32_t x = ((desktop.right - desktop.left) - (window.right - window.left)) >> 1;
    int32_t y = ((desktop.bottom - desktop.top) - (window.bottom - window.top)) >> 1;
    SetWindowPos(dialog, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// A failed scan means the names came from a package that failed its check:
// nobody's windows are closed on the strength of them.
static void AfterScan(const Window*, int32_t scanResult) {
    if (scanResult != 0) return;
    if (!gState->windowClass[0]) return;
    StartClosingRunningInstances(gState->windowClass);
}

// The dialog shows with its texts before the package is decoded; the scan
// runs once it is on the screen, and the dialog answers all the while.
void InitMainDialog(HWND dialog, SetupSwitches* switches) {
    gSwitches = switches;
    const Window* window = DialogWindow(dialog);
    SetCurrentDialog(window);
    CenterOnDesktop(dialog);
    SetClassLongPtrW(dialog, GCLP_HICON, reinterpret_cast<LONG_PTR>(gState->dialogIcon));
    SendDlgItemMessageW(dialog, kIdProgress, PBM_SETRANGE32, 0, kProgressRange);
    if (!PrepareDialogContents(window)) return;
    char16_t checking[kStatusCapacity];
    LookupText(gState->textTable, kTextChecking, checking, kStatusCapacity);
    SetItemText(window, kIdStatus, checking);
    // Locked until the scan runs: nothing may start before it.
    LockDialogControls(window, true);
    PostMessageW(dialog, kMessageScan, 0, 0);
}

static void RunScan(HWND dialog) {
    const Window* window = DialogWindow(dialog);
    // The dialog loop would show the dialog only once its queue is empty,
    // which is after the scan: it is shown and painted now.
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    int32_t scanResult = ScanDialogContents(window, AfterScan);
    SetItemText(window, kIdStatus, u"");
    if (scanResult == 0) {
        if (!gSwitches || ApplySetupSwitches(window, gSwitches)) return;
        // A language the setup does not offer: nothing is installed.
        EndDialog(dialog, static_cast<INT_PTR>(ShowSetupUsage(window, gSwitches)));
        return;
    }
    ShowTextMessage(window, kTextBrokenFile, gState->packagePath, kMbIconError);
    PostMessageW(dialog, WM_CLOSE, 0, 0);
}

void ShowListMenu(HWND dialog) {
    POINT cursor;
    GetCursorPos(&cursor);
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    for (const int16_t* id = kListMenuIds; *id; ++id) {
        char16_t text[kMenuTextCapacity];
        LookupText(gState->textTable, *id, text, kMenuTextCapacity - 1);
        if (!text[0]) continue;
        AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(*id), as_wcstr(text));
    }
    TrackPopupMenu(menu, TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, dialog, nullptr);
    DestroyMenu(menu);
}

static void RunListCommand(HWND dialog, int32_t command) {
    Window list;
    if (!GetControl(DialogWindow(dialog), kIdLanguageList, &list)) return;
    if (command == kCommandSelectAll) CheckAllRows(&list);
    if (command == kCommandDeselectAll) UncheckAllRows(&list);
    if (command == kCommandInvert) InvertRowChecks(&list);
}

static void OnCommand(HWND dialog, int32_t command) {
    // While a pass runs, nothing may start another or end the dialog.
    if (IsDialogPassRunning()) return;
    switch (command) {
    case kIdInstall:
        if (RunInstall(DialogWindow(dialog)) == 0) PostMessageW(dialog, WM_CLOSE, 0, 0);
        break;
    case kIdCancel:
        PostMessageW(dialog, WM_CLOSE, 0, 0);
        break;
    case kCommandSelectAll:
    case kCommandDeselectAll:
    case kCommandInvert:
        RunListCommand(dialog, command);
        break;
    case kIdBrowse:
        BrowseForDestination(dialog, kIdDestination);
        break;
    default:
        break;
    }
}

// Answers 0 for every message, WM_INITDIALOG included, so the platform gives
// no control the keyboard focus.
INT_PTR CALLBACK MainDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitMainDialog(dialog, reinterpret_cast<SetupSwitches*>(lParam));
        break;
    case kMessageScan:
        RunScan(dialog);
        break;
    case WM_CLOSE:
        if (!IsDialogPassRunning()) EndDialog(dialog, 0);
        break;
    case WM_SETCURSOR:
        // The wait cursor stays while a pass runs, wherever the mouse goes.
        if (!IsDialogPassRunning()) break;
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_CONTEXTMENU:
        if (IsDialogPassRunning()) break;
        if (reinterpret_cast<HWND>(wParam) == GetDlgItem(dialog, kIdLanguageList)) ShowListMenu(dialog);
        break;
    case WM_COMMAND:
        OnCommand(dialog, LOWORD(wParam));
        break;
    default:
        break;
    }
    return 0;
}
