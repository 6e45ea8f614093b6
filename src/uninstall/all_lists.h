// Every list of the product in the uninstaller's folder: UnInst.lst, the list
// of the version installed last, and the kept lists of earlier versions
// (system/kept_lists.h) that name the same product code. A file is the
// product's while it matches a line of any of them.
#pragma once
#include <stdint.h>

#include "uninstall/file_list.h"

struct AllLists {
    UninstallList newest;      // UnInst.lst: the product's records are judged by it
    UninstallList* older;      // the sound kept lists of the same product code
    int32_t* olderNumbers;     // their n in UnInst-<n>.lst
    int32_t olderCount;
    UninstallList merged;      // every line of every list; names point into the lists' texts
};

// Reads UnInst.lst in folder (its status is the answer; nothing else is read
// unless it is kListRead), then the kept lists: a damaged one, or one of
// another product, is passed over and stays where it is.
ListStatus LoadAllLists(const char16_t* folder, AllLists* lists);
// Deletes UnInst.lst and the kept lists that were read.
void DeleteAllLists(const char16_t* folder, const AllLists* lists);
void FreeAllLists(AllLists* lists);
