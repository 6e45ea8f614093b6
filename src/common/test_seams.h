// Fault injection for the tests, all in one record: a disk that fills up, a
// file system that fails at close, a registry store cut off mid-write, the
// package run's memory and its reads of the installer file. It exists only
// where SETUP_TEST_SEAMS is defined (the native builds the tests run in);
// elsewhere TestSeamsInForce() is a constant null the compiler folds away, so
// the Windows programs carry no seam at all. Nothing but the tests sets it.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "common/files.h"

struct TestSeams {
    // The package run's memory (decoder tables, dictionary, buffers); nullptr
    // answered is a memory shortage. Null: the heap.
    void* (*allocate)(size_t size);
    // Every read of the installer file, the search's and the stream's. Null: ReadDiskFile.
    bool (*read)(DiskFile file, void* buffer, uint32_t count, uint32_t* got);
    // Not negative: WriteDiskFile writes only this many more bytes, then fails
    // with ERROR_DISK_FULL (112), as a full disk does.
    int64_t diskBytesLeft;
    // Not 0: CloseDiskFile closes the file and then fails with this code.
    uint32_t diskCloseError;
    // Not negative: the registry store's save writes only this many bytes of
    // its temporary file and gives up there, as a crash would leave it.
    int64_t storeCrashAfterBytes;
};

// Every seam off.
constexpr TestSeams kNoTestSeams = {nullptr, nullptr, -1, 0, -1};

#ifdef SETUP_TEST_SEAMS
extern TestSeams gTestSeams;
inline TestSeams* TestSeamsInForce() { return &gTestSeams; }
#else
inline TestSeams* TestSeamsInForce() { return nullptr; }
#endif
