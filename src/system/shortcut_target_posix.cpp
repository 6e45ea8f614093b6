// A link's target read from the file by our own reader of the link format.
#include "system/shortcut_target.h"
#include "common/files.h"
#include "common/path.h"
#include "system/shell_link.h"

namespace {

const int32_t kNoTarget = static_cast<int32_t>(0x80004005u);  // E_FAIL
const uint32_t kInvalidParameter = 87;

int32_t FromSystemError(uint32_t code) {
    return code == 0 ? 0 : static_cast<int32_t>(0x80070000u | (code & 0xFFFFu));
}

}  // namespace

int32_t GetShortcutTarget(const char16_t* linkPath, char16_t* target) {
    if (!target) return FromSystemError(kInvalidParameter);
    target[0] = 0;
    DiskFile file = kInvalidDiskFile;
    uint32_t status = linkPath ? OpenDiskFile(linkPath, &file, kDiskRead) : kInvalidParameter;
    if (status != 0) return FromSystemError(status);
    uint8_t link[kShellLinkCapacity];
    uint32_t got = 0;
    bool read = ReadDiskFile(file, link, sizeof link, &got);
    CloseDiskFile(file);
    if (!read) return FromSystemError(LastErrorOr(kErrorAccessDenied));
    return ReadShellLinkTarget(link, got, target, kPathCapacity) ? 0 : kNoTarget;
}
