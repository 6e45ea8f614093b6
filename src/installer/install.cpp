// What the Install button does: unpack the package into the chosen folder,
// then tidy languages, register the installation and make the shortcuts.
#include "installer/install.h"

#include <string.h>

#include "common/files.h"
#include "common/folders.h"
#include "common/path.h"
#include "common/text.h"
#include "common/file_names.h"
#include "installer/pass.h"
#include "installer/placement.h"
#include "state/state.h"
#include "package/package_run.h"
#include "system/kept_lists.h"
#include "system/install_records.h"
#include "system/shortcuts.h"
#include "ui/language_list.h"
#include "ui/texts.h"
#include "ui/window.h"
#include "common/codepage.h"

enum : int32_t {
    kNameCapacity32 = 32,
    kDestinationRead = 1022,  // at most 1021 characters of the edit box
    kMessageCapacity = 1028,
    kCaptionRead = 1025
};

static void ChoosePlatformFolder(InstallContext* install) {
    // A package with both folders installs the 64-bit one.
    if (gState->platformFlags & kPlatform64) CopyText(u"64", install->platformFolder, 4);
    else if (gState->platformFlags & kPlatform32) CopyText(u"32", install->platformFolder, 4);
}

static void ReportFailure(const Window* dialog, int32_t result) {
    if (result > 0) {
        ShowSystemError(dialog, static_cast<uint32_t>(result), nullptr);
        return;
    }
    ShowTextMessage(dialog, kTextBrokenFile, gState->packagePath, kMbIconError);
}

// Languages the user unticked lose their language and help files, whoever
// wrote them; English ("US") is never cleaned up.
static void CleanUpLanguages(const Window* dialog, const char16_t* folder) {
    Window list;
    if (!GetControl(dialog, kIdLanguageList, &list)) return;
    int32_t count = GetRowCount(&list);
    for (int32_t row = 0; row < count; ++row) {
        if (GetRowCheck(&list, row) != kRowUnticked) continue;
        LanguageCode code = GetRowCode(&list, row);
        if (code == kCodeUS) continue;
        char text[8];
        LanguageCodeText(code, text);
        DeleteUnselectedLanguageFiles(folder, text);
    }
}

static void CreateShortcuts(const Window* dialog, const InstallContext* install, const char16_t* productName) {
    if (!install->mainProgram[0]) return;
    if (IsItemChecked(dialog, kIdStartMenu)) CreateStartMenuGroup(install);
    char16_t target[kPathCapacity];
    CopyText(install->destination, target, kPathCapacity);
    AppendPathPart(install->mainProgram, target, kPathCapacity);
    if (IsItemChecked(dialog, kIdDesktop)) CreateDesktopShortcut(target, productName);
    if (IsItemChecked(dialog, kIdQuickLaunch)) CreateQuickLaunchShortcut(target, productName);
}

static void ShowSuccess(const Window* dialog, const char16_t* productName) {
    char16_t message[kMessageCapacity];
    CopyText(productName, message, kMessageCapacity);
    int32_t used = TextLength(message);
    if (used + 10 < kMessageCapacity)
        LookupText(gState->textTable, kTextInstalled, message + used, kMessageCapacity - used);
    char16_t caption[kCaptionRead];
    GetWindowCaption(dialog, caption, kCaptionRead);
    ShowMessage(dialog, message, caption, kMbIconInformation);
}

// The steps after a sound install pass; none of them can fail the install.
static void FinishInstall(const Window* dialog, const InstallContext* install, const char16_t* productName) {
    SetItemText(dialog, kIdStatus, u"");
    char16_t mainPath[kPathCapacity] = u"";
    if (install->mainProgram[0]) {
        CopyText(install->destination, mainPath, kPathCapacity);
        AppendPathPart(install->mainProgram, mainPath, kPathCapacity);
    }
    char16_t cleanUpFolder[kPathCapacity];
    CopyText(mainPath[0] ? mainPath : install->destination, cleanUpFolder, kPathCapacity);
    if (mainPath[0]) CutToParentFolder(cleanUpFolder);
    CleanUpLanguages(dialog, cleanUpFolder);
    RememberInstallFolder(install->destination);
    if (install->uninstaller[0]) {
        // Windows runs the value as a command line: unquoted, a path with
        // spaces would be tried as C:\Program.exe first.
        char16_t uninstallPath[kPathCapacity], uninstallCommand[kPathCapacity + 2] = u"\"";
        CopyText(install->destination, uninstallPath, kPathCapacity);
        AppendPathPart(install->uninstaller, uninstallPath, kPathCapacity);
        AppendText(uninstallPath, uninstallCommand, kPathCapacity + 2);
        AppendText(u"\"", uninstallCommand, kPathCapacity + 2);
        char16_t version[kNameCapacity32];
        AnsiToWide(gState->productVersion, version, kNameCapacity32);
        UninstallEntry entry = {uninstallCommand, mainPath, install->destination, version, install->installedBytes};
        WriteUninstallEntry(&entry);
        DropRepeatedLists(install->destination);
    }
    CreateShortcuts(dialog, install, productName);
}

int32_t RunInstall(const Window* dialog) {
    char16_t productName[kNameCapacity32];
    AnsiToWide(gState->productName, productName, kNameCapacity32);
    InstallContext install;
    memset(&install, 0, sizeof install);
    install.dialog = dialog;
    AnsiToWide(gState->headerMainProgram, install.mainProgram, kNameCapacity32);
    // Shortcuts and the uninstall entry point at destination + mainProgram: a
    // header name with folder parts or a device would aim them elsewhere.
    if (!IsPlainFileName(install.mainProgram)) install.mainProgram[0] = 0;
    ChoosePlatformFolder(&install);
    GetItemText(dialog, kIdDestination, install.destination, kDestinationRead);
    if (!install.destination[0]) return -1;

    void* previousCursor = ShowWaitCursor();
    FailCriticalErrorsQuietly();
    // An existing folder is fine; one that cannot be made fails the package run.
    CreateFolderTree(install.destination);
    RenameOldPsapi(install.destination);
    DialogPass pass;
    BeginDialogPass(&pass, dialog);
    int32_t result = ProcessPackageWithProgress(gState->packagePath, PlaceFileCallback, &install, &pass.progress);
    EndDialogPass(&pass);
    ReportRefusedEntries(&install);
    if (result != 0) {
        RestoreCursor(previousCursor);
        ReportFailure(dialog, result);
        return result;
    }
    FinishInstall(dialog, &install, productName);
    RestoreCursor(previousCursor);
    ShowSuccess(dialog, productName);
    return 0;
}
