// The .lnk writer. The layout follows the shell-link object's own files: a
// header, LinkInfo with a VolumeID and the target as the local base path, the
// working directory as Unicode string data, and an empty extra-data list. No
// item ID list is written; LinkInfo alone resolves a local target.
#include "system/shell_link.h"
#include "common/text.h"
#include "common/codepage.h"

namespace {

enum : uint32_t {
    kHeaderSize = 0x4C,
    kHasLinkInfo = 0x02,
    kHasWorkingDir = 0x10,
    kIsUnicode = 0x80,
    kVolumeIdAndLocalBasePath = 0x01,
    kLinkInfoHeaderSize = 0x1C,
    kLinkInfoHeaderSizeUnicode = 0x24,
    kVolumeIdSize = 0x11,  // sixteen bytes of fields and an empty label
    kDriveFixed = 3
};

const int32_t kAnsiPathCapacity = 1024;

const uint8_t kLinkClassId[16] = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                  0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};

struct LinkWriter {
    uint8_t* bytes;
    uint32_t capacity;
    uint32_t length;
    bool ok;
};

void PutBytes(LinkWriter* writer, const void* bytes, uint32_t count) {
    if (!writer->ok || writer->capacity - writer->length < count) {
        writer->ok = false;
        return;
    }
    const uint8_t* from = static_cast<const uint8_t*>(bytes);
    for (uint32_t i = 0; i < count; ++i) writer->bytes[writer->length + i] = from[i];
    writer->length += count;
}

void PutNumber(LinkWriter* writer, uint64_t value, uint32_t size) {
    uint8_t little[8];
    for (uint32_t i = 0; i < size; ++i) little[i] = static_cast<uint8_t>(value >> (8 * i));
    PutBytes(writer, little, size);
}

void PutWide(LinkWriter* writer, const char16_t* text, int32_t count) {
    for (int32_t i = 0; i < count; ++i) PutNumber(writer, text[i], 2);
}

void PutHeader(LinkWriter* writer, uint32_t flags, uint32_t showCommand) {
    PutNumber(writer, kHeaderSize, 4);
    PutBytes(writer, kLinkClassId, sizeof kLinkClassId);
    PutNumber(writer, flags, 4);
    PutNumber(writer, 0, 4);  // file attributes of the target
    PutNumber(writer, 0, 8);  // creation, access and write times
    PutNumber(writer, 0, 8);
    PutNumber(writer, 0, 8);
    PutNumber(writer, 0, 4);  // file size
    PutNumber(writer, 0, 4);  // icon index
    PutNumber(writer, showCommand, 4);
    PutNumber(writer, 0, 2);  // hot key
    PutNumber(writer, 0, 2);  // reserved
    PutNumber(writer, 0, 8);
}

// The target in the ANSI code page, and whether that loses characters (then
// the Unicode form goes along, as the format provides).
bool NeedsUnicodePath(const char16_t* target, char* ansi) {
    WideToAnsi(target, ansi, kAnsiPathCapacity);
    char16_t back[kAnsiPathCapacity];
    AnsiToWide(ansi, back, kAnsiPathCapacity);
    return !TextEquals(back, target);
}

void PutLinkInfo(LinkWriter* writer, const char16_t* target) {
    char ansi[kAnsiPathCapacity];
    bool unicode = NeedsUnicodePath(target, ansi);
    uint32_t ansiSize = static_cast<uint32_t>(TextLengthA(ansi)) + 1;
    uint32_t wideSize = (static_cast<uint32_t>(TextLength(target)) + 1) * 2;
    uint32_t headerSize = unicode ? kLinkInfoHeaderSizeUnicode : kLinkInfoHeaderSize;
    uint32_t basePath = headerSize + kVolumeIdSize;
    uint32_t suffix = basePath + ansiSize;
    uint32_t size = suffix + 1 + (unicode ? wideSize + 2 : 0);
    PutNumber(writer, size, 4);
    PutNumber(writer, headerSize, 4);
    PutNumber(writer, kVolumeIdAndLocalBasePath, 4);
    PutNumber(writer, headerSize, 4);  // the VolumeID follows the header
    PutNumber(writer, basePath, 4);
    PutNumber(writer, 0, 4);  // no network share
    PutNumber(writer, suffix, 4);
    if (unicode) {
        PutNumber(writer, suffix + 1, 4);
        PutNumber(writer, suffix + 1 + wideSize, 4);
    }
    PutNumber(writer, kVolumeIdSize, 4);
    PutNumber(writer, kDriveFixed, 4);
    PutNumber(writer, 0, 4);     // serial number
    PutNumber(writer, 0x10, 4);  // the label right after these fields
    PutNumber(writer, 0, 1);     // an empty label
    PutBytes(writer, ansi, ansiSize);
    PutNumber(writer, 0, 1);  // an empty common path suffix
    if (!unicode) return;
    PutWide(writer, target, TextLength(target) + 1);
    PutNumber(writer, 0, 2);
}

}  // namespace

