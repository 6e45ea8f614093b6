// The registry layer on Windows: advapi32 in the native (64-bit) view.
#include <windows.h>

#include "system/registry_store.h"
#include "common/wide.h"

static HKEY RootHandle(RegistryRoot root) {
    return root == kLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

static void Adopt(RegistryRoot root, HKEY handle, RegistryKey* key) {
    key->root = root;
    key->handle = handle;
    key->path[0] = 0;
}

bool OpenRegistryKey(RegistryRoot root, const char16_t* path, RegistryKey* key) {
    if (!path || !key) return false;
    HKEY handle = nullptr;
    if (RegOpenKeyExW(RootHandle(root), as_wcstr(path), 0, KEY_READ, &handle) != ERROR_SUCCESS) return false;
    Adopt(root, handle, key);
    return true;
}

bool CreateRegistryKey(RegistryRoot root, const char16_t* path, RegistryKey* key) {
    if (!path || !key) return false;
    HKEY handle = nullptr;
    DWORD disposition = 0;
    LONG status = RegCreateKeyExW(RootHandle(root), as_wcstr(path), 0, nullptr, 0, KEY_WRITE, nullptr, &handle,
                                  &disposition);
    if (status != ERROR_SUCCESS) return false;
    Adopt(root, handle, key);
    return true;
}

bool ReadRegistryString(const RegistryKey* key, const char16_t* name, char16_t* buffer, uint32_t byteCount) {
    if (!key || !buffer || byteCount < 2) return false;
    DWORD size = byteCount;
    LONG status = RegQueryValueExW(static_cast<HKEY>(key->handle), name ? as_wcstr(name) : nullptr, nullptr,
                                   nullptr, reinterpret_cast<BYTE*>(buffer), &size);
    uint32_t units = size / 2;
    uint32_t capacity = byteCount / 2;
    if (status == ERROR_SUCCESS && units > 0 && buffer[units - 1] == 0) return true;
    // Data stored without its terminator is terminated here when there is room.
    if (status == ERROR_SUCCESS && units < capacity) {
        buffer[units] = 0;
        return true;
    }
    buffer[0] = 0;
    return false;
}

bool WriteRegistryString(const RegistryKey* key, const char16_t* name, const char16_t* data, uint32_t byteCount) {
    if (!key) return false;
    LONG status = RegSetValueExW(static_cast<HKEY>(key->handle), name ? as_wcstr(name) : nullptr, 0, REG_SZ,
                                 reinterpret_cast<const BYTE*>(data), data ? byteCount : 0);
    return status == ERROR_SUCCESS;
}

bool WriteRegistryNumber(const RegistryKey* key, const char16_t* name, uint32_t value) {
    if (!key) return false;
    DWORD data = value;
    LONG status = RegSetValueExW(static_cast<HKEY>(key->handle), name ? as_wcstr(name) : nullptr, 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&data), sizeof data);
    return status == ERROR_SUCCESS;
}

void CloseRegistryKey(RegistryKey* key) {
    if (!key || !key->handle) return;
    RegCloseKey(static_cast<HKEY>(key->handle));
    key->handle = nullptr;
}
