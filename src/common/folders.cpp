#include "common/folders.h"
#include "common/files.h"
#include "common/path.h"

int32_t CreateFolderTree(const char16_t* path) {
    if (CreateFolder(path)) return 0;
    if (LastErrorOr(0) != kErrorPathNotFound) return 2;
    char16_t parent[kPathCapacity];
    CopyText(path, parent, kPathCapacity);
    CutToParentFolder(parent);
    if (TextLength(parent) < 4) return 2;
    int32_t r = CreateFolderTree(parent);
    if (r != 0) return r;
    return CreateFolder(path) ? 0 : 3;
}
