// The package inside a setup, and the file copies and comparisons the driver
// needs, all in small blocks.
#include <string.h>

#include <fstream>

#include "bench.h"

namespace {

const uint8_t kSignature[4] = {0xA7, 0x3C, 0x5E, 0x91};
constexpr uint64_t kSearchStart = 89999;
constexpr size_t kHeaderSize = 9;
constexpr size_t kBlock = 1 << 16;

uint32_t BigEndian32(const uint8_t* bytes) {
    return (static_cast<uint32_t>(bytes[0]) << 24) | (static_cast<uint32_t>(bytes[1]) << 16) |
           (static_cast<uint32_t>(bytes[2]) << 8) | bytes[3];
}

// Offset behind the first signature at or beyond 89999, or 0.
uint64_t FindSignatureEnd(std::ifstream& in) {
    std::vector<uint8_t> block(3 + kBlock);
    uint64_t base = kSearchStart;  // file offset of block[0]
    size_t carry = 0;
    in.seekg(static_cast<std::streamoff>(kSearchStart));
    while (in) {
        in.read(reinterpret_cast<char*>(block.data() + carry), kBlock);
        size_t filled = carry + static_cast<size_t>(in.gcount());
        for (size_t i = 0; i + 4 <= filled; ++i)
            if (memcmp(block.data() + i, kSignature, 4) == 0) return base + i + 4;
        // A signature may straddle two blocks: keep the last three bytes.
        carry = filled < 3 ? filled : 3;
        memmove(block.data(), block.data() + filled - carry, carry);
        base += filled - carry;
    }
    return 0;
}

}  // namespace

PackageLocation LocatePackage(const std::string& setupPath) {
    PackageLocation location;
    std::ifstream in(setupPath, std::ios::binary);
    if (!in) return location;
    in.seekg(0, std::ios::end);
    uint64_t size = static_cast<uint64_t>(in.tellg());
    uint64_t header = size > kSearchStart ? FindSignatureEnd(in) : 0;
    if (header == 0 || header + kHeaderSize > size) return location;
    in.clear();
    in.seekg(static_cast<std::streamoff>(header));
    uint8_t bytes[kHeaderSize];
    if (!in.read(reinterpret_cast<char*>(bytes), kHeaderSize)) return location;
    memcpy(location.properties, bytes, 5);
    location.unpackedSize = BigEndian32(bytes + 5);
    location.streamOffset = header + kHeaderSize;
    location.compressedSize = size - location.streamOffset;
    location.found = true;
    return location;
}

bool CopyFilePart(const std::string& from, uint64_t offset, uint64_t length, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    if (!in || !out) return false;
    in.seekg(static_cast<std::streamoff>(offset));
    std::vector<char> block(kBlock);
    while (length > 0 && in) {
        size_t want = length < kBlock ? static_cast<size_t>(length) : kBlock;
        in.read(block.data(), static_cast<std::streamsize>(want));
        size_t got = static_cast<size_t>(in.gcount());
        out.write(block.data(), static_cast<std::streamsize>(got));
        length -= got;
    }
    out.close();
    return length == 0 && static_cast<bool>(out);
}

bool SameFileContents(const std::string& a, const std::string& b) {
    std::ifstream first(a, std::ios::binary), second(b, std::ios::binary);
    if (!first || !second) return false;
    std::vector<char> x(kBlock), y(kBlock);
    for (;;) {
        first.read(x.data(), kBlock);
        second.read(y.data(), kBlock);
        std::streamsize n = first.gcount();
        if (n != second.gcount() || memcmp(x.data(), y.data(), static_cast<size_t>(n)) != 0) return false;
        if (n == 0 || !first || !second) return !first == !second && first.eof() && second.eof();
    }
}
