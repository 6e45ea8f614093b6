// Fault injection for the package run. Tests point gPackageSeams at a record of
// their own to make the decoder's memory or the installer file's reads fail;
// the program never sets it, and an unset pointer costs one test per refill.
#pragma once
#include <stddef.h>
#include <stdint.h>
#include "common/files.h"

struct PackageSeams {
    // Replaces the heap for the decoder's tables and dictionary and the run's
    // two buffers; answering nullptr is a memory shortage. Null: the heap.
    void* (*allocate)(size_t size);
    // Replaces ReadDiskFile for every read of the installer file (the signature
    // search and the stream). Null: ReadDiskFile.
    bool (*read)(DiskFile file, void* buffer, uint32_t count, uint32_t* got);
};

extern const PackageSeams* gPackageSeams;

// Every read of the installer file, the search's and the stream's: the seam's
// reader when one is set, else ReadDiskFile.
bool ReadInstallerFile(DiskFile file, void* buffer, uint32_t count, uint32_t* got);
