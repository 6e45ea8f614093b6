// Special folders and shell links away from Windows. Each special folder is
// named by an environment variable; an unset one is a folder that is not
// available, as a failed lookup is on Windows. Links are written by our own
// .lnk writer.
#include "system/shell.h"
#include "common/files.h"
#include "common/path.h"
#include "common/native_path.h"
#include "common/text.h"
#include "system/shell_link.h"
#include "common/unicode.h"

#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const int32_t kFolderNotAvailable = static_cast<int32_t>(0x80004005u);  // E_FAIL
const uint32_t kInvalidParameter = 87;

// HRESULT_FROM_WIN32: the status the Windows shell answers for a system error.
int32_t FromSystemError(uint32_t code) {
    return code == 0 ? 0 : static_cast<int32_t>(0x80070000u | (code & 0xFFFFu));
}

const char* FolderVariable(int32_t folder) {
    switch (folder) {
    case kCsidlDesktop: return "SETUP_FOLDER_DESKTOP";
    case kCsidlPrograms: return "SETUP_FOLDER_PROGRAMS";
    case kCsidlCommonPrograms: return "SETUP_FOLDER_COMMON_PROGRAMS";
    case kCsidlAppData: return "SETUP_FOLDER_APPDATA";
    default: return nullptr;
    }
}

// A link cut short by a failed write would point nowhere; only a regular file
// is removed, never a device standing at the link's path.
void RemovePartialLink(const char16_t* path) {
    char native[kNativePathCapacity];
    struct stat st;
    if (!ToNativePath(path, native) || lstat(native, &st) != 0 || !S_ISREG(st.st_mode)) return;
    unlink(native);
}

uint32_t WriteLinkFile(const char16_t* path, const uint8_t* bytes, uint32_t size) {
    DiskFile file = kInvalidDiskFile;
    uint32_t status = OpenDiskFile(path, &file, kDiskWrite);
    if (status != 0) return status;
    uint32_t written = 0;
    bool ok = WriteDiskFile(file, bytes, size, &written);
    status = ok ? 0 : LastErrorOr(kErrorAccessDenied);
    CloseDiskFile(file);
    if (!ok) RemovePartialLink(path);
    return status;
}

}  // namespace

int32_t GetSpecialFolder(int32_t folder, char16_t* path) {
    if (!path) return kFolderNotAvailable;
    path[0] = 0;
    const char* variable = FolderVariable(folder);
    const char* value = variable ? getenv(variable) : nullptr;
    if (!value || !value[0]) return kFolderNotAvailable;
    // A value too long for the buffer is not cut: the cut path would be another folder.
    int32_t n = DecodeUtf8(value, value + strlen(value), false, path, kPathCapacity - 1);
    if (n <= 0) {
        path[0] = 0;
        return kFolderNotAvailable;
    }
    path[n] = 0;
    return 0;
}

int32_t CreateShortcut(const char16_t* linkPath, const char16_t* target, const char16_t* workingDirectory) {
    if (!linkPath || !linkPath[0]) return FromSystemError(kInvalidParameter);
    char16_t path[kPathCapacity];
    CopyTextLimited(linkPath, path, kPathCapacity);
    uint8_t link[kShellLinkCapacity];
    uint32_t size = BuildShellLink(target, workingDirectory, kShowCommandShow, link, sizeof link);
    if (size == 0) return FromSystemError(kInvalidParameter);
    return FromSystemError(WriteLinkFile(path, link, size));
}
