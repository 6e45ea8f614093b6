#include "installer/pass.h"

#include "ui/progress.h"
#include "ui/window.h"

static const int32_t kLockedDuringPass[] = {kIdInstall,      kIdCancel,    kIdBrowse,  kIdDestination,
                                            kIdLanguageList, kIdStartMenu, kIdDesktop, kIdQuickLaunch};

static bool sPassRunning = false;

static void TellProgress(uint64_t done, uint64_t total, void* context) {
    DialogPass* pass = static_cast<DialogPass*>(context);
    int32_t position = ProgressPosition(done, total);
    if (position != pass->position) {
        pass->position = position;
        SetItemProgress(pass->dialog, kIdProgress, position);
    }
    KeepAnswering(pass->dialog);
}

void LockDialogControls(const Window* dialog, bool locked) {
    for (int32_t id : kLockedDuringPass) EnableItem(dialog, id, !locked);
}

void BeginDialogPass(DialogPass* pass, const Window* dialog) {
    pass->dialog = dialog;
    pass->position = -1;
    pass->progress.tell = TellProgress;
    pass->progress.context = pass;
    sPassRunning = true;
    LockDialogControls(dialog, true);
    SetItemProgress(dialog, kIdProgress, 0);
    ShowItem(dialog, kIdProgress, true);
}

void EndDialogPass(DialogPass* pass, bool unlock) {
    ShowItem(pass->dialog, kIdProgress, false);
    if (unlock) LockDialogControls(pass->dialog, false);
    sPassRunning = false;
}

bool IsDialogPassRunning() {
    return sPassRunning;
}
