#include "package_reading.h"

#include <stdio.h>
#include <time.h>

#include "cli.h"
#include "common/files.h"
#include "package/package_run.h"
#include "text_codec.h"

PackageGlance GlancePackage(const std::string& path) {
    PackageGlance glance;
    std::u16string wide = Utf8ToUtf16(path);
    DiskFile file = kInvalidDiskFile;
    glance.openError = OpenDiskFile(wide.c_str(), &file, kDiskRead);
    if (glance.openError != 0) return glance;
    glance.opened = true;
    uint64_t size = GetDiskFileSize(file);
    uint32_t start = size == 0 ? 0 : FindPackageStart(file, size);
    if (start != 0) {
        glance.found = true;
        glance.offset = start - 4;
        uint8_t header[kStreamHeaderSize];
        uint32_t got = 0;
        if (SeekDiskFile(file, static_cast<int32_t>(start)) && ReadDiskFile(file, header, sizeof header, &got) &&
            got == sizeof header)
            glance.unpacked = ReadBigEndian32(header + kLzmaPropertiesSize);
    }
    CloseDiskFile(file);
    return glance;
}

static std::string DamageMeaning(const PackageGlance& glance, const ExtractionContext& extraction,
                                 uint32_t streamCode) {
    if (!glance.found) return "no package: the file holds no package signature at or beyond offset 89999";
    if (streamCode != 0) return "damaged package: the compressed data is corrupt or cut short";
    if (!ExtractionEndedOnRecordBoundary(&extraction))
        return "damaged package: the package ends inside its header, a record or a file";
    return "damaged package: checksum mismatch";
}

std::string ResultMeaning(int32_t result, const PackageGlance& glance, const ExtractionContext& extraction,
                          uint32_t streamCode) {
    if (result > 0) return SystemErrorText(static_cast<uint32_t>(result));
    switch (result) {
    case 0: return "the package is sound";
    case -1: return DamageMeaning(glance, extraction, streamCode);
    case -2: return "not enough memory for the decoder";
    case -4: return "damaged package: unsupported LZMA properties";
    case -6: return "damaged package: the file ends inside the stream header";
    case -8: return "reading the file failed";
    case -11: return "the decoder failed";
    case -static_cast<int32_t>(kStopCode): return "the run was stopped";
    default: return "unknown result";
    }
}

std::string PackageDateText(uint64_t fileTime) {
    // The file time is noon local time of the package date: its local date is the date.
    const int64_t kUnixEpochIn1601Seconds = 11644473600LL;
    time_t seconds = static_cast<time_t>(static_cast<int64_t>(fileTime / 10000000u) - kUnixEpochIn1601Seconds);
    struct tm* local = localtime(&seconds);
    if (!local) return "?";
    char text[32];
    snprintf(text, sizeof text, "%04d-%02d-%02d", local->tm_year + 1900, local->tm_mon + 1, local->tm_mday);
    return text;
}
