#include "system/kept_lists.h"

#include <stdlib.h>
#include <string.h>

#include "common/files.h"
#include "common/find.h"
#include "common/path.h"
#include "common/text.h"

const char16_t kListFileName[] = u"UnInst.lst";
const char16_t kUninstallerFileName[] = u"UnInst.exe";

enum : int32_t { kLargestNumber = 999999, kCompareBlock = 4096 };

int32_t KeptListNumber(const char16_t* name) {
    if (!StartsWithIgnoreCase(name, u"UnInst-")) return 0;
    const char16_t* p = name + 7;
    int32_t number = 0, digits = 0;
    for (; *p >= u'0' && *p <= u'9'; ++p, ++digits) {
        if (digits == 0 && *p == u'0') return 0;
        number = number * 10 + (*p - u'0');
        if (number > kLargestNumber) return 0;
    }
    return digits > 0 && EqualsIgnoreCase(p, u".lst") ? number : 0;
}

bool KeptListPath(const char16_t* folder, int32_t number, char16_t* path) {
    char16_t name[32] = u"UnInst-";
    AppendNumber(static_cast<uint64_t>(number), name, 32);
    AppendText(u".lst", name, 32);
    CopyText(folder, path, kPathCapacity);
    return AppendPathPart(name, path, kPathCapacity) == kPathFits;
}

static int CompareNumbers(const void* a, const void* b) {
    return *static_cast<const int32_t*>(a) - *static_cast<const int32_t*>(b);
}

int32_t FindKeptLists(const char16_t* folder, int32_t* numbers, int32_t capacity) {
    char16_t pattern[kPathCapacity], name[kPathCapacity];
    CopyText(folder, pattern, kPathCapacity);
    if (AppendPathPart(u"UnInst-*.lst", pattern, kPathCapacity) != kPathFits) return 0;
    intptr_t search = FindFirstMatch(pattern, name, kPathCapacity);
    if (search == kInvalidDiskFile) return 0;
    int32_t count = 0;
    do {
        int32_t number = KeptListNumber(name);
        if (number > 0 && count < capacity) numbers[count++] = number;
    } while (FindNextMatch(search, name, kPathCapacity));
    FindCloseMatch(search);
    qsort(numbers, static_cast<size_t>(count), sizeof *numbers, CompareNumbers);
    return count;
}

static bool SameBytes(const char16_t* a, const char16_t* b) {
    DiskFile x = kInvalidDiskFile, y = kInvalidDiskFile;
    if (OpenDiskFile(a, &x, kDiskRead) != 0) return false;
    if (OpenDiskFile(b, &y, kDiskRead) != 0) {
        CloseDiskFile(x);
        return false;
    }
    bool same = GetDiskFileSize(x) == GetDiskFileSize(y);
    uint8_t left[kCompareBlock], right[kCompareBlock];
    while (same) {
        uint32_t gotLeft = 0, gotRight = 0;
        same = ReadDiskFile(x, left, kCompareBlock, &gotLeft) && ReadDiskFile(y, right, kCompareBlock, &gotRight) &&
               gotLeft == gotRight && memcmp(left, right, gotLeft) == 0;
        if (gotLeft == 0) break;
    }
    CloseDiskFile(x);
    CloseDiskFile(y);
    return same;
}

bool ListPath(const char16_t* folder, char16_t* path) {
    CopyText(folder, path, kPathCapacity);
    return AppendPathPart(kListFileName, path, kPathCapacity) == kPathFits;
}

void KeepOlderList(const char16_t* folder) {
    char16_t current[kPathCapacity], kept[kPathCapacity];
    if (!ListPath(folder, current) || ProbePath(current) != 0) return;
    int32_t numbers[kKeptListsMost];
    int32_t count = FindKeptLists(folder, numbers, kKeptListsMost);
    if (count >= kKeptListsMost) return;
    int32_t next = 1;
    for (int32_t i = 0; i < count; ++i) {
        if (KeptListPath(folder, numbers[i], kept) && SameBytes(current, kept)) return;
        if (numbers[i] == next) ++next;
    }
    if (KeptListPath(folder, next, kept)) MoveDiskFile(current, kept);
}

void DropRepeatedLists(const char16_t* folder) {
    char16_t current[kPathCapacity], kept[kPathCapacity], earlier[kPathCapacity];
    if (!ListPath(folder, current)) return;
    int32_t numbers[kKeptListsMost];
    int32_t count = FindKeptLists(folder, numbers, kKeptListsMost);
    for (int32_t i = 0; i < count; ++i) {
        if (!KeptListPath(folder, numbers[i], kept)) continue;
        bool repeated = SameBytes(kept, current);
        for (int32_t j = 0; j < i && !repeated; ++j)
            repeated = KeptListPath(folder, numbers[j], earlier) && ProbePath(earlier) == 0 && SameBytes(kept, earlier);
        if (repeated) DeleteDiskFile(kept);
    }
}
