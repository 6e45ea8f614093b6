// Files, folders and system error codes. The codes are Windows system error
// codes on every platform, so the logic above behaves the same everywhere.
#pragma once
#include <stdint.h>

typedef intptr_t DiskFile;
constexpr DiskFile kInvalidDiskFile = -1;

enum : uint32_t {
    kDiskRead = 0x80000000u,   // GENERIC_READ: an existing file, others may read
    kDiskWrite = 0x40000000u   // GENERIC_WRITE: created anew, an existing file replaced
};

enum : uint32_t {
    kErrorFileNotFound = 2,
    kErrorPathNotFound = 3,
    kErrorAccessDenied = 5,
    kErrorNotEnoughMemory = 8,
    kErrorSharingViolation = 32,
    kErrorNotSupported = 50,
    kErrorDiskFull = 112,
    kErrorDirNotEmpty = 145,
    kErrorAlreadyExists = 183
};

// 0 when a file or folder exists at path, -1 when not.
int32_t ProbePath(const char16_t* path);
// 0, or a system error code; *file is left untouched on failure.
uint32_t OpenDiskFile(const char16_t* path, DiskFile* file, uint32_t mode);
// False when the system reports an error at close (a full quota, a network
// file system that writes late): the file may be incomplete. The last error
// says why. Closing kInvalidDiskFile does nothing and succeeds.
bool CloseDiskFile(DiskFile file);
// The whole size, beyond 4 GiB too; 0 on failure.
uint64_t GetDiskFileSize(DiskFile file);
// Absolute position from the start of the file (signed 32-bit distance).
bool SeekDiskFile(DiskFile file, int32_t offset);
// Reads up to count bytes; *got = 0 at the end of the file. false on failure.
bool ReadDiskFile(DiskFile file, void* buffer, uint32_t count, uint32_t* got);
bool WriteDiskFile(DiskFile file, const void* buffer, uint32_t count, uint32_t* written);
// Creation, last-access and last-write time (100 ns units since 1601-01-01 UTC).
bool SetDiskFileTime(DiskFile file, uint64_t fileTime);

bool CreateFolder(const char16_t* path);       // one level; sets the last error
bool MoveDiskFile(const char16_t* from, const char16_t* to);
bool DeleteDiskFile(const char16_t* path);    // a read-only file is refused with 5

uint32_t LastErrorOr(uint32_t fallback);
void SetLastErrorCode(uint32_t code);
