#include "uninstall/ownership.h"

#include "common/codepage.h"
#include "common/file_names.h"
#include "common/files.h"
#include "common/path.h"
#include "common/text.h"
#include "system/environment.h"
#include "system/registry.h"
#include "common/removal.h"
#include "system/registry_delete.h"
#include "system/shell.h"
#include "system/link_names.h"
#include "system/shortcut_target.h"

static int32_t TrimmedLength(const char16_t* path) {
    int32_t n = TextLength(path);
    while (n > 0 && IsSeparator(path[n - 1])) --n;
    return n;
}

static bool SameUnit(char16_t a, char16_t b) {
    if (IsSeparator(a) && IsSeparator(b)) return true;
    return AsciiUpper(a) == AsciiUpper(b);
}

static bool SamePrefix(const char16_t* a, const char16_t* b, int32_t n) {
    for (int32_t i = 0; i < n; ++i)
        if (!SameUnit(a[i], b[i])) return false;
    return true;
}

bool SamePath(const char16_t* a, const char16_t* b) {
    if (!a || !b) return false;
    int32_t n = TrimmedLength(a);
    return n > 0 && n == TrimmedLength(b) && SamePrefix(a, b, n);
}

bool CommandNamesProgram(const char16_t* command, const char16_t* programPath) {
    if (!command || command[0] != u'"') return SamePath(command, programPath);
    int32_t close = 1;
    while (command[close] && command[close] != u'"') ++close;
    if (command[close] != u'"' || close > kPathCapacity) return false;
    for (int32_t i = close + 1; command[i]; ++i)
        if (command[i] != u' ') return false;
    char16_t path[kPathCapacity];
    CopyText(command + 1, path, close);
    return SamePath(path, programPath);
}

bool LiesDirectlyIn(const char16_t* path, const char16_t* folder) {
    if (!path || !folder) return false;
    int32_t name = FileNamePosition(path);
    if (name < 2 || !path[name]) return false;
    int32_t parent = name - 1;
    while (parent > 0 && IsSeparator(path[parent - 1])) --parent;
    int32_t n = TrimmedLength(folder);
    return n > 0 && parent == n && SamePrefix(path, folder, n);
}

bool IsRootFolder(const char16_t* folder) {
    if (!folder) return true;
    int32_t n = TrimmedLength(folder);
    bool drive = n >= 2 && folder[1] == u':';
    if (drive) return n <= 2;
    bool share = n >= 2 && IsSeparator(folder[0]) && IsSeparator(folder[1]);
    if (!share) return !IsSeparator(folder[0]) || n == 0;  // relative, or "\" alone
    // "\\server\share" and anything shorter is a root: count the parts.
    int32_t separators = 0;
    for (int32_t i = 2; i < n; ++i)
        if (IsSeparator(folder[i]) && !IsSeparator(folder[i - 1])) ++separators;
    return separators < 2;
}

// The folder itself, or a folder above it.
static bool Covers(const char16_t* folder, const char16_t* special) {
    int32_t n = TrimmedLength(folder);
    int32_t m = TrimmedLength(special);
    if (n == 0 || m == 0 || n > m || !SamePrefix(folder, special, n)) return false;
    return n == m || IsSeparator(special[n]);
}

