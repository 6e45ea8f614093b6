// The uninstaller's lists of earlier versions. A setup that brings UnInst.lst
// into a folder that holds one with other contents keeps the older list
// beside it as UnInst-<n>.lst, so that the uninstaller knows every version's
// files; UnInst.lst is always the version installed last.
#pragma once
#include <stdint.h>

extern const char16_t kListFileName[];         // "UnInst.lst"
extern const char16_t kUninstallerFileName[];  // "UnInst.exe"

enum : int32_t { kKeptListsMost = 256 };  // kept lists a folder holds at most

// folder\UnInst.lst; false when it does not fit.
bool ListPath(const char16_t* folder, char16_t* path);
// "UnInst-<n>.lst" for n from 1 to 999999 (ASCII case ignored): its n, else 0.
int32_t KeptListNumber(const char16_t* name);
// folder\UnInst-<n>.lst; false when it does not fit.
bool KeptListPath(const char16_t* folder, int32_t number, char16_t* path);
// The numbers of the kept lists in folder, ascending; answers how many (at most capacity).
int32_t FindKeptLists(const char16_t* folder, int32_t* numbers, int32_t capacity);
// Before a new UnInst.lst is written into folder: the one there (if any) becomes
// the first free UnInst-<n>.lst, unless a kept list holds the same bytes. A
// failure leaves it to be replaced, as before.
void KeepOlderList(const char16_t* folder);
// After the new list is written: a kept list with the bytes of UnInst.lst, or
// of a kept list of a lower number, goes, so no contents are kept twice.
void DropRepeatedLists(const char16_t* folder);
