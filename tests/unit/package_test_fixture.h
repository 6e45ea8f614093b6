// Setups made byte by byte for the package engine's tests: a stub of zeros,
// the signature, the stream header and a raw LZMA stream of a record stream,
// each piece open to damage.
#pragma once
#include <stdint.h>

#include <string>
#include <vector>

#include "lzma_encode.h"
#include "package/package_run.h"

namespace test {

struct SetupLayout {
    uint32_t stubSize = kSearchStart;  // zero bytes in front of the signature
    bool endMarker = true;
    int propsByte0 = -1;               // overrides the first property byte
    int64_t dictionary = -1;           // overrides the dictionary size in the properties
    int64_t unpacked = -1;             // overrides the unpacked size (else the stream's length)
    size_t keepCompressed = SIZE_MAX;  // cuts the compressed data after this many bytes
};

inline std::string CompressForTest(const std::vector<uint8_t>& stream, bool endMarker) {
    size_t at = 0;
    std::string out, error;
    ByteSource source = [&](uint8_t* buffer, size_t capacity) {
        size_t n = std::min(capacity, stream.size() - at);
        std::copy(stream.begin() + static_cast<std::ptrdiff_t>(at),
                  stream.begin() + static_cast<std::ptrdiff_t>(at + n), buffer);
        at += n;
        return static_cast<int64_t>(n);
    };
    ByteSink sink = [&](const uint8_t* bytes, size_t n) {
        out.append(reinterpret_cast<const char*>(bytes), n);
        return true;
    };
    if (!EncodeLzmaStream(source, sink, nullptr, endMarker, kBestLevel, &error)) return "";
    return out;
}

inline std::string PackageBytes(const std::vector<uint8_t>& stream, const SetupLayout& layout) {
    std::string bytes(reinterpret_cast<const char*>(kPackageSignature), 4);
    uint8_t props[5];
    PackageLzmaProperties(props);
    if (layout.propsByte0 >= 0) props[0] = static_cast<uint8_t>(layout.propsByte0);
    if (layout.dictionary >= 0)
        for (int k = 0; k < 4; ++k) props[1 + k] = static_cast<uint8_t>(static_cast<uint64_t>(layout.dictionary) >> (8 * k));
    bytes.append(reinterpret_cast<const char*>(props), 5);
    uint32_t unpacked = layout.unpacked >= 0 ? static_cast<uint32_t>(layout.unpacked) : static_cast<uint32_t>(stream.size());
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<char>(unpacked >> shift));
    std::string compressed = CompressForTest(stream, layout.endMarker);
    if (compressed.size() > layout.keepCompressed) compressed.resize(layout.keepCompressed);
    return bytes + compressed;
}

inline std::string SetupBytes(const std::vector<uint8_t>& stream, const SetupLayout& layout = SetupLayout()) {
    return std::string(layout.stubSize, '\0') + PackageBytes(stream, layout);
}

}  // namespace test
