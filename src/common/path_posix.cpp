#include "common/path.h"
#include "common/native_path.h"

void NormalizeFullPath(char16_t* path) {
    char16_t full[kPathCapacity];
    if (!MakeAbsolutePath(path, full, kPathCapacity)) return;
    CopyText(full, path, kPathCapacity);
}
