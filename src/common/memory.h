#pragma once
#include <stdint.h>

// A zero-filled block, or nullptr for size 0 or when memory is short.
void* AllocZeroed(uint32_t size);
// Frees the block *holder points to (if any) and leaves *holder empty.
template <typename T> inline void FreeAndClear(T** holder);
void FreeBlock(void* block);

template <typename T> inline void FreeAndClear(T** holder) {
    if (*holder) FreeBlock(*holder);
    *holder = nullptr;
}
