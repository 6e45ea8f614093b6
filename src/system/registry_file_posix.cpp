// Where the registry store lives, and how it is read whole and replaced in one
// step. The store is small; a limit keeps a stray huge file from being loaded,
// and such a file is never replaced either.
#include "system/registry_file_posix.h"
#include "common/test_seams.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum : uint32_t { kStoreSizeLimit = 16u << 20, kReadChunk = 16384 };
enum : int32_t { kStorePathCapacity = 4096 };

bool FormatPath(char* out, int32_t capacity, const char* first, const char* second) {
    int n = snprintf(out, static_cast<size_t>(capacity), "%s%s", first, second);
    return n > 0 && n < capacity;
}

// mkdir -p of the folder holding path; true when that folder exists afterwards.
bool MakeParentFolders(const char* path) {
    char folder[kStorePathCapacity];
    if (!FormatPath(folder, sizeof folder, path, "")) return false;
    char* slash = strrchr(folder, '/');
    if (!slash) return true;
    if (slash == folder) return true;
    *slash = 0;
    for (char* p = folder + 1; *p; ++p) {
        if (*p != '/') continue;
        *p = 0;
        mkdir(folder, 0755);
        *p = '/';
    }
    mkdir(folder, 0755);
    struct stat st;
    return stat(folder, &st) == 0 && S_ISDIR(st.st_mode);
}

bool WriteAll(int fd, const char* bytes, uint32_t count) {
    while (count > 0) {
        ssize_t n = write(fd, bytes, count);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n;
        count -= static_cast<uint32_t>(n);
    }
    return true;
}

// The rename is only durable once the folder entry is on disk as well.
void SyncFolderOf(const char* path) {
    char folder[kStorePathCapacity];
    if (!FormatPath(folder, sizeof folder, path, "")) return;
    char* slash = strrchr(folder, '/');
    if (!slash) return;
    slash[slash == folder ? 1 : 0] = 0;
    int fd = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    close(fd);
}

bool ReadAll(int fd, StoreText* text) {
    char chunk[kReadChunk];
    for (;;) {
        ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return false;
        if (n == 0) return true;
        if (text->length + static_cast<uint32_t>(n) > kStoreSizeLimit) return false;
        if (!AppendStoreBytes(text, chunk, static_cast<uint32_t>(n))) return false;
    }
}

}  // namespace

bool AppendStoreBytes(StoreText* text, const char* bytes, uint32_t count) {
    uint64_t need = static_cast<uint64_t>(text->length) + count + 1;
    if (need > text->capacity) {
        uint64_t grown = text->capacity ? text->capacity : 4096;
        while (grown < need) grown *= 2;
        if (grown > 0xFFFFFFFFu) return false;
        char* bigger = static_cast<char*>(realloc(text->bytes, grown));
        if (!bigger) return false;
        text->bytes = bigger;
        text->capacity = static_cast<uint32_t>(grown);
    }
    if (count > 0) memcpy(text->bytes + text->length, bytes, count);
    text->length += count;
    text->bytes[text->length] = 0;
    return true;
}

void FreeStoreText(StoreText* text) {
    free(text->bytes);
    text->bytes = nullptr;
    text->length = 0;
    text->capacity = 0;
}

bool RegistryStorePath(char* native, int32_t capacity) {
    const char* chosen = getenv("SETUP_REGISTRY");
    if (chosen && *chosen) return FormatPath(native, capacity, chosen, "");
    // Relative XDG folders are to be ignored, as the base directory rules say.
    const char* data = getenv("XDG_DATA_HOME");
    if (data && data[0] == '/') return FormatPath(native, capacity, data, "/setup/registry.txt");
    const char* home = getenv("HOME");
    if (home && *home) return FormatPath(native, capacity, home, "/.local/share/setup/registry.txt");
    return false;
}

StoreLoad LoadStoreText(const char* storePath, StoreText* text) {
    text->bytes = nullptr;
    text->length = 0;
    text->capacity = 0;
    int fd = open(storePath, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? kStoreMissing : kStoreUnreadable;
    struct stat st;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kStoreSizeLimit && ReadAll(fd, text);
    close(fd);
    if (ok) return kStoreLoaded;
    FreeStoreText(text);
    return kStoreUnreadable;
}

bool SaveStoreText(const char* storePath, const StoreText* text) {
    char temporary[kStorePathCapacity];
    char suffix[32];
    snprintf(suffix, sizeof suffix, ".%ld.tmp", static_cast<long>(getpid()));
    if (!FormatPath(temporary, sizeof temporary, storePath, suffix)) return false;
    if (!MakeParentFolders(storePath)) return false;
    int fd = open(temporary, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    struct stat old;
    if (stat(storePath, &old) == 0) fchmod(fd, old.st_mode & 07777);
    uint32_t length = text->bytes ? text->length : 0;
    const TestSeams* seams = TestSeamsInForce();
    int64_t crashAfter = seams ? seams->storeCrashAfterBytes : -1;
    if (crashAfter >= 0) {
        if (static_cast<uint64_t>(crashAfter) < length) length = static_cast<uint32_t>(crashAfter);
        WriteAll(fd, text->bytes, length);
        close(fd);
        return false;
    }
    bool ok = WriteAll(fd, text->bytes, length) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (ok && rename(temporary, storePath) == 0) {
        SyncFolderOf(storePath);
        return true;
    }
    unlink(temporary);
    return false;
}

int OpenStoreLock(const char* storePath) {
    char lockPath[kStorePathCapacity];
    if (!FormatPath(lockPath, sizeof lockPath, storePath, ".lock")) return -1;
    if (!MakeParentFolders(storePath)) return -1;
    int fd = open(lockPath, O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return -1;
    while (flock(fd, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        close(fd);
        return -1;
    }
    return fd;
}

void CloseStoreLock(int lock) {
    if (lock >= 0) close(lock);
}
