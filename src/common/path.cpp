#include "common/path.h"

bool IsSeparator(char16_t c) { return c == u'\\' || c == u'/'; }

void AddTrailingSeparator(char16_t* path, int32_t capacity) {
    int32_t n = TextLength(path);
    if (n == 0 || IsSeparator(path[n - 1])) return;
    AppendText(u"\\", path, capacity);
}

PathResult AppendPathPart(const char16_t* part, char16_t* path, int32_t capacity) {
    if (!part || !path || !part[0]) return kPathFits;
    if (IsSeparator(part[0])) ++part;
    AddTrailingSeparator(path, capacity);
    return AppendText(part, path, capacity);
}

void CutToParentFolder(char16_t* path) {
    int32_t k = 0;
    for (int32_t i = 0; path[i]; ++i)
        if (IsSeparator(path[i])) k = i;
    if (k == 2 && path[1] == u':') k = 3;
    path[k] = 0;
}

int32_t FileNamePosition(const char16_t* path) {
    int32_t position = 0;
    for (int32_t i = 0; path[i]; ++i)
        if (IsSeparator(path[i])) position = i + 1;
    return position;
}
