#include "uninstall/file_list.h"

#include <string.h>

#include "common/files.h"
#include "common/memory.h"

const char kListVersionLine[] = "Setup uninstall list 1";

static const char kVersionPrefix[] = "Setup uninstall list ";

enum : uint32_t { kReadChunk = 64 * 1024 };

// --- The checksum -----------------------------------------------------------

static uint32_t gCrcTable[256];

static void FillCrcTable() {
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        gCrcTable[n] = c;
    }
}

uint32_t UpdateChecksum(uint32_t checksum, const void* bytes, uint32_t count) {
    if (gCrcTable[1] == 0) FillCrcTable();
    const uint8_t* p = static_cast<const uint8_t*>(bytes);
    uint32_t c = ~checksum;
    for (uint32_t i = 0; i < count; ++i) c = gCrcTable[(c ^ p[i]) & 0xFF] ^ (c >> 8);
    return ~c;
}

uint32_t ChecksumOfFile(const char16_t* path, uint64_t* size, uint32_t* checksum) {
    DiskFile file = kInvalidDiskFile;
    uint32_t status = OpenDiskFile(path, &file, kDiskRead);
    if (status != 0) return status;
    uint8_t* buffer = static_cast<uint8_t*>(AllocZeroed(kReadChunk));
    bool ok = buffer != nullptr;
    if (!ok) SetLastErrorCode(kErrorNotEnoughMemory);
    uint64_t total = 0;
    uint32_t crc = 0;
    for (uint32_t got = 1; ok && got > 0;) {
        ok = ReadDiskFile(file, buffer, kReadChunk, &got);
        if (!ok) break;
        crc = UpdateChecksum(crc, buffer, got);
        total += got;
    }
    status = ok ? 0 : LastErrorOr(kErrorAccessDenied);
    FreeAndClear(&buffer);
    CloseDiskFile(file);
    *size = total;
    *checksum = crc;
    return status;
}

// --- Reading ----------------------------------------------------------------

namespace {

struct Lines {
    char* at;
    char* end;
};

// The next line without its line end (LF or CR LF), terminated in place;
// nullptr at the end of the text, and for a last line without a line end (a
// list cut short), which is never read.
char* NextLine(Lines* lines) {
    if (lines->at >= lines->end) return nullptr;
    char* line = lines->at;
    char* newline = static_cast<char*>(memchr(line, '\n', static_cast<size_t>(lines->end - line)));
    if (!newline) return nullptr;
    lines->at = newline + 1;
    if (newline > line && newline[-1] == '\r') --newline;
    *newline = 0;
    return line;
}

// "key<TAB>" at the start of the line: the rest, else nullptr.
char* FieldOf(char* line, const char* key) {
    size_t n = strlen(key);
    if (strncmp(line, key, n) != 0 || line[n] != '\t') return nullptr;
    return line + n + 1;
}

// What a writer never writes inside a value: a tab or a lone carriage return.
bool IsCleanValue(const char* value) { return !strpbrk(value, "\t\r"); }

bool CopyField(const char* value, char* out, int32_t capacity) {
    if (!value || !IsCleanValue(value) || static_cast<int32_t>(strlen(value)) >= capacity) return false;
    memcpy(out, value, strlen(value) + 1);
    return true;
}

// Decimal digits up to the stop character; false for none, other characters or overflow.
bool ReadDecimal(char** text, char stop, uint64_t* value) {
    char* p = *text;
    uint64_t v = 0;
    if (*p == stop) return false;
    for (; *p != stop; ++p) {
        if (*p < '0' || *p > '9') return false;
        uint64_t digit = static_cast<uint64_t>(*p - '0');
        if (v > (UINT64_MAX - digit) / 10) return false;
        v = v * 10 + digit;
    }
    *text = p + (stop ? 1 : 0);
    *value = v;
    return true;
}

bool ReadHex8(char** text, uint32_t* value) {
    char* p = *text;
    uint32_t v = 0;
    for (int k = 0; k < 8; ++k, ++p) {
        char c = *p;
        uint32_t digit;
        if (c >= '0' && c <= '9') digit = static_cast<uint32_t>(c - '0');
        else if (c >= 'a' && c <= 'f') digit = static_cast<uint32_t>(c - 'a' + 10);
        else return false;
        v = (v << 4) | digit;
    }
    if (*p != '\t') return false;
    *text = p + 1;
    *value = v;
    return true;
}

bool ReadListedFile(char* line, ListedFile* file) {
    char* p = FieldOf(line, "file");
    if (!p || !ReadDecimal(&p, '\t', &file->size) || !ReadHex8(&p, &file->checksum)) return false;
    if (!*p || !IsCleanValue(p) || strlen(p) >= kListNameCapacity) return false;
    file->name = p;
    return true;
}

ListStatus ReadVersion(char* line) {
    if (!line || strncmp(line, kVersionPrefix, sizeof kVersionPrefix - 1) != 0) return kListDamaged;
    return strcmp(line, kListVersionLine) == 0 ? kListRead : kListUnknownVersion;
}

ListStatus ReadHeader(Lines* lines, UninstallList* list) {
    struct Field {
        const char* key;
        char* out;
        int32_t capacity;
    } fields[] = {{"product", list->productName, sizeof list->productName},
                  {"code", list->productCode, sizeof list->productCode},
                  {"class", list->windowClass, sizeof list->windowClass},
                  {"main", list->mainProgram, sizeof list->mainProgram}};
    for (const Field& field : fields) {
        char* line = NextLine(lines);
        if (!line || !CopyField(FieldOf(line, field.key), field.out, field.capacity))
            return kListDamaged;
    }
    return list->productName[0] ? kListRead : kListDamaged;
}

int32_t CountFileLines(const char* at, const char* end) {
    int32_t count = 0;
    for (const char* p = at; p < end; ++p)
        if (*p == '\n' && end - p > 5 && memcmp(p + 1, "file\t", 5) == 0) ++count;
    return count;
}

ListStatus ReadFiles(Lines* lines, UninstallList* list) {
    int32_t capacity = CountFileLines(lines->at - 1, lines->end);
    if (capacity > 0) {
        list->files = static_cast<ListedFile*>(AllocZeroed(static_cast<uint32_t>(capacity) * sizeof(ListedFile)));
        if (!list->files) return kListDamaged;
    }
    for (char* line; (line = NextLine(lines)) != nullptr;) {
        char* end = FieldOf(line, "end");
        if (end) {
            uint64_t count = 0;
            bool counted = ReadDecimal(&end, 0, &count) && count == static_cast<uint64_t>(list->fileCount);
            return counted && lines->at >= lines->end ? kListRead : kListDamaged;
        }
        if (list->fileCount >= capacity || !ReadListedFile(line, &list->files[list->fileCount])) return kListDamaged;
        ++list->fileCount;
    }
    return kListDamaged;  // no end line, or one without its line end: the list was cut short
}

}  // namespace