bool IsProtectedFolder(const char16_t* folder) {
    if (IsRootFolder(folder)) return true;
    static const int32_t kSpecial[] = {
        kCsidlDesktop,         kCsidlPrograms,          kCsidlCommonPrograms,        kCsidlAppData,
        kCsidlPersonal,        kCsidlFavorites,         kCsidlStartup,               kCsidlMyMusic,
        kCsidlMyVideo,         kCsidlFonts,             kCsidlTemplates,             kCsidlStartMenu,
        kCsidlDesktopDirectory, kCsidlCommonStartMenu,  kCsidlCommonStartup,         kCsidlCommonDesktop,
        kCsidlLocalAppData,    kCsidlCommonAppData,     kCsidlWindows,               kCsidlSystem,
        kCsidlProgramFiles,    kCsidlMyPictures,        kCsidlProfile,               kCsidlSystemX86,
        kCsidlProgramFilesX86, kCsidlCommonProgramFiles, kCsidlCommonProgramFilesX86, kCsidlCommonTemplates,
        kCsidlCommonDocuments, kCsidlCommonMusic,       kCsidlCommonPictures,        kCsidlCommonVideo};
    char16_t special[kPathCapacity];
    for (int32_t csidl : kSpecial) {
        GetSpecialFolder(csidl, special);
        if (Covers(folder, special)) return true;
    }
    // The profile's own folders (Downloads, Saved Games, Links, ...) have no
    // number of their own everywhere: every folder directly in the profile counts.
    char16_t trimmed[kPathCapacity];
    CopyText(folder, trimmed, kPathCapacity);
    for (int32_t n = TextLength(trimmed); n > 0 && IsSeparator(trimmed[n - 1]); --n) trimmed[n - 1] = 0;
    GetSpecialFolder(kCsidlProfile, special);
    if (special[0] && LiesDirectlyIn(trimmed, special)) return true;
    ReadProgramFilesDir(special, kPathCapacity);
    if (Covers(folder, special)) return true;
    ReadEnvironmentVariable(u"ProgramFiles", special, kPathCapacity);
    if (Covers(folder, special)) return true;
    ReadWindowsFolder(special, kPathCapacity);
    return Covers(folder, special);
}

namespace {

void RemoveLinkInto(const char16_t* folderOfLink, const char16_t* linkName, const char16_t* folder) {
    char16_t link[kPathCapacity];
    if (!JoinLinkPath(folderOfLink, linkName, link)) return;
    char16_t target[kPathCapacity];
    if (GetShortcutTarget(link, target) == 0 && LiesDirectlyIn(target, folder)) DeleteDiskFile(link);
}

}  // namespace

void RemoveShortcuts(const char16_t* product, const char16_t* folder) {
    // A product name that is no plain name would lead out of the folders below.
    if (!IsPlainFileName(product)) return;
    char16_t base[kPathCapacity];
    static const int32_t kProgramsFolders[] = {kCsidlCommonPrograms, kCsidlPrograms};
    for (int32_t programs : kProgramsFolders) {
        GetSpecialFolder(programs, base);
        if (!base[0] || AppendPathPart(product, base, kPathCapacity) != kPathFits) continue;
        RemoveLinkInto(base, product, folder);
        RemoveLinkInto(base, kUninstallName, folder);
        if (!IsProtectedFolder(base)) RemoveFolder(base);
    }
    GetSpecialFolder(kCsidlDesktop, base);
    if (base[0]) RemoveLinkInto(base, product, folder);
    GetSpecialFolder(kCsidlAppData, base);
    if (base[0] && AppendText(kQuickLaunchPath, base, kPathCapacity) == kPathFits)
        RemoveLinkInto(base, product, folder);
}

void RemoveRegistryEntries(const char* productName, const char* productCode, const char16_t* programPath,
                           const char16_t* folder) {
    char16_t text[kPathCapacity];
    char16_t keyPath[kUninstallKeyCapacity];
    RegistryKey key;
    AnsiToWide(productName, text, 32);
    CopyText(kUninstallPrefix, keyPath, kUninstallKeyCapacity);
    if (text[0] && AppendText(text, keyPath, kUninstallKeyCapacity) == kPathFits &&
        OpenRegistryKey(kLocalMachine, keyPath, &key)) {
        bool ours = ReadRegistryString(&key, u"UninstallString", text, sizeof text) &&
                    CommandNamesProgram(text, programPath);
        CloseRegistryKey(&key);
        if (ours) DeleteRegistryKey(kLocalMachine, keyPath);
    }
    char16_t code[4];
    AnsiToWide(productCode, code, 4);
    if (!code[0] || !OpenRegistryKey(kCurrentUser, kMakerKey, &key)) return;
    bool ours = ReadRegistryString(&key, code, text, sizeof text) && SamePath(text, folder);
    CloseRegistryKey(&key);
    if (ours) DeleteRegistryValue(kCurrentUser, kMakerKey, code);
}
