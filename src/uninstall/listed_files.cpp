#include "uninstall/listed_files.h"

#include <stdlib.h>

#include "common/codepage.h"
#include "common/file_names.h"
#include "common/files.h"
#include "common/find.h"
#include "common/memory.h"
#include "common/path.h"
#include "common/removal.h"
#include "common/text.h"
#include "ui/error_text.h"
#include "uninstall/file_list.h"
#include "uninstall/uninstall_texts.h"

enum : int32_t { kReasonCapacity = 256 };

namespace {

char FoldA(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 32) : c; }

int CompareNames(const char* a, const char* b) {
    for (;; ++a, ++b) {
        char x = FoldA(*a), y = FoldA(*b);
        if (x != y || !x) return static_cast<unsigned char>(x) - static_cast<unsigned char>(y);
    }
}

int CompareByName(const void* a, const void* b) {
    const ListedFile* x = *static_cast<const ListedFile* const*>(a);
    const ListedFile* y = *static_cast<const ListedFile* const*>(b);
    int order = CompareNames(x->name, y->name);
    if (order) return order;
    return x < y ? -1 : (x > y ? 1 : 0);  // list order within a name: a stable sort
}

void NoteKept(KeptFiles* kept, const char16_t* name, const char16_t* reason) {
    ++kept->count;
    if (kept->shown >= kKeptLinesShown) return;
    ++kept->shown;
    AppendText(name, kept->lines, kKeptReportCapacity);
    AppendText(u" (", kept->lines, kKeptReportCapacity);
    AppendText(reason, kept->lines, kKeptReportCapacity);
    AppendText(u")\n", kept->lines, kKeptReportCapacity);
}

void NoteKeptForError(KeptFiles* kept, const char16_t* name, uint32_t code) {
    char16_t reason[kReasonCapacity] = u"";
    AppendSystemErrorText(code, reason, kReasonCapacity);
    TrimTrailingSpaces(reason);
    int32_t n = TextLength(reason);
    while (n > 0 && (reason[n - 1] == u'\n' || reason[n - 1] == u'\r' || reason[n - 1] == u'.')) reason[--n] = 0;
    NoteKept(kept, name, reason[0] ? reason : u"?");
}

void NoteKeptForText(KeptFiles* kept, const char16_t* name, int16_t id) {
    char16_t reason[kReasonCapacity];
    FormatUninstallText(kept->texts, id, nullptr, nullptr, reason, kReasonCapacity);
    NoteKept(kept, name, reason);
}

// One name, and the lines [first, last) that the list holds for it.
void RemoveOne(ListedFile* const* first, ListedFile* const* last, const char16_t* folder,
               const char16_t* programPath, KeptFiles* kept) {
    char16_t name[kListNameCapacity];
    AnsiToWide((*first)->name, name, kListNameCapacity);
    if (!IsPlainFileName(name) || EqualsIgnoreCase(name, kListFileName) || KeptListNumber(name) > 0 ||
        EqualsIgnoreCase(name, programPath + FileNamePosition(programPath)))
        return;
    char16_t path[kPathCapacity];
    CopyText(folder, path, kPathCapacity);
    if (AppendPathPart(name, path, kPathCapacity) != kPathFits) return;
    uint64_t size = 0;
    uint32_t checksum = 0;
    uint32_t status = ChecksumOfFile(path, &size, &checksum);
    if (status == kErrorFileNotFound || status == kErrorPathNotFound) return;  // not installed, or gone already
    if (status != 0) return NoteKeptForError(kept, name, status);
    bool unchanged = false;
    for (ListedFile* const* line = first; line < last && !unchanged; ++line)
        unchanged = (*line)->size == size && (*line)->checksum == checksum;
    if (!unchanged) return NoteKeptForText(kept, name, kTextReasonChanged);
    if (DeleteDiskFile(path)) return;
    // A running program's file is refused with 5, a file held open with 32:
    // those wait for the restart. Anything else is told as the system words it.
    uint32_t code = LastErrorOr(kErrorAccessDenied);
    bool inUse = code == kErrorAccessDenied || code == kErrorSharingViolation;
    if (inUse && DeleteAtRestart(path)) return NoteKeptForText(kept, name, kTextReasonInUse);
    NoteKeptForError(kept, name, code);
}

}  // namespace

void RemoveListedFiles(const UninstallList* list, const char16_t* folder, const char16_t* programPath,
                       KeptFiles* kept) {
    if (list->fileCount <= 0) return;
    uint32_t bytes = static_cast<uint32_t>(list->fileCount) * sizeof(ListedFile*);
    ListedFile** order = static_cast<ListedFile**>(AllocZeroed(bytes));
    if (!order) return;
    for (int32_t i = 0; i < list->fileCount; ++i) order[i] = &list->files[i];
    qsort(order, static_cast<size_t>(list->fileCount), sizeof(ListedFile*), CompareByName);
    for (int32_t i = 0; i < list->fileCount;) {
        int32_t end = i + 1;
        while (end < list->fileCount && CompareNames(order[i]->name, order[end]->name) == 0) ++end;
        RemoveOne(order + i, order + end, folder, programPath, kept);
        i = end;
    }
    FreeAndClear(&order);
}

static bool IsListed(const UninstallList* list, const char16_t* name) {
    char narrow[kListNameCapacity];
    WideToAnsi(name, narrow, kListNameCapacity);
    for (int32_t i = 0; i < list->fileCount; ++i)
        if (CompareNames(list->files[i].name, narrow) == 0) return true;
    return false;
}

void NoteUnlistedEntries(const UninstallList* list, const char16_t* folder, const char16_t* programPath,
                         KeptFiles* kept) {
    char16_t pattern[kPathCapacity], name[kPathCapacity];
    CopyText(folder, pattern, kPathCapacity);
    if (AppendPathPart(u"*", pattern, kPathCapacity) != kPathFits) return;
    intptr_t search = FindFirstMatch(pattern, name, kPathCapacity);
    if (search == kInvalidDiskFile) return;
    do {
        if (TextEquals(name, u".") || TextEquals(name, u"..")) continue;
        if (EqualsIgnoreCase(name, programPath + FileNamePosition(programPath)) || IsListed(list, name)) continue;
        NoteKeptForText(kept, name, KeptListNumber(name) > 0 ? kTextReasonListIgnored : kTextReasonNotListed);
    } while (FindNextMatch(search, name, kPathCapacity));
    FindCloseMatch(search);
}
