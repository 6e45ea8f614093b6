// Deleting registry records through advapi32, in the native (64-bit) view.
#include <windows.h>

#include "system/registry_delete.h"
#include "common/wide.h"

static HKEY RootHandle(RegistryRoot root) {
    return root == kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

bool DeleteRegistryValue(RegistryRoot root, const char16_t* path, const char16_t* name) {
    if (!path || !name) return false;
    HKEY handle = nullptr;
    if (RegOpenKeyExW(RootHandle(root), as_wcstr(path), 0, KEY_SET_VALUE, &handle) != ERROR_SUCCESS) return false;
    LONG status = RegDeleteValueW(handle, as_wcstr(name));
    RegCloseKey(handle);
    return status == ERROR_SUCCESS;
}

bool DeleteRegistryKey(RegistryRoot root, const char16_t* path) {
    return path && RegDeleteKeyW(RootHandle(root), as_wcstr(path)) == ERROR_SUCCESS;
}
