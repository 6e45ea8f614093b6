// Runs that go wrong: files that cannot be created or written, skipped files,
// and streams that end where no record ends.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "package/record_stream_internal.h"
#include "package/record_writer.h"
#include "test_support.h"

namespace {

const uint8_t* Bytes(const std::string& text) { return reinterpret_cast<const uint8_t*>(text.data()); }

test::PackagePlan TwoFiles() {
    test::PackagePlan plan;
    plan.files = {{"a.txt", std::string(3000, 'A')}, {"b.txt", "world"}};
    return plan;
}

uint32_t FirstFileSum(const test::PackagePlan& plan) {
    const test::PackageFile& a = plan.files[0];
    return ChecksumAddBytes(0, 1, a.name.c_str(), Bytes(a.bytes), static_cast<uint32_t>(a.bytes.size()));
}

// A folder where the first output file should go: creation fails with 5, the
// error is kept, and the parser stops at its next check.
TEST(ExtractionFailures, AFileThatCannotBeCreatedStopsTheRun) {
    const test::PackagePlan plan = TwoFiles();
    const std::vector<uint8_t> stream = test::MakeRecordStream(plan);
    const uint32_t recordStart = static_cast<uint32_t>(HeaderRecordLength("", "", ""));
    struct Case {
        const char* what;
        std::vector<uint32_t> cuts;
        size_t events;      // callback calls made before the stop
        uint32_t checksum;  // bytes counted before the stop
    } cases[] = {
        // The record is read in the chunk's loop: the check right after it stops.
        {"record inside a chunk", {}, 1, 0},
        // The record completes from `pending`: the file's bytes in that chunk are
        // decoded and counted, the next record is read (its file fails too, with 3,
        // but the first error is the one kept), then the run stops.
        {"record completed from pending", {recordStart + 3}, 3, FirstFileSum(plan)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder folder;
        ASSERT_TRUE(test::MakeFolders(folder.Join("out0")));
        test::Recorder recorder;
        recorder.folder = folder.Path();
        recorder.outputs[u"b.txt"] = folder.Join("missing/b.txt");
        test::ParseOutcome outcome = test::ParseInChunks(stream, c.cuts, &recorder);
        EXPECT_EQ(outcome.error, kErrorAccessDenied);
        EXPECT_TRUE(outcome.stopped);
        EXPECT_EQ(outcome.answers.back(), 1);
        EXPECT_EQ(recorder.events.size(), c.events);
        EXPECT_EQ(outcome.checksum, c.checksum);
        EXPECT_TRUE(test::IsFolder(folder.Join("out0")));
    }
}

TEST(ExtractionFailures, BytesOfAFileThatCannotBeCreatedAreStillDecodedAndCounted) {
    const test::PackagePlan plan = TwoFiles();
    std::vector<uint8_t> stream = test::MakeRecordStream(plan);
    const uint32_t recordStart = static_cast<uint32_t>(HeaderRecordLength("", "", ""));
    test::TempFolder folder;
    ASSERT_TRUE(test::MakeFolders(folder.Join("out0")));
    test::Recorder recorder;
    recorder.folder = folder.Path();
    std::unique_ptr<ExtractionContext> owner(new ExtractionContext);
    ExtractionContext* context = owner.get();
    InitExtractionContext(context, test::RecordingCallback, &recorder);
    ASSERT_EQ(ReadPackageHeader(context, stream.data(), recordStart), recordStart);
    ASSERT_EQ(ReadFileRecord(context, stream.data() + recordStart, 10), 10u);
    EXPECT_EQ(context->error, kErrorAccessDenied);
    EXPECT_EQ(context->output, kInvalidDiskFile);
    EXPECT_EQ(ReadFileData(context, stream.data() + recordStart + 10, 3000), 3000u);
    EXPECT_EQ(context->checksum, FirstFileSum(plan));
    EXPECT_EQ(std::string(stream.begin() + recordStart + 10, stream.begin() + recordStart + 3010), plan.files[0].bytes);
    ASSERT_EQ(recorder.events.size(), 2u);
    EXPECT_TRUE(recorder.events[1].preview);
}

// Keeps /dev/full's own times as they were, since the parser times what it wrote.
struct DevFullTimes {
    DevFullTimes() { ok = stat("/dev/full", &before) == 0; }
    ~DevFullTimes() {
        if (!ok) return;
        struct timespec times[2] = {before.st_atim, before.st_mtim};
        utimensat(AT_FDCWD, "/dev/full", times, 0);
    }
    struct stat before;
    bool ok;
};

TEST(ExtractionFailures, AWriteFailureIsKeptAndTheFileStillTimedAndClosed) {
    DevFullTimes keep;
    if (!keep.ok) GTEST_SKIP() << "/dev/full is not available";
    const test::PackagePlan plan = TwoFiles();
    const std::vector<uint8_t> stream = test::MakeRecordStream(plan);
    const uint32_t dataStart = static_cast<uint32_t>(HeaderRecordLength("", "", "") + 10);
    struct Case {
        const char* what;
        std::vector<uint32_t> cuts;
        size_t events;
    } cases[] = {
        {"whole file in one chunk", {}, 2},  // start and preview of a.txt; b.txt never comes
        {"file over two chunks", {dataStart + 1000}, 1},  // stopped before the preview was whole
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder folder;
        test::Recorder recorder;
        recorder.folder = folder.Path();
        recorder.outputs[u"a.txt"] = "/dev/full";
        test::ParseOutcome outcome = test::ParseInChunks(stream, c.cuts, &recorder);
        EXPECT_EQ(outcome.error, kErrorDiskFull);
        EXPECT_TRUE(outcome.stopped);
        EXPECT_EQ(outcome.answers.back(), 1);
        EXPECT_EQ(recorder.events.size(), c.events);
        if (c.cuts.empty()) {
            EXPECT_EQ(test::FileModificationTime("/dev/full"), outcome.fileTime);
        }
    }
}

TEST(ExtractionSkips, ADeclinedOrEmptiedNameWritesNothingAndIsNoError) {
    struct Case {
        const char* what;
        bool emptyName;
    } cases[] = {{"start call answered 0", false}, {"name emptied", true}};
    test::PackagePlan plan = TwoFiles();
    plan.files.push_back({"c.txt", ""});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder folder;
        test::Recorder recorder;
        recorder.folder = c.emptyName ? folder.Path() : "";
        recorder.emptyName = c.emptyName;
        test::ParseOutcome outcome = test::ParseInChunks(test::MakeRecordStream(plan), {}, &recorder);
        EXPECT_EQ(outcome.error, 0u);
        EXPECT_FALSE(outcome.stopped);
        EXPECT_TRUE(outcome.onBoundary);
        EXPECT_EQ(outcome.checksum, test::ExpectedChecksum(plan));
        EXPECT_EQ(recorder.events.size(), 5u);  // previews still come
        EXPECT_TRUE(std::filesystem::is_empty(folder.Path()));
    }
}

TEST(ExtractionEnd, OnlyAStreamEndingBetweenRecordsEndsOnABoundary) {
    test::PackagePlan plan;
    plan.windowClass = "W";
    plan.files = {{"a.txt", "0123456789"}, {"e.txt", ""}};
    const std::vector<uint8_t> stream = test::MakeRecordStream(plan);
    const uint32_t header = static_cast<uint32_t>(HeaderRecordLength("", "W", ""));
    const uint32_t afterA = header + 10 + 10;
    struct Case {
        const char* what;
        uint32_t length;
        bool onBoundary;
        const char* aContents;  // nullptr: a.txt was not created
    } cases[] = {
        {"empty stream", 0, false, nullptr},
        {"inside the header", header - 1, false, nullptr},
        {"header only", header, true, nullptr},
        {"inside a file size", header + 2, false, nullptr},
        {"inside a file name", header + 7, false, nullptr},
        {"right after a name", header + 10, false, ""},
        {"inside a file's bytes", header + 14, false, "0123"},
        {"after a whole file", afterA, true, "0123456789"},
        {"inside the last record", afterA + 9, false, "0123456789"},
        {"whole stream", static_cast<uint32_t>(stream.size()), true, "0123456789"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder folder;
        test::Recorder recorder;
        recorder.folder = folder.Path();
        std::vector<uint8_t> prefix(stream.begin(), stream.begin() + c.length);
        test::ParseOutcome outcome = test::ParseInChunks(prefix, {c.length / 2}, &recorder);
        EXPECT_EQ(outcome.onBoundary, c.onBoundary);
        EXPECT_EQ(outcome.error, 0u);
        if (!c.aContents) {
            EXPECT_FALSE(test::PathExists(folder.Join("out0")));
            continue;
        }
        // A file cut short keeps what was written and is closed, but not given
        // the package's date.
        EXPECT_EQ(test::FileText(folder.Join("out0")), c.aContents);
        bool complete = std::string(c.aContents).size() == 10;
        EXPECT_EQ(test::FileModificationTime(folder.Join("out0")) == outcome.fileTime, complete);
    }
}

TEST(ExtractionEnd, TheSecondFileOfTheSameNameReplacesTheFirst) {
    test::PackagePlan plan;
    plan.files = {{"same.txt", "the first, longer contents"}, {"SAME.TXT", "x"}, {"same.txt", "second"}};
    test::TempFolder folder;
    test::Recorder recorder;
    recorder.folder = folder.Path();
    recorder.outputs[u"same.txt"] = folder.Join("same");
    recorder.outputs[u"SAME.TXT"] = folder.Join("same");
    test::ParseOutcome outcome = test::ParseInChunks(test::MakeRecordStream(plan), {}, &recorder);
    EXPECT_EQ(outcome.error, 0u);
    EXPECT_EQ(test::FileText(folder.Join("same")), "second");
}

}  // namespace