uint32_t BuildShellLink(const char16_t* target, const char16_t* workingDirectory, uint32_t showCommand,
                        uint8_t* link, uint32_t capacity) {
    if (!target || !target[0] || !link) return 0;
    int32_t targetLength = TextLength(target);
    int32_t folderLength = workingDirectory ? TextLength(workingDirectory) : 0;
    if (targetLength >= kAnsiPathCapacity || folderLength > 0xFFFF) return 0;
    uint32_t flags = kHasLinkInfo | kIsUnicode;
    if (folderLength > 0) flags |= kHasWorkingDir;
    LinkWriter writer = {link, capacity, 0, true};
    PutHeader(&writer, flags, showCommand);
    PutLinkInfo(&writer, target);
    if (folderLength > 0) {
        // String data counts its characters without a terminator and holds none.
        PutNumber(&writer, static_cast<uint32_t>(folderLength), 2);
        PutWide(&writer, workingDirectory, folderLength);
    }
    PutNumber(&writer, 0, 4);  // the terminal block of the extra data
    return writer.ok ? writer.length : 0;
}

namespace {

enum : uint32_t { kHasTargetIdList = 0x01 };

struct LinkBytes {
    const uint8_t* bytes;
    uint32_t count;
};

bool NumberAt(const LinkBytes& link, uint32_t at, uint32_t size, uint32_t* value) {
    if (at > link.count || link.count - at < size) return false;
    uint32_t v = 0;
    for (uint32_t i = 0; i < size; ++i) v |= static_cast<uint32_t>(link.bytes[at + i]) << (8 * i);
    *value = v;
    return true;
}

// A terminated ANSI string inside [at, end), widened and appended.
bool AppendAnsiAt(const LinkBytes& link, uint32_t at, uint32_t end, char16_t* target, int32_t capacity) {
    char ansi[kAnsiPathCapacity];
    int32_t n = 0;
    for (uint32_t p = at; p < end; ++p, ++n) {
        if (n >= kAnsiPathCapacity) return false;
        ansi[n] = static_cast<char>(link.bytes[p]);
        if (!ansi[n]) {
            char16_t wide[kAnsiPathCapacity];
            AnsiToWide(ansi, wide, kAnsiPathCapacity);
            return AppendText(wide, target, capacity) == kPathFits;
        }
    }
    return false;
}

bool AppendWideAt(const LinkBytes& link, uint32_t at, uint32_t end, char16_t* target, int32_t capacity) {
    int32_t length = TextLength(target);
    for (uint32_t p = at; p + 1 < end; p += 2) {
        char16_t c = static_cast<char16_t>(link.bytes[p] | (link.bytes[p + 1] << 8));
        if (!c) return true;
        if (length + 1 >= capacity) return false;
        target[length++] = c;
        target[length] = 0;
    }
    return false;
}

}  // namespace

bool ReadShellLinkTarget(const uint8_t* bytes, uint32_t count, char16_t* target, int32_t capacity) {
    if (!target || capacity <= 0) return false;
    target[0] = 0;
    LinkBytes link = {bytes, bytes ? count : 0};
    uint32_t headerSize = 0, flags = 0;
    if (!NumberAt(link, 0, 4, &headerSize) || headerSize != kHeaderSize || !NumberAt(link, 0x14, 4, &flags) ||
        !(flags & kHasLinkInfo))
        return false;
    uint32_t at = kHeaderSize;
    if (flags & kHasTargetIdList) {
        uint32_t idListSize = 0;
        if (!NumberAt(link, at, 2, &idListSize)) return false;
        at += 2 + idListSize;
    }
    uint32_t infoSize = 0, infoHeader = 0, infoFlags = 0, basePath = 0, suffix = 0, basePathWide = 0,
             suffixWide = 0;
    if (!NumberAt(link, at, 4, &infoSize) || infoSize > link.count - at || !NumberAt(link, at + 4, 4, &infoHeader) ||
        !NumberAt(link, at + 8, 4, &infoFlags) || !(infoFlags & kVolumeIdAndLocalBasePath) ||
        !NumberAt(link, at + 16, 4, &basePath) || !NumberAt(link, at + 24, 4, &suffix))
        return false;
    // Every offset points inside LinkInfo, which lies inside the bytes: no sum below can wrap.
    if (basePath >= infoSize || suffix >= infoSize) return false;
    uint32_t end = at + infoSize;
    bool ok;
    if (infoHeader >= kLinkInfoHeaderSizeUnicode && NumberAt(link, at + 28, 4, &basePathWide) &&
        NumberAt(link, at + 32, 4, &suffixWide) && basePathWide != 0) {
        if (basePathWide >= infoSize || suffixWide >= infoSize) return false;
        ok = AppendWideAt(link, at + basePathWide, end, target, capacity) &&
             (suffixWide == 0 || AppendWideAt(link, at + suffixWide, end, target, capacity));
    } else {
        ok = AppendAnsiAt(link, at + basePath, end, target, capacity) &&
             AppendAnsiAt(link, at + suffix, end, target, capacity);
    }
    if (!ok) target[0] = 0;
    return ok && target[0] != 0;
}
