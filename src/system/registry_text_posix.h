// The line format of the registry store file (see registry_file_posix.h):
// finding keys and values in the store's text, and the text with a value set
// or a value or key removed. Lines the format does not know are carried over.
#pragma once
#include <stdint.h>

#include "system/registry_file_posix.h"
#include "system/registry_store.h"

// true when the key, or a key beneath it, is in the store.
bool StoreHasKey(const StoreText* store, RegistryRoot root, const char16_t* path, bool exactly);
// The value's characters as stored (its terminator among them) into out, no
// terminator added; their count, -1 when missing, -2 when they exceed capacity.
int32_t FindStoreValue(const StoreText* store, RegistryRoot root, const char16_t* path,
                       const char16_t* name, char16_t* out, int32_t capacity);
// The store without the value (name given) or without the key and its values
// (name null; refused when a key lies beneath it). false when there was
// nothing to remove or memory runs short.
bool RemoveFromStore(const StoreText* store, RegistryRoot root, const char16_t* path, const char16_t* name,
                     StoreText* out);
// The store with the key made (name null) or the value set to count characters
// of data, every other line kept as it was. A number's data is its line text
// ("dword:0000001c"), kept as it is; a string that would read as one has its
// first letter escaped. false when memory runs short.
bool RewriteStore(const StoreText* store, RegistryRoot root, const char16_t* path, const char16_t* name,
                  const char16_t* data, int32_t count, bool number, StoreText* out);
