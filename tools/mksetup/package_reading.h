// What list, test and extract share: a look at the package before the run,
// and the words for a run's result.
#pragma once
#include <stdint.h>

#include <string>

#include "package/record_stream.h"

struct PackageGlance {
    bool opened = false;
    uint32_t openError = 0;  // system code when the file could not be opened
    bool found = false;      // a signature at or beyond the search start
    uint64_t offset = 0;     // file offset of the signature
    uint32_t unpacked = 0;   // the stream header's unpacked size (0 when cut short)
};

PackageGlance GlancePackage(const std::string& path);

// "the package is sound", "checksum mismatch", ... for a run's result. The
// decoding's own code and the parser's record tell the causes of -1 apart.
std::string ResultMeaning(int32_t result, const PackageGlance& glance, const ExtractionContext& extraction,
                          uint32_t streamCode);

// The date every file of the package gets, as YYYY-MM-DD (local time of the file time).
std::string PackageDateText(uint64_t fileTime);
