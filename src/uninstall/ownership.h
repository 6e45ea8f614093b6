// What the uninstaller may take as its own: links that point into its folder,
// registry values that name it, and a folder that is no system folder.
#pragma once
#include <stdint.h>

// The same path: '\' and '/' alike, ASCII letters without regard to case,
// separators at the end ignored.
bool SamePath(const char16_t* a, const char16_t* b);
// An uninstall command naming the program: its path in double quotes, as our
// setups write it, or unquoted, as older ones did.
bool CommandNamesProgram(const char16_t* command, const char16_t* programPath);
// True when path names an entry directly inside folder.
bool LiesDirectlyIn(const char16_t* path, const char16_t* folder);
// A drive root, a share root ("\\server\share"), a relative or empty path.
bool IsRootFolder(const char16_t* folder);
// A root, one of the system's special folders (the desktop, the profile and
// its parent, the documents, the Start menu, program files, Windows, ...),
// or a folder above any of them: never removed, even when empty.
bool IsProtectedFolder(const char16_t* folder);

// The product's shortcuts, each only when its target lies directly in folder:
// "<product>.lnk" and "Uninstall.lnk" in the group "<product>" of the
// all-users and of the user's Start-menu programs (the group goes when then
// empty), "<product>.lnk" on the desktop and in Quick Launch.
void RemoveShortcuts(const char16_t* product, const char16_t* folder);
// The uninstall entry of the product, only when its "UninstallString" names
// programPath, and the remembered folder of the product code, only when it
// names folder. Nothing else under either key is touched.
void RemoveRegistryEntries(const char* productName, const char* productCode, const char16_t* programPath,
                           const char16_t* folder);