ListStatus ParseUninstallList(char* text, uint32_t length, UninstallList* list) {
    memset(list, 0, sizeof *list);
    if (!text || memchr(text, 0, length)) return kListDamaged;
    Lines lines = {text, text + length};
    ListStatus status = ReadVersion(NextLine(&lines));
    if (status == kListRead) status = ReadHeader(&lines, list);
    if (status == kListRead) status = ReadFiles(&lines, list);
    if (status != kListRead) {
        FreeAndClear(&list->files);
        list->fileCount = 0;
    }
    return status;
}

ListStatus LoadUninstallList(const char16_t* path, UninstallList* list) {
    memset(list, 0, sizeof *list);
    DiskFile file = kInvalidDiskFile;
    if (OpenDiskFile(path, &file, kDiskRead) != 0) return kListMissing;
    uint64_t size = GetDiskFileSize(file);
    char* text = size > 0 && size <= kListLargest ? static_cast<char*>(AllocZeroed(static_cast<uint32_t>(size) + 1))
                                                   : nullptr;
    uint32_t have = 0;
    for (uint32_t got = 1; text && have < size && got > 0;) {
        if (!ReadDiskFile(file, text + have, static_cast<uint32_t>(size) - have, &got)) break;
        have += got;
    }
    CloseDiskFile(file);
    ListStatus status = text && have == size ? ParseUninstallList(text, have, list) : kListDamaged;
    if (status == kListRead) list->text = text;
    else FreeAndClear(&text);
    return status;
}

void FreeUninstallList(UninstallList* list) {
    FreeAndClear(&list->files);
    FreeAndClear(&list->text);
    list->fileCount = 0;
}

// --- Writing ----------------------------------------------------------------

namespace {

struct Out {
    char* at;
    char* end;
    bool ok;
};

void Put(Out* out, const char* text) {
    size_t n = strlen(text);
    if (!out->ok || static_cast<size_t>(out->end - out->at) <= n) {
        out->ok = false;
        return;
    }
    memcpy(out->at, text, n);
    out->at += n;
    *out->at = 0;
}

// A value may hold anything but what would end its field or line.
void PutValue(Out* out, const char* text) {
    if (strpbrk(text, "\t\r\n")) out->ok = false;
    Put(out, text);
}

void PutDecimal(Out* out, uint64_t value) {
    char digits[24];
    int32_t n = 0;
    do {
        digits[n++] = static_cast<char>('0' + value % 10);
        value /= 10;
    } while (value);
    char text[24];
    for (int32_t k = 0; k < n; ++k) text[k] = digits[n - 1 - k];
    text[n] = 0;
    Put(out, text);
}

int32_t Finish(const Out& out, char* start) {
    return out.ok ? static_cast<int32_t>(out.at - start) : 0;
}

}  // namespace

int32_t FormatListHeader(const char* productName, const char* productCode, const char* windowClass,
                         const char* mainProgram, char* out, int32_t capacity) {
    Out o = {out, out + capacity, capacity > 0};
    if (o.ok) *out = 0;
    Put(&o, kListVersionLine);
    const char* keys[] = {"\r\nproduct\t", "\r\ncode\t", "\r\nclass\t", "\r\nmain\t"};
    const char* values[] = {productName, productCode, windowClass, mainProgram};
    for (int k = 0; k < 4; ++k) {
        Put(&o, keys[k]);
        PutValue(&o, values[k]);
    }
    Put(&o, "\r\n");
    return Finish(o, out);
}

int32_t FormatListedFile(uint64_t size, uint32_t checksum, const char* name, char* out, int32_t capacity) {
    static const char kHex[] = "0123456789abcdef";
    Out o = {out, out + capacity, capacity > 0 && name[0] != 0};
    if (capacity > 0) *out = 0;
    Put(&o, "file\t");
    PutDecimal(&o, size);
    char hex[11] = {'\t', 0, 0, 0, 0, 0, 0, 0, 0, '\t', 0};
    for (int k = 0; k < 8; ++k) hex[1 + k] = kHex[(checksum >> (28 - 4 * k)) & 0xF];
    Put(&o, hex);
    PutValue(&o, name);
    Put(&o, "\r\n");
    return Finish(o, out);
}

int32_t FormatListEnd(int32_t fileCount, char* out, int32_t capacity) {
    Out o = {out, out + capacity, capacity > 0 && fileCount >= 0};
    if (capacity > 0) *out = 0;
    Put(&o, "end\t");
    PutDecimal(&o, static_cast<uint64_t>(fileCount < 0 ? 0 : fileCount));
    Put(&o, "\r\n");
    return Finish(o, out);
}
