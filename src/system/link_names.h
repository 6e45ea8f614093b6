// Where the product's links live and what they are called: shared by the
// setup, which makes them, and the uninstaller, which removes them.
#pragma once
#include <stdint.h>

extern const char16_t kQuickLaunchPath[];  // below the roaming application data
extern const char16_t kUninstallName[];    // the group's link to the uninstaller, "Uninstall"

// folder, a separator, name and ".lnk" (1024 places); false when that does not fit.
bool JoinLinkPath(const char16_t* folder, const char16_t* name, char16_t* link);
