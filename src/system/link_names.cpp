#include "system/link_names.h"

#include "common/path.h"
#include "common/text.h"

const char16_t kQuickLaunchPath[] = u"\\Microsoft\\Internet Explorer\\Quick Launch";
const char16_t kUninstallName[] = u"Uninstall";

bool JoinLinkPath(const char16_t* folder, const char16_t* name, char16_t* link) {
    if (CopyText(folder, link, kPathCapacity) != kPathFits) return false;
    if (AppendPathPart(name, link, kPathCapacity) != kPathFits) return false;
    return AppendText(u".lnk", link, kPathCapacity) == kPathFits;
}
