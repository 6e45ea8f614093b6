// The decoding stream on its own: chunking, stops, cut streams, and the
// failures only a seam can provoke (memory and reads).
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>

#include "package/package_run.h"
#include "common/test_seams.h"
#include "package_test_fixture.h"
#include "test_support.h"

namespace {

// Every `randomEvery`-th byte random, the others a counter: 1 gives noise, a
// large value a stream whose compressed form fits one input buffer.
std::vector<uint8_t> Pattern(size_t n, size_t randomEvery = 3) {
    std::vector<uint8_t> bytes(n);
    uint64_t x = 7;
    for (size_t i = 0; i < n; ++i) {
        x = x * 6364136223846793005ull + 1442695040888963407ull;
        bytes[i] = static_cast<uint8_t>(i % randomEvery == 0 ? x >> 56 : i);
    }
    return bytes;
}

struct Collected {
    std::vector<uint32_t> sizes;
    std::vector<uint8_t> bytes;
    size_t stopAfter = SIZE_MAX;  // answer 1 on this call
};

int32_t Collect(uint8_t* bytes, uint32_t n, void* context) {
    Collected* c = static_cast<Collected*>(context);
    c->sizes.push_back(n);
    c->bytes.insert(c->bytes.end(), bytes, bytes + n);
    return c->sizes.size() == c->stopAfter ? 1 : 0;
}

// Runs the decoding stream over a package written after `stubSize` bytes.
uint32_t Decode(const test::TempFolder& folder, const std::string& setup, uint32_t packageAt, Collected* collected) {
    EXPECT_TRUE(test::WriteWholeFile(folder.Join("setup.exe"), setup));
    DiskFile file = kInvalidDiskFile;
    EXPECT_EQ(0u, OpenDiskFile(folder.U16("setup.exe").c_str(), &file, kDiskRead));
    EXPECT_TRUE(SeekDiskFile(file, static_cast<int32_t>(packageAt + 4)));
    uint32_t code = DecodePackageStream(file, Collect, collected);
    CloseDiskFile(file);
    return code;
}

TEST(PackageStream, HandsOutChunksOfAtMost64KiBInOrder) {
    const struct {
        const char* what;
        size_t length, randomEvery;
        bool endMarker;
        std::vector<uint32_t> sizes;  // empty: only each at most 64 KiB
    } cases[] = {
        {"three chunks and a rest", 200000, 5000, true, {65536, 65536, 65536, 3392}},
        {"exactly one chunk", 65536, 5000, false, {65536}},
        {"below one chunk, no end marker", 1000, 100, false, {1000}},
        {"below one chunk, end marker", 1000, 100, true, {1000}},
        {"noise over several input buffers", 500000, 1, true, {}},
        {"noise over several input buffers, no end marker", 500000, 1, false, {}},
    };
    test::TempFolder folder;
    for (const auto& c : cases) {
        std::vector<uint8_t> stream = Pattern(c.length, c.randomEvery);
        test::SetupLayout layout;
        layout.endMarker = c.endMarker;
        Collected collected;
        EXPECT_EQ(0u, Decode(folder, test::SetupBytes(stream, layout), kSearchStart, &collected)) << c.what;
        if (!c.sizes.empty()) {
            EXPECT_EQ(c.sizes, collected.sizes) << c.what;
        }
        for (uint32_t size : collected.sizes) EXPECT_LE(size, kOutputChunkSize) << c.what;
        EXPECT_TRUE(collected.bytes == stream) << c.what;
    }
}

TEST(PackageStream, AHandlerStopEndsTheDecodingAtOnce) {
    test::TempFolder folder;
    Collected collected;
    collected.stopAfter = 2;
    EXPECT_EQ(kStopCode, Decode(folder, test::SetupBytes(Pattern(300000)), kSearchStart, &collected));
    EXPECT_EQ(2u, collected.sizes.size());
}

TEST(PackageStream, EveryByteBeforeACutReachesTheHandler) {
    test::TempFolder folder;
    std::vector<uint8_t> stream = Pattern(300000, 1);
    test::SetupLayout cut;
    cut.keepCompressed = 100000;
    Collected collected;
    EXPECT_EQ(1u, Decode(folder, test::SetupBytes(stream, cut), kSearchStart, &collected));  // corrupt / cut short
    ASSERT_GT(collected.bytes.size(), 90000u);
    ASSERT_LT(collected.bytes.size(), stream.size());
    EXPECT_TRUE(std::equal(collected.bytes.begin(), collected.bytes.end(), stream.begin()));
}

TEST(PackageStream, BytesOfTheStepThatFailsStillReachTheHandler) {
    // Below one chunk the decoder must end exactly at the declared size; data
    // that goes on is an error, reported in the same step as the last bytes.
    test::TempFolder folder;
    std::vector<uint8_t> stream = Pattern(1000, 7);
    test::SetupLayout shorter;
    shorter.unpacked = 900;
    Collected collected;
    EXPECT_EQ(1u, Decode(folder, test::SetupBytes(stream, shorter), kSearchStart, &collected));
    EXPECT_TRUE(collected.bytes == std::vector<uint8_t>(stream.begin(), stream.begin() + 900));
}

// ----- Seams -------------------------------------------------------------------

struct SeamState {
    size_t allocations = 0, failAllocation = 0, largest = 0;
    size_t reads = 0, failRead = 0;
    uint32_t readLimit = 0;  // 0: reads as asked
};
SeamState gSeam;

void* SeamAllocate(size_t size) {
    ++gSeam.allocations;
    gSeam.largest = std::max(gSeam.largest, size);
    if (gSeam.allocations == gSeam.failAllocation) return nullptr;
    return malloc(size);
}

bool SeamRead(DiskFile file, void* buffer, uint32_t count, uint32_t* got) {
    ++gSeam.reads;
    if (gSeam.reads == gSeam.failRead) {
        *got = 0;
        return false;
    }
    if (gSeam.readLimit && count > gSeam.readLimit) count = gSeam.readLimit;
    return ReadDiskFile(file, buffer, count, got);
}

struct SeamScope {
    explicit SeamScope(const SeamState& state) {
        gSeam = state;
        gTestSeams.allocate = SeamAllocate;
        gTestSeams.read = SeamRead;
    }
    ~SeamScope() { gTestSeams = kNoTestSeams; }
};

int32_t Process(const test::TempFolder& folder) {
    test::Recorder recorder;
    return ProcessPackage(folder.U16("setup.exe").c_str(), test::RecordingCallback, &recorder);
}

test::PackagePlan Small() {
    test::PackagePlan plan;
    plan.productCode = "SM";
    plan.files = {{"a.txt", std::string(70000, 'a')}, {"b.txt", "b"}};
    return plan;
}

TEST(PackageSeams, EveryFailedAllocationAnswersMinus2) {
    test::TempFolder folder;
    ASSERT_TRUE(test::WriteWholeFile(folder.Join("setup.exe"), test::SetupBytes(test::MakeRecordStream(Small()))));
    size_t allocations = 0;
    {
        SeamScope scope(SeamState{});
        ASSERT_EQ(0, Process(folder));
        allocations = gSeam.allocations;
    }
    ASSERT_GE(allocations, 3u);  // tables, dictionary, the two buffers
    for (size_t k = 1; k <= allocations; ++k) {
        SeamState state;
        state.failAllocation = k;
        SeamScope scope(state);
        EXPECT_EQ(-2, Process(folder)) << "allocation " << k;
    }
}

TEST(PackageSeams, TheDictionaryIsNoLargerThanTheStreamNeeds) {
    test::TempFolder folder;
    test::SetupLayout claim;
    claim.dictionary = 0xFFFFFFFFll;
    std::vector<uint8_t> stream = test::MakeRecordStream(Small());
    ASSERT_TRUE(test::WriteWholeFile(folder.Join("setup.exe"), test::SetupBytes(stream, claim)));
    SeamScope scope(SeamState{});
    EXPECT_EQ(0, Process(folder));
    EXPECT_LE(gSeam.largest, std::max<size_t>(stream.size(), 2 * 65536));
}

TEST(PackageSeams, EveryFailedReadIsReported) {
    test::TempFolder folder;
    ASSERT_TRUE(test::WriteWholeFile(folder.Join("setup.exe"), test::SetupBytes(test::MakeRecordStream(Small()))));
    size_t reads = 0;
    {
        SeamScope scope(SeamState{});
        ASSERT_EQ(0, Process(folder));
        reads = gSeam.reads;
    }
    // Read 1 is the signature search (a failure there finds no package); read 2
    // the stream header; the rest fill the input buffer.
    ASSERT_GE(reads, 3u);
    for (size_t k = 1; k <= reads; ++k) {
        SeamState state;
        state.failRead = k;
        SeamScope scope(state);
        EXPECT_EQ(k == 1 ? -1 : -8, Process(folder)) << "read " << k;
    }
}

TEST(PackageSeams, ShortReadsAreRepeatedUntilFilled) {
    test::TempFolder folder;
    ASSERT_TRUE(test::WriteWholeFile(folder.Join("setup.exe"), test::SetupBytes(test::MakeRecordStream(Small()))));
    for (uint32_t limit : {1u, 3u, 4000u}) {
        SeamState state;
        state.readLimit = limit;
        SeamScope scope(state);
        // The search takes a short block as the last one, so it must see whole blocks.
        gSeam.readLimit = 0;
        test::Recorder recorder;
        DiskFile file = kInvalidDiskFile;
        ASSERT_EQ(0u, OpenDiskFile(folder.U16("setup.exe").c_str(), &file, kDiskRead));
        ASSERT_EQ(kSearchStart + 4, FindPackageStart(file, GetDiskFileSize(file)));
        ASSERT_TRUE(SeekDiskFile(file, kSearchStart + 4));
        gSeam.readLimit = limit;
        ExtractionContext extraction;
        InitExtractionContext(&extraction, test::RecordingCallback, &recorder);
        EXPECT_EQ(0u, DecodePackageStream(file, ParsePackageChunk, &extraction)) << "reads of " << limit;
        CloseDiskFile(file);
        EXPECT_EQ(extraction.storedChecksum, extraction.checksum) << "reads of " << limit;
        EXPECT_EQ(2u, extraction.fileIndex) << "reads of " << limit;
    }
}

}  // namespace
