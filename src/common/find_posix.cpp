#include "common/find.h"
#include "common/path.h"
#include "common/native_path.h"

#include <dirent.h>
#include <errno.h>
#include <stdlib.h>

namespace {
struct Search {
    DIR* folder;
    char16_t pattern[kPathCapacity];
};
}  // namespace

static bool NextMatch(Search* search, char16_t* name, int32_t capacity) {
    char16_t candidate[kPathCapacity];
    while (struct dirent* entry = readdir(search->folder)) {
        FromNativeText(entry->d_name, candidate, kPathCapacity);
        if (TextEquals(candidate, u".") || TextEquals(candidate, u"..")) continue;
        if (!MatchesPattern(candidate, search->pattern)) continue;
        CopyText(candidate, name, capacity);
        return true;
    }
    SetLastErrorCode(18);  // ERROR_NO_MORE_FILES
    return false;
}

intptr_t FindFirstMatch(const char16_t* pattern, char16_t* name, int32_t capacity) {
    char16_t folder[kPathCapacity];
    CopyText(pattern, folder, kPathCapacity);
    int32_t position = FileNamePosition(folder);
    Search* search = static_cast<Search*>(calloc(1, sizeof(Search)));
    if (!search) return kInvalidDiskFile;
    CopyText(folder + position, search->pattern, kPathCapacity);
    folder[position] = 0;
    char native[kNativePathCapacity];
    if (!ToNativePath(position ? folder : u".", native)) {
        free(search);
        return kInvalidDiskFile;
    }
    search->folder = opendir(native);
    if (!search->folder) {
        SetLastErrorCode(errno == ENOENT || errno == ENOTDIR ? kErrorPathNotFound : kErrorAccessDenied);
        free(search);
        return kInvalidDiskFile;
    }
    if (!NextMatch(search, name, capacity)) {
        FindCloseMatch(reinterpret_cast<intptr_t>(search));
        SetLastErrorCode(kErrorFileNotFound);
        return kInvalidDiskFile;
    }
    return reinterpret_cast<intptr_t>(search);
}

bool FindNextMatch(intptr_t handle, char16_t* name, int32_t capacity) {
    if (handle == kInvalidDiskFile) return false;
    return NextMatch(reinterpret_cast<Search*>(handle), name, capacity);
}

void FindCloseMatch(intptr_t handle) {
    if (handle == kInvalidDiskFile) return;
    Search* search = reinterpret_cast<Search*>(handle);
    closedir(search->folder);
    free(search);
}
