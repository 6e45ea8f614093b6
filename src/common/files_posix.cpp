// Files and folders on POSIX, answering with the Windows system error codes
// the installer's logic expects. Both separators become '/' here.
#include "common/files.h"
#include "common/path.h"
#include "common/native_path.h"
#include "common/test_seams.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <stdio.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

static thread_local uint32_t tLastError;

uint32_t LastErrorOr(uint32_t fallback) { return tLastError ? tLastError : fallback; }
void SetLastErrorCode(uint32_t code) { tLastError = code; }

static bool Fail(int error, const char* native) {
    tLastError = WindowsCodeOfErrno(error, native);
    return false;
}

// A symbolic link counts as itself, dangling or not, as GetFileAttributesW
// reports a link and not its target: the placement then deletes the link
// instead of writing through it.
int32_t ProbePath(const char16_t* path) {
    char native[kNativePathCapacity];
    struct stat st;
    if (!ToNativePath(path, native) || lstat(native, &st) != 0) return -1;
    return 0;
}

static bool HasNoWriteBit(const struct stat& st) {
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

uint32_t OpenDiskFile(const char16_t* path, DiskFile* file, uint32_t mode) {
    char native[kNativePathCapacity];
    if (!ToNativePath(path, native)) return LastErrorOr(kErrorAccessDenied);
    struct stat st;
    int fd;
    if (mode == kDiskWrite) {
        // A folder cannot be opened as a file, and a read-only file cannot be
        // replaced: the same refusals as on Windows, also for root. A link is
        // never written through, so a file can only land where its path says.
        bool exists = lstat(native, &st) == 0;
        if (exists && (S_ISDIR(st.st_mode) || S_ISLNK(st.st_mode) || HasNoWriteBit(st))) return kErrorAccessDenied;
        fd = open(native, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    } else {
        if (stat(native, &st) == 0 && S_ISDIR(st.st_mode)) return kErrorAccessDenied;
        fd = open(native, O_RDONLY | O_CLOEXEC);
    }
    if (fd < 0) {
        Fail(errno, native);
        return LastErrorOr(kErrorAccessDenied);
    }
    *file = fd;
    return 0;
}

bool CloseDiskFile(DiskFile file) {
    if (file == kInvalidDiskFile) return true;
    // close() frees the descriptor even when it reports an error: never retried.
    bool closed = close(static_cast<int>(file)) == 0;
    if (!closed) return Fail(errno, nullptr);
    const TestSeams* seams = TestSeamsInForce();
    if (seams && seams->diskCloseError != 0) {
        tLastError = seams->diskCloseError;
        return false;
    }
    return true;
}

uint64_t GetDiskFileSize(DiskFile file) {
    struct stat st;
    if (fstat(static_cast<int>(file), &st) != 0 || st.st_size < 0) {
        Fail(errno, nullptr);
        return 0;
    }
    return static_cast<uint64_t>(st.st_size);
}

bool SeekDiskFile(DiskFile file, int32_t offset) {
    if (lseek(static_cast<int>(file), offset, SEEK_SET) < 0) return Fail(errno, nullptr);
    return true;
}

bool ReadDiskFile(DiskFile file, void* buffer, uint32_t count, uint32_t* got) {
    *got = 0;
    for (;;) {
        ssize_t n = read(static_cast<int>(file), buffer, count);
        if (n >= 0) {
            *got = static_cast<uint32_t>(n);
            return true;
        }
        if (errno != EINTR) return Fail(errno, nullptr);
    }
}

bool WriteDiskFile(DiskFile file, const void* buffer, uint32_t count, uint32_t* written) {
    *written = 0;
    const char* bytes = static_cast<const char*>(buffer);
    uint32_t room = count;
    TestSeams* seams = TestSeamsInForce();
    int64_t left = seams ? seams->diskBytesLeft : -1;
    if (left >= 0 && left < count) room = static_cast<uint32_t>(left);
    while (*written < room) {
        ssize_t n = write(static_cast<int>(file), bytes + *written, room - *written);
        if (n < 0) {
            if (errno == EINTR) continue;
            return Fail(errno, nullptr);
        }
        if (n == 0) return Fail(ENOSPC, nullptr);
        *written += static_cast<uint32_t>(n);
    }
    if (left >= 0) seams->diskBytesLeft -= *written;
    if (*written < count) return Fail(ENOSPC, nullptr);
    return true;
}

bool SetDiskFileTime(DiskFile file, uint64_t fileTime) {
    const uint64_t kTicks = 10000000u;
    const int64_t kUnixEpochIn1601Seconds = 11644473600LL;
    struct timespec times[2];
    times[0].tv_sec = static_cast<time_t>(static_cast<int64_t>(fileTime / kTicks) - kUnixEpochIn1601Seconds);
    times[0].tv_nsec = static_cast<long>((fileTime % kTicks) * 100);
    times[1] = times[0];
    if (futimens(static_cast<int>(file), times) != 0) return Fail(errno, nullptr);
    return true;
}

bool CreateFolder(const char16_t* path) {
    char native[kNativePathCapacity];
    if (!ToNativePath(path, native)) return false;
    if (mkdir(native, 0755) != 0) return Fail(errno, native);
    return true;
}

bool MoveDiskFile(const char16_t* from, const char16_t* to) {
    char source[kNativePathCapacity], target[kNativePathCapacity];
    if (!ToNativePath(from, source) || !ToNativePath(to, target)) return false;
    struct stat st;
    if (lstat(source, &st) != 0) return Fail(errno, source);
    if (lstat(target, &st) == 0) return Fail(EEXIST, target);  // never replaces, as on Windows
    if (rename(source, target) != 0) return Fail(errno, target);
    return true;
}

bool DeleteDiskFile(const char16_t* path) {
    char native[kNativePathCapacity];
    if (!ToNativePath(path, native)) return false;
    struct stat st;
    if (lstat(native, &st) != 0) return Fail(errno, native);
    if (S_ISDIR(st.st_mode) || (S_ISREG(st.st_mode) && HasNoWriteBit(st))) {
        tLastError = kErrorAccessDenied;
        return false;
    }
    if (unlink(native) != 0) return Fail(errno, native);
    return true;
}
