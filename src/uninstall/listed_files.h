// Removing the listed files: only those whose bytes are still the ones the
// setup installed, only directly in the uninstaller's folder.
#pragma once
#include <stdint.h>

struct TextTable;
struct UninstallList;

enum : int32_t {
    kKeptReportCapacity = 4096,
    kKeptLinesShown = 20   // the report names this many files, then how many more
};

struct KeptFiles {
    const TextTable* texts;   // for the reasons
    int32_t count;            // files kept, or left to be removed at restart
    int32_t shown;            // of them, named in lines
    char16_t lines[kKeptReportCapacity];  // "name (reason)" a line
};

// Deletes each listed name whose file matches the size and checksum of one of
// the lines for that name (ASCII case ignored); a changed or unreadable file
// stays, a file in use is left to the restart, and both are noted in kept.
// Names that are no plain file names, the program's own and the list's are
// passed over.
void RemoveListedFiles(const UninstallList* list, const char16_t* folder, const char16_t* programPath,
                       KeptFiles* kept);
// After the removal: every entry left in the folder that no line of the list
// names (the user's own files and folders, a kept list that was not read) is
// noted in kept; the program's own file is not, it goes last.
void NoteUnlistedEntries(const UninstallList* list, const char16_t* folder, const char16_t* programPath,
                         KeptFiles* kept);
