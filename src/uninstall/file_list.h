// The list of installed files that a setup carries beside its uninstaller
// (UnInst.lst): what the product is called and which bytes each file it may
// install holds. Its text is in the package's ANSI code page, as the setup's
// own names are; the layout is in docs/package-format.md.
#pragma once
#include <stdint.h>

#include "system/kept_lists.h"  // the list's and the program's file names

extern const char kListVersionLine[];  // the first line: "Setup uninstall list 1"

enum : int32_t {
    kListNameCapacity = 1024,                 // a listed file name, terminator included
    kListLargest = 256 * 1024 * 1024,         // a list longer than this is taken for damaged
    kListLineCapacity = kListNameCapacity + 48 // the longest "file" line, line end included
};

struct ListedFile {
    uint64_t size;
    uint32_t checksum;  // CRC-32 of the file's bytes
    const char* name;   // the flat file name, inside the list's text
};

struct UninstallList {
    char productName[32];   // exactly as the setup names the product
    char productCode[4];
    char windowClass[32];
    char mainProgram[32];
    ListedFile* files;      // in list order
    int32_t fileCount;
    char* text;             // owns the names
};

enum ListStatus : int32_t {
    kListRead = 0,
    kListMissing = 1,         // no list, or it cannot be read
    kListDamaged = 2,         // cut short, a line out of place, a number or a length wrong
    kListUnknownVersion = 3   // written for another version of the uninstaller
};

// CRC-32 (the polynomial of zip and PNG): start from 0, feed the bytes in any pieces.
uint32_t UpdateChecksum(uint32_t checksum, const void* bytes, uint32_t count);

// Parses the list in text (length bytes, changed in place: the list keeps
// pointers into it). On kListRead the list owns nothing yet: the caller keeps text.
ListStatus ParseUninstallList(char* text, uint32_t length, UninstallList* list);
// Reads and parses the list file at path; the list then owns its text.
ListStatus LoadUninstallList(const char16_t* path, UninstallList* list);
void FreeUninstallList(UninstallList* list);

// The list's lines, each with its line end, for whoever writes a list:
// the version line, the four header fields, one line per file, then the end
// line with the number of file lines. Each answers the bytes written into
// out (terminated), or 0 when they do not fit or a text holds a line break or tab.
int32_t FormatListHeader(const char* productName, const char* productCode, const char* windowClass,
                         const char* mainProgram, char* out, int32_t capacity);
int32_t FormatListedFile(uint64_t size, uint32_t checksum, const char* name, char* out, int32_t capacity);
int32_t FormatListEnd(int32_t fileCount, char* out, int32_t capacity);

// The checksum and size of the file at path: 0, or the system error code that
// kept it from being read (2 or 3 when there is no such file).
uint32_t ChecksumOfFile(const char16_t* path, uint64_t* size, uint32_t* checksum);
