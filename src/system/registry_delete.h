// Deleting registry records, for the uninstaller: one value, or one key.
#pragma once
#include <stdint.h>

#include "system/registry_store.h"

// RegDeleteValueW on the key opened for setting values: true when the value was there and is gone.
bool DeleteRegistryValue(RegistryRoot root, const char16_t* path, const char16_t* name);
// RegDeleteKeyW: the key and its values, when no key lies beneath it; true when it is gone.
bool DeleteRegistryKey(RegistryRoot root, const char16_t* path);
