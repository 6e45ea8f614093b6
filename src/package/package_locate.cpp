// The signature search: the package starts behind the first A7 3C 5E 91 at or
// beyond offset 89999.
#include "package/package_run.h"
#include "common/test_seams.h"

#include <string.h>

bool ReadInstallerFile(DiskFile file, void* buffer, uint32_t count, uint32_t* got) {
    const TestSeams* seams = TestSeamsInForce();
    if (seams && seams->read) return seams->read(file, buffer, count, got);
    return ReadDiskFile(file, buffer, count, got);
}

// Index of the first signature starting in bytes[0 .. n-4], or -1.
static int32_t FindSignature(const uint8_t* bytes, uint32_t n) {
    for (uint32_t i = 0; i + 4 <= n; ++i) {
        if (bytes[i] != kPackageSignature[0]) continue;
        if (memcmp(bytes + i, kPackageSignature, 4) == 0) return static_cast<int32_t>(i);
    }
    return -1;
}

// The reader positions the file with a signed 32-bit distance, so a package
// counts only when its stream header lies wholly below 2 GiB; the search ends
// there. The true size still matters: a setup with gigabytes appended must not
// start its search inside the program's own image.
uint32_t FindPackageStart(DiskFile file, uint64_t size) {
    uint32_t start = size < kSearchStart ? static_cast<uint32_t>(size) : kSearchStart;
    if (!SeekDiskFile(file, static_cast<int32_t>(start))) return 0;
    // The carry starts as zeros: the signature does not begin with 0, so they never match.
    uint8_t buffer[kSearchCarry + kSearchBlock] = {};
    uint32_t blockOffset = start;  // file offset of buffer[kSearchCarry]
    for (;;) {
        uint32_t got = 0;
        if (!ReadInstallerFile(file, buffer + kSearchCarry, kSearchBlock, &got) || got == 0) return 0;
        uint32_t filled = kSearchCarry + got;
        int32_t at = FindSignature(buffer, filled);
        // buffer[at] lies at file offset blockOffset - carry + at; the package follows 4 bytes on.
        if (at >= 0) {
            uint64_t found = static_cast<uint64_t>(blockOffset) + static_cast<uint32_t>(at);
            return found + kStreamHeaderSize <= kAddressableLimit ? static_cast<uint32_t>(found) : 0;
        }
        if (got < kSearchBlock) return 0;
        if (static_cast<uint64_t>(blockOffset) + got >= kAddressableLimit) return 0;
        memmove(buffer, buffer + filled - kSearchCarry, kSearchCarry);
        blockOffset += got;
    }
}
