// The platform registry layer in our own words: one string value read, a key
// created and string values written, the environment and the Windows folder.
#pragma once
#include <stdint.h>

enum RegistryRoot : int32_t { kCurrentUser = 0, kLocalMachine = 1 };

struct RegistryKey {
    RegistryRoot root;
    void* handle;              // HKEY on Windows
    char16_t path[512];        // the key path elsewhere
};

// RegOpenKeyExW(KEY_READ): true on success.
bool OpenRegistryKey(RegistryRoot root, const char16_t* path, RegistryKey* key);
// RegCreateKeyExW(KEY_WRITE): true on success.
bool CreateRegistryKey(RegistryRoot root, const char16_t* path, RegistryKey* key);
// RegQueryValueExW: false when missing or larger than byteCount; the buffer
// receives the data as stored (terminated by the caller's rules).
bool ReadRegistryString(const RegistryKey* key, const char16_t* name, char16_t* buffer, uint32_t byteCount);
// RegSetValueExW(REG_SZ) with the given byte count.
bool WriteRegistryString(const RegistryKey* key, const char16_t* name, const char16_t* data, uint32_t byteCount);
void CloseRegistryKey(RegistryKey* key);

// GetEnvironmentVariableW: empty when unset or too long.
void ReadEnvironmentVariable(const char16_t* name, char16_t* buffer, int32_t capacity);
// GetWindowsDirectoryW: empty when unknown.
void ReadWindowsFolder(char16_t* buffer, int32_t capacity);
