// The shortcuts made after an installation: the Start-menu group, the desktop
// and Quick Launch. Nothing is reported but to the activity log; a shortcut
// that cannot be made is simply missing. A path cut to fit its buffer would name another file, so
// such a shortcut is left out rather than made in the wrong place.
#include "system/shortcuts.h"
#include "system/link_names.h"
#include "common/activity_log.h"
#include "common/files.h"
#include "common/folders.h"
#include "common/path.h"
#include "common/text.h"
#include "state/state.h"
#include "common/codepage.h"

namespace {

const char16_t kPinnedTaskbarPath[] = u"\\User Pinned\\TaskBar";

enum : int32_t { kNameCapacity = 32 };

void MakeShortcut(const char16_t* link, const char16_t* target, const char16_t* workingDirectory) {
    if (CreateShortcut(link, target, workingDirectory) == 0) NoteActivity(u"Shortcut: ", link);
}

// A desktop or Quick Launch link: named after the product, started in the
// target's own folder.
void CreateNamedShortcut(const char16_t* folder, const char16_t* target, const char16_t* name) {
    if (!folder[0] || !target || !target[0] || !name || !name[0]) return;
    char16_t link[kPathCapacity];
    if (!JoinLinkPath(folder, name, link)) return;
    char16_t workingDirectory[kPathCapacity];
    CopyText(target, workingDirectory, kPathCapacity);
    CutToParentFolder(workingDirectory);
    MakeShortcut(link, target, workingDirectory);
}

}  // namespace

void GetQuickLaunchFolder(char16_t* buffer, int32_t capacity) {
    if (!buffer || capacity <= 0) return;
    buffer[0] = 0;
    char16_t folder[kPathCapacity];
    GetSpecialFolder(kCsidlAppData, folder);
    if (!folder[0]) return;
    bool fits = AppendText(kQuickLaunchPath, folder, kPathCapacity) == kPathFits;
    int32_t length = TextLength(folder);
    fits = fits && AppendText(kPinnedTaskbarPath, folder, kPathCapacity) == kPathFits;
    // A system with a pinned taskbar gets no Quick Launch shortcut, whether or
    // not the old folder is still there.
    if (!fits || ProbePath(folder) == 0) return;
    folder[length] = 0;
    if (ProbePath(folder) != 0) return;
    if (CopyText(folder, buffer, capacity) != kPathFits) buffer[0] = 0;
}

bool HasQuickLaunchFolder() {
    char16_t folder[kPathCapacity];
    GetQuickLaunchFolder(folder, kPathCapacity);
    return folder[0] != 0;
}

void CreateDesktopShortcut(const char16_t* target, const char16_t* name) {
    char16_t folder[kPathCapacity];
    GetSpecialFolder(kCsidlDesktop, folder);
    CreateNamedShortcut(folder, target, name);
}

void CreateQuickLaunchShortcut(const char16_t* target, const char16_t* name) {
    char16_t folder[kPathCapacity];
    GetQuickLaunchFolder(folder, kPathCapacity);
    CreateNamedShortcut(folder, target, name);
}

void CreateGroupShortcut(const char16_t* shortcutName, const char16_t* folder, const char16_t* fileName,
                         const char16_t* groupFolder) {
    if (!shortcutName || !shortcutName[0] || !fileName || !fileName[0]) return;
    if (!folder || !groupFolder) return;
    char16_t target[kPathCapacity];
    if (CopyText(folder, target, kPathCapacity) != kPathFits) return;
    if (AppendPathPart(fileName, target, kPathCapacity) != kPathFits) return;
    char16_t link[kPathCapacity];
    if (!JoinLinkPath(groupFolder, shortcutName, link)) return;
    // The group's links start in the destination exactly as it was typed.
    MakeShortcut(link, target, folder);
}

void CreateStartMenuGroup(const InstallContext* context) {
    if (!context) return;
    char16_t group[kPathCapacity];
    GetSpecialFolder(kCsidlCommonPrograms, group);
    if (!group[0]) GetSpecialFolder(kCsidlPrograms, group);
    if (!group[0]) return;
    char16_t name[kNameCapacity];
    AnsiToWide(gState ? gState->productName : "", name, kNameCapacity);
    if (!name[0]) return;
    if (AppendPathPart(name, group, kPathCapacity) != kPathFits) return;
    // An existing group is left alone: a second installation neither adds to
    // nor refreshes it.
    if (CreateFolderTree(group) != 0) return;
    CreateGroupShortcut(name, context->destination, context->mainProgram, group);
    CreateGroupShortcut(kUninstallName, context->destination, context->uninstaller, group);
}
