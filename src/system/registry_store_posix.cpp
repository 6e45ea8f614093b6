// The registry layer away from Windows: keys and string values in our store
// file. Every change is one locked read-modify-replace of the file.
#include "system/registry_store.h"
#include "common/text.h"
#include "system/registry_file_posix.h"
#include "system/registry_text_posix.h"
#include "common/unicode.h"

#include <stdlib.h>
#include <string.h>

namespace {

enum : int32_t { kStorePathCapacity = 4096, kKeyPathCapacity = 512 };

bool PrepareKey(RegistryRoot root, const char16_t* path, RegistryKey* key) {
    if (!path || !key) return false;
    key->root = root;
    key->handle = nullptr;
    if (CopyText(path, key->path, kKeyPathCapacity) == kPathFits) return true;
    key->path[0] = 0;
    return false;
}

// A store that exists but cannot be read is never replaced: that would lose it.
bool UpdateStore(RegistryRoot root, const char16_t* path, const char16_t* name, const char16_t* data,
                 int32_t count, bool number = false) {
    char store[kStorePathCapacity];
    if (!RegistryStorePath(store, kStorePathCapacity)) return false;
    int lock = OpenStoreLock(store);
    if (lock < 0) return false;
    StoreText old = {nullptr, 0, 0};
    StoreText updated = {nullptr, 0, 0};
    bool ok = LoadStoreText(store, &old) != kStoreUnreadable;
    bool unchanged = ok && !name && StoreHasKey(&old, root, path, true);
    if (ok && !unchanged)
        ok = RewriteStore(&old, root, path, name, data, count, number, &updated) && SaveStoreText(store, &updated);
    FreeStoreText(&old);
    FreeStoreText(&updated);
    CloseStoreLock(lock);
    return ok;
}


}  // namespace

bool OpenRegistryKey(RegistryRoot root, const char16_t* path, RegistryKey* key) {
    RegistryKey candidate;
    if (!PrepareKey(root, path, &candidate)) return false;
    char store[kStorePathCapacity];
    if (!RegistryStorePath(store, kStorePathCapacity)) return false;
    StoreText text = {nullptr, 0, 0};
    bool found = LoadStoreText(store, &text) == kStoreLoaded && StoreHasKey(&text, root, path, false);
    FreeStoreText(&text);
    if (found) *key = candidate;
    return found;
}

bool CreateRegistryKey(RegistryRoot root, const char16_t* path, RegistryKey* key) {
    RegistryKey candidate;
    if (!PrepareKey(root, path, &candidate)) return false;
    if (!UpdateStore(root, path, nullptr, nullptr, 0)) return false;
    *key = candidate;
    return true;
}

bool ReadRegistryString(const RegistryKey* key, const char16_t* name, char16_t* buffer, uint32_t byteCount) {
    if (!key || !buffer || byteCount < 2) return false;
    int32_t capacity = static_cast<int32_t>(byteCount / 2 > 0x7FFFFFFFu ? 0x7FFFFFFFu : byteCount / 2);
    char store[kStorePathCapacity];
    int32_t n = -1;
    if (RegistryStorePath(store, kStorePathCapacity)) {
        StoreText text = {nullptr, 0, 0};
        if (LoadStoreText(store, &text) == kStoreLoaded)
            n = FindStoreValue(&text, key->root, key->path, name ? name : u"", buffer, capacity);
        FreeStoreText(&text);
    }
    if (n > 0 && buffer[n - 1] == 0) return true;
    if (n >= 0 && n < capacity) {
        buffer[n] = 0;
        return true;
    }
    buffer[0] = 0;
    return false;
}

bool WriteRegistryString(const RegistryKey* key, const char16_t* name, const char16_t* data, uint32_t byteCount) {
    if (!key) return false;
    int32_t count = static_cast<int32_t>(byteCount / 2 > 0x7FFFFFFFu ? 0x7FFFFFFFu : byteCount / 2);
    return UpdateStore(key->root, key->path, name ? name : u"", data, data ? count : 0);
}

// Kept as regedit shows a number: "dword:" and eight hex digits.
bool WriteRegistryNumber(const RegistryKey* key, const char16_t* name, uint32_t value) {
    if (!key) return false;
    static const char16_t kHex[] = u"0123456789abcdef";
    char16_t data[] = u"dword:00000000";
    for (int32_t digit = 0; digit < 8; ++digit) data[13 - digit] = kHex[(value >> (4 * digit)) & 15];
    return UpdateStore(key->root, key->path, name ? name : u"", data, 14, true);
}

void CloseRegistryKey(RegistryKey* key) {
    if (key) key->handle = nullptr;
}
