#include "common/memory.h"
#include <stdlib.h>

void* AllocZeroed(uint32_t size) {
    if (size == 0) return nullptr;
    return calloc(1, size);
}

void FreeBlock(void* block) { free(block); }
