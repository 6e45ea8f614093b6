// The platform registry layer in our own words: one string value read, a key
// created, string and number values written.
// Windows reaches the real registry; elsewhere a small store file of our own
// stands in for it (docs/registry-and-shortcuts.md).
#pragma once
#include <stdint.h>

enum RegistryRoot : int32_t { kCurrentUser = 0, kLocalMachine = 1 };

struct RegistryKey {
    RegistryRoot root;
    void* handle;              // HKEY on Windows
    char16_t path[512];        // the key path elsewhere
};

// RegOpenKeyExW(KEY_READ): true when the key exists.
bool OpenRegistryKey(RegistryRoot root, const char16_t* path, RegistryKey* key);
// RegCreateKeyExW(KEY_WRITE), the key made when missing: true on success.
bool CreateRegistryKey(RegistryRoot root, const char16_t* path, RegistryKey* key);
// RegQueryValueExW: false when the value is missing or its data does not fit
// in byteCount bytes. On success the buffer holds the data as stored and is
// terminated within byteCount / 2 places (data that fills them without a
// terminator counts as too large).
bool ReadRegistryString(const RegistryKey* key, const char16_t* name, char16_t* buffer, uint32_t byteCount);
// RegSetValueExW(REG_SZ) with the given byte count: the first byteCount / 2
// characters of data are stored, a terminator among them included.
bool WriteRegistryString(const RegistryKey* key, const char16_t* name, const char16_t* data, uint32_t byteCount);
// RegSetValueExW(REG_DWORD).
bool WriteRegistryNumber(const RegistryKey* key, const char16_t* name, uint32_t value);
void CloseRegistryKey(RegistryKey* key);

