// The main dialog's initialisation that does not depend on the platform, shared
// by the Windows dialog and the unattended install of mksetup.
#pragma once
#include <stdint.h>

struct Window;

// Called once the scan pass is over and the window class is settled, before the
// destination is proposed: the place where the Windows dialog starts its
// close-running-instances thread (scanResult 0 = the scan succeeded).
typedef void (*ScanFinishedHook)(const Window* dialog, int32_t scanResult);

// In order: the dialog texts; then, when the dialog has its language list, the
// list's column and extended style, the two built-in language rows, the scan
// pass over gState->packagePath, windowClass filled from productName when the
// package named none, the hook (if any) and InitDestination. Answers the scan
// pass's result (0 also when there is no language list and hence no scan); a
// non-zero answer is the caller's to report as a broken file. The caller does
// the platform's own parts first (centring, the class icon).
int32_t InitDialogContents(const Window* dialog, ScanFinishedHook afterScan);
// The same in two steps, for a dialog that shows before the scan: the texts
// and the list's set-up (true when there is a list and hence a scan to run);
// then the scan pass, run while the dialog keeps answering (installer/pass.h),
// and the rest.
bool PrepareDialogContents(const Window* dialog);
int32_t ScanDialogContents(const Window* dialog, ScanFinishedHook afterScan);
