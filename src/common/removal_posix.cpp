#include "common/removal.h"

#include <errno.h>
#include <unistd.h>

#include "common/files.h"
#include "common/native_path.h"

bool RemoveFolder(const char16_t* path) {
    char native[kNativePathCapacity];
    if (!ToNativePath(path, native)) return false;
    if (rmdir(native) == 0) return true;
    // A folder that still holds something is refused as Windows refuses it.
    SetLastErrorCode(errno == ENOTEMPTY || errno == EEXIST ? kErrorDirNotEmpty : WindowsCodeOfErrno(errno, native));
    return false;
}

bool DeleteAtRestart(const char16_t*) {
    SetLastErrorCode(kErrorNotSupported);
    return false;
}
