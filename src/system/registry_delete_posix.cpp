// Deleting records from our registry store file, each in one locked
// read-modify-replace.
#include "system/registry_delete.h"
#include "system/registry_file_posix.h"
#include "system/registry_text_posix.h"

namespace {

enum : int32_t { kStorePathCapacity = 4096 };

// Removes a value or a whole key in one locked read-modify-replace.
bool RemoveFromStoreFile(RegistryRoot root, const char16_t* path, const char16_t* name) {
    char store[kStorePathCapacity];
    if (!path || !RegistryStorePath(store, kStorePathCapacity)) return false;
    int lock = OpenStoreLock(store);
    if (lock < 0) return false;
    StoreText old = {nullptr, 0, 0};
    StoreText updated = {nullptr, 0, 0};
    bool ok = LoadStoreText(store, &old) == kStoreLoaded && RemoveFromStore(&old, root, path, name, &updated) &&
              SaveStoreText(store, &updated);
    FreeStoreText(&old);
    FreeStoreText(&updated);
    CloseStoreLock(lock);
    return ok;
}

}  // namespace

bool DeleteRegistryValue(RegistryRoot root, const char16_t* path, const char16_t* name) {
    return name && RemoveFromStoreFile(root, path, name);
}

bool DeleteRegistryKey(RegistryRoot root, const char16_t* path) { return RemoveFromStoreFile(root, path, nullptr); }
