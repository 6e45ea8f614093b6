// File bytes are unscrambled and summed eight at a time: every length, every
// alignment and the largest byte values must give exactly what the byte-wise
// rule gives (each byte + 77, and s + (i + 10) + b per byte in the checksum).
#include <gtest/gtest.h>

#include <vector>

#include "package/record_stream_internal.h"

namespace {

struct Expected {
    std::vector<uint8_t> plain;
    uint32_t checksum;
};

Expected ByteWise(const std::vector<uint8_t>& scrambled, int8_t firstNameByte, uint32_t fileIndex, uint32_t before) {
    Expected expected{{}, before};
    for (uint8_t stored : scrambled) {
        uint8_t b = static_cast<uint8_t>(stored + 77);
        expected.plain.push_back(b);
        expected.checksum += static_cast<uint32_t>(static_cast<int32_t>(firstNameByte)) + fileIndex + 10 + b;
    }
    return expected;
}

std::vector<uint8_t> Pattern(int kind, size_t length) {
    std::vector<uint8_t> bytes(length);
    uint32_t state = 12345;
    for (size_t i = 0; i < length; ++i) {
        state = state * 1103515245u + 12345u;
        switch (kind) {
        case 0: bytes[i] = static_cast<uint8_t>(state >> 24); break;  // anything
        case 1: bytes[i] = static_cast<uint8_t>(0xFF - 77); break;     // plain 0xFF: the lanes' worst case
        case 2: bytes[i] = static_cast<uint8_t>(256 - 77); break;      // plain 0x00
        default: bytes[i] = static_cast<uint8_t>(i); break;            // every value, carries everywhere
        }
    }
    return bytes;
}

TEST(RecordUnscramble, MatchesTheByteWiseRuleForEveryLengthAndAlignment) {
    const size_t lengths[] = {0, 1, 7, 8, 9, 15, 16, 17, 1023, 1024, 1025, 1031, 1032, 1033, 65536, 65535 + 8};
    const struct {
        const char* name;
        int8_t first;
        uint32_t index;
    } files[] = {{"a", 'a', 1}, {"\xE4", -28, 7}, {"", 0, 4000000000u}};
    for (int kind = 0; kind < 4; ++kind)
        for (size_t length : lengths)
            for (size_t offset : {0u, 1u, 3u, 7u})
                for (const auto& file : files) {
                    ExtractionContext context;
                    InitExtractionContext(&context, nullptr, nullptr);
                    context.state = kInFile;
                    snprintf(context.ansiName, sizeof context.ansiName, "%s", file.name);
                    context.fileIndex = file.index;
                    context.fileSize = context.fileRemaining = static_cast<uint32_t>(length);
                    context.previewLength = kPreviewCapacity;  // no preview call needed
                    context.checksum = 0xFFFFFF00u;            // the sum wraps around
                    std::vector<uint8_t> stored = Pattern(kind, length);
                    std::vector<uint8_t> buffer(offset, 0x55);
                    buffer.insert(buffer.end(), stored.begin(), stored.end());
                    buffer.push_back(0x66);  // a byte of the next record must stay untouched
                    Expected expected = ByteWise(stored, file.first, file.index, 0xFFFFFF00u);
                    uint32_t used = ReadFileData(&context, buffer.data() + offset, static_cast<uint32_t>(length + 1));
                    ASSERT_EQ(used, length);
                    EXPECT_EQ(context.checksum, expected.checksum) << kind << " " << length << " " << offset;
                    EXPECT_TRUE(std::equal(expected.plain.begin(), expected.plain.end(), buffer.begin() + offset))
                        << kind << " " << length << " " << offset;
                    EXPECT_EQ(buffer.back(), 0x66);
                    EXPECT_EQ(context.fileRemaining, 0u);
                }
}

}  // namespace
