#include "uninstall/uninstall.h"

#include "common/codepage.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "system/product_windows.h"
#include "uninstall/file_list.h"
#include "uninstall/finish.h"
#include "uninstall/ownership.h"
#include "uninstall/listed_files.h"
#include "uninstall/uninstall_texts.h"

enum : int32_t {
    kTitleCapacity = 64,
    kMessageCapacity = 2200,
    kCloseWaitMilliseconds = 5000
};

namespace {

struct Run {
    const UninstallRequest* request;
    char16_t folder[kPathCapacity];
    char16_t product[32];
    char16_t title[kTitleCapacity];
};

void Tell(const Run& run, const char16_t* text, bool problem) {
    const UninstallFace& face = run.request->face;
    if (!run.request->silent && face.tell) face.tell(face.context, text, run.title, problem);
}

bool Agrees(const Run& run) {
    if (run.request->silent) return true;
    const UninstallFace& face = run.request->face;
    char16_t question[kMessageCapacity];
    FormatUninstallText(run.request->texts, kTextUninstallQuestion, run.product, run.folder, question,
                        kMessageCapacity);
    return face.ask && face.ask(face.context, question, run.title);
}

void Report(const Run& run, const KeptFiles& kept) {
    char16_t text[kKeptReportCapacity + kMessageCapacity];
    if (kept.count == 0) {
        FormatUninstallText(run.request->texts, kTextUninstallDone, run.product, nullptr, text,
                            kMessageCapacity);
    } else {
        FormatUninstallText(run.request->texts, kTextUninstallKept, nullptr, nullptr, text, kMessageCapacity);
        AppendText(u"\n", text, kKeptReportCapacity + kMessageCapacity);
        AppendText(kept.lines, text, kKeptReportCapacity + kMessageCapacity);
        // The rest are not named, but counted: "\u2026 (+N)".
        if (kept.count > kept.shown) {
            AppendText(u"\u2026 (+", text, kKeptReportCapacity + kMessageCapacity);
            AppendNumber(static_cast<uint64_t>(kept.count - kept.shown), text, kKeptReportCapacity + kMessageCapacity);
            AppendText(u")", text, kKeptReportCapacity + kMessageCapacity);
        }
    }
    Tell(run, text, kept.count != 0);
}

}  // namespace

int32_t RunUninstall(const UninstallRequest* request) {
    Run run = {};
    run.request = request;
    CopyText(request->programPath, run.folder, kPathCapacity);
    CutToParentFolder(run.folder);
    FormatUninstallText(request->texts, kTextUninstallTitle, nullptr, nullptr, run.title, kTitleCapacity);

    char16_t listPath[kPathCapacity];
    CopyText(run.folder, listPath, kPathCapacity);
    AppendPathPart(kListFileName, listPath, kPathCapacity);
    UninstallList list;
    if (LoadUninstallList(listPath, &list) != kListRead) {
        char16_t text[kMessageCapacity];
        FormatUninstallText(request->texts, kTextListDamaged, nullptr, nullptr, text, kMessageCapacity);
        Tell(run, text, true);
        return kUninstallNothing;
    }
    AnsiToWide(list.productName, run.product, 32);
    if (!Agrees(run)) {
        FreeUninstallList(&list);
        return kUninstallNothing;
    }

    // As the setup does: without a window class of its own the product's windows bear its name.
    CloseProductWindows(list.windowClass[0] ? list.windowClass : list.productName, kCloseWaitMilliseconds);
    KeptFiles kept = {};
    kept.texts = request->texts;
    RemoveListedFiles(&list, run.folder, request->programPath, &kept);
    RemoveShortcuts(run.product, run.folder);
    RemoveRegistryEntries(list.productName, list.productCode, request->programPath, run.folder);
    FreeUninstallList(&list);
    DeleteDiskFile(listPath);

    Report(run, kept);
    FinishRemoval(request->programPath, run.folder, !IsProtectedFolder(run.folder));
    return kept.count == 0 ? kUninstallDone : kUninstallKept;
}
