#include <windows.h>
#include "common/files.h"
#include "common/path.h"
#include "common/wide.h"

static HANDLE AsHandle(DiskFile file) { return reinterpret_cast<HANDLE>(file); }

uint32_t LastErrorOr(uint32_t fallback) {
    DWORD code = GetLastError();
    return code ? code : fallback;
}

void SetLastErrorCode(uint32_t code) { SetLastError(code); }

int32_t ProbePath(const char16_t* path) {
    return GetFileAttributesW(as_wcstr(path)) == INVALID_FILE_ATTRIBUTES ? -1 : 0;
}

uint32_t OpenDiskFile(const char16_t* path, DiskFile* file, uint32_t mode) {
    HANDLE h = mode == kDiskWrite
        ? CreateFileW(as_wcstr(path), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL, nullptr)
        : CreateFileW(as_wcstr(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return LastErrorOr(ERROR_ACCESS_DENIED);
    *file = reinterpret_cast<DiskFile>(h);
    return 0;
}

bool CloseDiskFile(DiskFile file) {
    if (file == kInvalidDiskFile) return true;
    return CloseHandle(AsHandle(file)) != 0;
}

uint64_t GetDiskFileSize(DiskFile file) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(AsHandle(file), &size)) return 0;
    return static_cast<uint64_t>(size.QuadPart);
}

bool SeekDiskFile(DiskFile file, int32_t offset) {
    return SetFilePointer(AsHandle(file), offset, nullptr, FILE_BEGIN) != INVALID_SET_FILE_POINTER;
}

bool ReadDiskFile(DiskFile file, void* buffer, uint32_t count, uint32_t* got) {
    DWORD n = 0;
    BOOL ok = ReadFile(AsHandle(file), buffer, count, &n, nullptr);
    *got = n;
    return ok != 0;
}

bool WriteDiskFile(DiskFile file, const void* buffer, uint32_t count, uint32_t* written) {
    DWORD n = 0;
    BOOL ok = WriteFile(AsHandle(file), buffer, count, &n, nullptr);
    *written = n;
    return ok != 0;
}

bool SetDiskFileTime(DiskFile file, uint64_t fileTime) {
    FILETIME t;
    t.dwLowDateTime = static_cast<DWORD>(fileTime);
    t.dwHighDateTime = static_cast<DWORD>(fileTime >> 32);
    return SetFileTime(AsHandle(file), &t, &t, &t) != 0;
}

bool CreateFolder(const char16_t* path) { return CreateDirectoryW(as_wcstr(path), nullptr) != 0; }

bool MoveDiskFile(const char16_t* from, const char16_t* to) {
    return MoveFileW(as_wcstr(from), as_wcstr(to)) != 0;
}

bool DeleteDiskFile(const char16_t* path) { return DeleteFileW(as_wcstr(path)) != 0; }
