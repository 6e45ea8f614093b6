#include "installer/dialog_init.h"

#include "common/text.h"
#include "installer/install.h"
#include "installer/pass.h"
#include "installer/scan.h"
#include "state/state.h"
#include "package/package_run.h"
#include "ui/language_list.h"
#include "ui/texts.h"
#include "ui/window.h"

bool PrepareDialogContents(const Window* dialog) {
    ApplyCurrentTexts(dialog, kDialogTextIds);
    Window list;
    if (!GetControl(dialog, kIdLanguageList, &list)) return false;
    InsertListColumns(&list, kLanguageColumns);
    SetListColumnTexts(&list, kLanguageColumns);
    ListSetExtendedStyle(&list, kListExtendedStyle);
    AddDefaultLanguageRows(&list);
    return true;
}

int32_t ScanDialogContents(const Window* dialog, ScanFinishedHook afterScan) {
    DialogPass pass;
    BeginDialogPass(&pass, dialog);
    int32_t result =
        ProcessPackageWithProgress(gState->packagePath, ScanFileCallback, const_cast<Window*>(dialog), &pass.progress);
    // A broken package offers nothing to do but read why and close.
    EndDialogPass(&pass, result == 0);
    // Without a class of its own, the product's windows are looked for by its name.
    if (!gState->windowClass[0])
        AppendTextA(gState->productName, gState->windowClass, sizeof gState->windowClass);
    if (afterScan) afterScan(dialog, result);
    InitDestination(dialog);
    return result;
}

int32_t InitDialogContents(const Window* dialog, ScanFinishedHook afterScan) {
    if (!PrepareDialogContents(dialog)) return 0;
    return ScanDialogContents(dialog, afterScan);
}
