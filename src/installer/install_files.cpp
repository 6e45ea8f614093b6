// Files around the installation that the package itself does not name: an old
// PSAPI.DLL moved aside, and the files of languages the user unticked.
#include "installer/install.h"

#include "common/files.h"
#include "common/find.h"
#include "common/path.h"
#include "common/text.h"
#include "ui/language_list.h"

// The folder and, unless it already ends in one (or is empty), a '\'.
static void StartInFolder(const char16_t* folder, char16_t* path) {
    CopyText(folder, path, kPathCapacity);
    AddTrailingSeparator(path, kPathCapacity);
}

void RenameOldPsapi(const char16_t* destination) {
    char16_t oldName[kPathCapacity];
    char16_t newName[kPathCapacity];
    StartInFolder(destination, oldName);
    StartInFolder(destination, newName);
    AppendText(u"PSAPI.DLL", oldName, kPathCapacity);
    AppendText(u"QWPSAPI.DLL", newName, kPathCapacity);
    // Nothing to move, or an earlier copy already aside: both leave things as they are.
    MoveDiskFile(oldName, newName);
}

static bool IsLanguageOrHelpFile(const char16_t* name) {
    if (TextLength(name) <= 6) return false;
    return EndsWithIgnoreCase(name, u".LNG") || EndsWithIgnoreCase(name, u".CHM");
}

// Every "*_<code>.*" goes when it is a .LNG or .CHM file, whatever its prefix.
// A code that is not plain letters and digits would widen the pattern to other
// languages' files (a code "??" matches them all), so it deletes nothing.
void DeleteUnselectedLanguageFiles(const char16_t* folder, const char* code) {
    if (!IsPlainLanguageCode(code)) return;
    char16_t pattern[kPathCapacity];
    StartInFolder(folder, pattern);
    AppendText(u"*_", pattern, kPathCapacity);
    AppendAnsiText(code, pattern, kPathCapacity);
    AppendText(u".*", pattern, kPathCapacity);
    char16_t name[kPathCapacity];
    intptr_t search = FindFirstMatch(pattern, name, kPathCapacity);
    if (search == kInvalidDiskFile) return;
    do {
        if (!IsLanguageOrHelpFile(name)) continue;
        char16_t path[kPathCapacity];
        CopyText(folder, path, kPathCapacity);
        AppendPathPart(name, path, kPathCapacity);
        DeleteDiskFile(path);
    } while (FindNextMatch(search, name, kPathCapacity));
    FindCloseMatch(search);
}
