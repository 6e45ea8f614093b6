#include "installer/dialog_init.h"

#include "common/text.h"
#include "installer/install.h"
#include "installer/scan.h"
#include "state/state.h"
#include "package/package_run.h"
#include "ui/language_list.h"
#include "ui/texts.h"
#include "ui/window.h"

int32_t InitDialogContents(const Window* dialog, ScanFinishedHook afterScan) {
    ApplyCurrentTexts(dialog, kDialogTextIds);
    Window list;
    if (!GetControl(dialog, kIdLanguageList, &list)) return 0;
    InsertListColumns(&list, kLanguageColumns);
    SetListColumnTexts(&list, kLanguageColumns);
    ListSetExtendedStyle(&list, kListExtendedStyle);
    AddDefaultLanguageRows(&list);
    int32_t result = ProcessPackage(gState->packagePath, ScanFileCallback, const_cast<Window*>(dialog));
    // Without a class of its own, the product's windows are looked for by its name.
    if (!gState->windowClass[0])
        AppendTextA(gState->productName, gState->windowClass, sizeof gState->windowClass);
    if (afterScan) afterScan(dialog, result);
    InitDestination(dialog);
    return result;
}
