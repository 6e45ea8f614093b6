#include "uninstall/uninstall.h"

#include "common/codepage.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "system/product_windows.h"
#include "uninstall/all_lists.h"
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

// "removed" only when the folder goes; otherwise what stays, and the folder.
void Report(const Run& run, const KeptFiles& kept, bool folderStays) {
    char16_t text[kKeptReportCapacity + kMessageCapacity];
    text[0] = 0;
    if (!folderStays) {
        FormatUninstallText(run.request->texts, kTextUninstallDone, run.product, nullptr, text,
                            kMessageCapacity);
    } else if (kept.count > 0) {
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
    if (folderStays) {
        char16_t line[kMessageCapacity];
        FormatUninstallText(run.request->texts, kTextFolderStays, run.folder, nullptr, line, kMessageCapacity);
        if (text[0]) AppendText(u"\n", text, kKeptReportCapacity + kMessageCapacity);
        AppendText(line, text, kKeptReportCapacity + kMessageCapacity);
    }
    Tell(run, text, folderStays);
}

}  // namespace

int32_t RunUninstall(const UninstallRequest* request) {
    Run run = {};
    run.request = request;
    CopyText(request->programPath, run.folder, kPathCapacity);
    CutToParentFolder(run.folder);
    FormatUninstallText(request->texts, kTextUninstallTitle, nullptr, nullptr, run.title, kTitleCapacity);

    AllLists lists;
    if (LoadAllLists(run.folder, &lists) != kListRead) {
        char16_t text[kMessageCapacity];
        FormatUninstallText(request->texts, kTextListDamaged, nullptr, nullptr, text, kMessageCapacity);
        Tell(run, text, true);
        FreeAllLists(&lists);
        return kUninstallNothing;
    }
    const UninstallList& list = lists.newest;
    AnsiToWide(list.productName, run.product, 32);
    if (!Agrees(run)) {
        FreeAllLists(&lists);
        return kUninstallNothing;
    }

    // As the setup does: without a window class of its own the product's windows bear its name.
    CloseProductWindows(list.windowClass[0] ? list.windowClass : list.productName, kCloseWaitMilliseconds);
    KeptFiles kept = {};
    kept.texts = request->texts;
    RemoveListedFiles(&lists.merged, run.folder, request->programPath, &kept);
    RemoveShortcuts(run.product, run.folder);
    RemoveRegistryEntries(list.productName, list.productCode, request->programPath, run.folder);
    DeleteAllLists(run.folder, &lists);
    NoteUnlistedEntries(&lists.merged, run.folder, request->programPath, &kept);
    FreeAllLists(&lists);

    // Once the program's file is gone too, the folder goes with it when
    // nothing else is left and it is no folder of the system's.
    bool removeFolder = !IsProtectedFolder(run.folder);
    bool folderStays = kept.count > 0 || !removeFolder;
    Report(run, kept, folderStays);
    FinishRemoval(request->programPath, run.folder, removeFolder);
    return folderStays ? kUninstallKept : kUninstallDone;
}
