// The registry store file away from Windows: where it lives, how it is read
// and replaced in one step, and its line format. Text in the file is UTF-8:
//
//   [HKEY_CURRENT_USER\Software\Quillworks]
//   ED=D:\Tools\Editor%00
//
// A section line names a key under its root; each value line below it holds a
// value name, '=', and the value's characters with its terminator as %00.
// '%' escapes (two hex digits of a UTF-8 byte) keep control characters, '%'
// and the characters that would end a field out of the way.
#pragma once
#include <stdint.h>

#include "system/registry_store.h"
#include "common/unicode.h"

// A growable byte buffer (malloc'd; empty when bytes is null).
struct StoreText {
    char* bytes;
    uint32_t length;
    uint32_t capacity;
};

bool AppendStoreBytes(StoreText* text, const char* bytes, uint32_t count);
void FreeStoreText(StoreText* text);

enum StoreLoad : int32_t { kStoreLoaded, kStoreMissing, kStoreUnreadable };

// SETUP_REGISTRY, else $XDG_DATA_HOME/setup/registry.txt, else
// $HOME/.local/share/setup/registry.txt. false when none can be named.
bool RegistryStorePath(char* native, int32_t capacity);
// Reads the whole store. kStoreMissing leaves text empty.
StoreLoad LoadStoreText(const char* storePath, StoreText* text);
// Replaces the store by writing a temporary file beside it and renaming it
// over the old one, so a crash leaves either the old or the new store.
bool SaveStoreText(const char* storePath, const StoreText* text);
// Holds an advisory lock beside the store across a read-modify-write; -1 when
// the lock file cannot be made (the store cannot be written either).
int OpenStoreLock(const char* storePath);
void CloseStoreLock(int lock);
