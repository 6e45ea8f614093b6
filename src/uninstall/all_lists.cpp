#include "uninstall/all_lists.h"

#include <string.h>

#include "common/files.h"
#include "common/memory.h"
#include "common/path.h"
#include "common/text.h"
#include "system/kept_lists.h"

static bool MergeLines(AllLists* lists) {
    int64_t total = lists->newest.fileCount;
    for (int32_t i = 0; i < lists->olderCount; ++i) total += lists->older[i].fileCount;
    lists->merged = lists->newest;
    lists->merged.files = nullptr;
    lists->merged.text = nullptr;
    lists->merged.fileCount = 0;
    if (total == 0) return true;
    if (total * static_cast<int64_t>(sizeof(ListedFile)) > 0x7FFFFFFF) return false;
    ListedFile* files = static_cast<ListedFile*>(AllocZeroed(static_cast<uint32_t>(total * sizeof(ListedFile))));
    if (!files) return false;
    int32_t at = 0;
    for (int32_t i = -1; i < lists->olderCount; ++i) {
        const UninstallList* one = i < 0 ? &lists->newest : &lists->older[i];
        if (one->fileCount <= 0) continue;
        memcpy(files + at, one->files, static_cast<size_t>(one->fileCount) * sizeof(ListedFile));
        at += one->fileCount;
    }
    lists->merged.files = files;
    lists->merged.fileCount = at;
    return true;
}

static void LoadOlderLists(const char16_t* folder, AllLists* lists) {
    int32_t numbers[kKeptListsMost];
    int32_t count = FindKeptLists(folder, numbers, kKeptListsMost);
    if (count == 0) return;
    lists->older = static_cast<UninstallList*>(AllocZeroed(static_cast<uint32_t>(count * sizeof(UninstallList))));
    lists->olderNumbers = static_cast<int32_t*>(AllocZeroed(static_cast<uint32_t>(count * sizeof(int32_t))));
    if (!lists->older || !lists->olderNumbers) return;
    for (int32_t i = 0; i < count; ++i) {
        char16_t path[kPathCapacity];
        UninstallList* list = &lists->older[lists->olderCount];
        if (!KeptListPath(folder, numbers[i], path) || LoadUninstallList(path, list) != kListRead) continue;
        if (strcmp(list->productCode, lists->newest.productCode) != 0) {
            FreeUninstallList(list);
            continue;
        }
        lists->olderNumbers[lists->olderCount++] = numbers[i];
    }
}

ListStatus LoadAllLists(const char16_t* folder, AllLists* lists) {
    memset(lists, 0, sizeof *lists);
    char16_t path[kPathCapacity];
    if (!ListPath(folder, path)) return kListMissing;
    ListStatus status = LoadUninstallList(path, &lists->newest);
    if (status != kListRead) return status;
    LoadOlderLists(folder, lists);
    // Without room for every line, the newest list's alone: never fewer than before.
    if (!MergeLines(lists)) {
        for (int32_t i = 0; i < lists->olderCount; ++i) FreeUninstallList(&lists->older[i]);
        lists->olderCount = 0;
        MergeLines(lists);
    }
    return kListRead;
}

void DeleteAllLists(const char16_t* folder, const AllLists* lists) {
    char16_t path[kPathCapacity];
    if (ListPath(folder, path)) DeleteDiskFile(path);
    for (int32_t i = 0; i < lists->olderCount; ++i)
        if (KeptListPath(folder, lists->olderNumbers[i], path)) DeleteDiskFile(path);
}

void FreeAllLists(AllLists* lists) {
    for (int32_t i = 0; i < lists->olderCount; ++i) FreeUninstallList(&lists->older[i]);
    FreeAndClear(&lists->older);
    FreeAndClear(&lists->olderNumbers);
    // The merged lines own nothing but their array.
    FreeAndClear(&lists->merged.files);
    FreeUninstallList(&lists->newest);
}
