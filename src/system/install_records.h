// The registry records an installation writes: the remembered destination per
// product code and the uninstall entry. All silent: a record that cannot be
// written leaves the installation as it is. Each record written is noted in
// the activity log.
#pragma once
#include <stdint.h>

extern const char16_t kUrlInfoAbout[];

struct UninstallEntry {
    const char16_t* command;   // UninstallString, as it is run: the quoted program
    const char16_t* iconPath;  // DisplayIcon
    const char16_t* folder;    // InstallLocation
    const char16_t* version;   // DisplayVersion, left out when empty
    uint64_t installedBytes;   // EstimatedSize, in KiB rounded up
};

void RememberInstallFolder(const char16_t* folder);
// The key below kUninstallPrefix named after the product: the five values
// DisplayName, UninstallString, DisplayIcon, Publisher and URLInfoAbout, then
// those that settings pages and package managers read: DisplayVersion,
// InstallLocation, EstimatedSize, QuietUninstallString (the command and " /S"),
// NoModify and NoRepair.
void WriteUninstallEntry(const UninstallEntry* entry);
