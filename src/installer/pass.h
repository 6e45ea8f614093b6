// A package pass run on the dialog's thread while the dialog keeps answering:
// the controls that would start another pass or change what the pass reads
// afterwards are disabled, the progress bar runs from 0 to the package's
// unpacked size, and the dialog handles its messages after every chunk.
#pragma once
#include <stdint.h>

#include "package/package_run.h"

struct Window;

struct DialogPass {
    const Window* dialog;
    int32_t position;  // the bar's last position, -1 before the first
    PackageProgress progress;
};

void BeginDialogPass(DialogPass* pass, const Window* dialog);
// Those controls alone, locked or not: before the first pass is due.
void LockDialogControls(const Window* dialog, bool locked);
// unlock: false leaves the controls locked (a failed scan offers nothing to do).
void EndDialogPass(DialogPass* pass, bool unlock = true);
// True from BeginDialogPass to EndDialogPass: the dialog then refuses to close
// and acts on no command.
bool IsDialogPassRunning();
