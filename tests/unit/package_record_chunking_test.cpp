// The parser takes the stream in chunks cut anywhere: the outcome must not
// depend on where the cuts fall, except where a record cannot wait whole.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "common/text.h"
#include "package/record_stream.h"
#include "package/record_writer.h"
#include "test_support.h"
#include "common/codepage.h"

namespace {

std::string Pattern(size_t n, unsigned seed) {
    std::string s(n, '\0');
    for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 31 + seed * 17 + (i >> 8)) & 0xFF);
    return s;
}

// Empty files, one of 5000 bytes, a name of 1019 characters (its record fills
// `pending` exactly), a first name byte above 0x7F, an empty name, a 5-character
// product code, two files of the same name, and an empty last file.
test::PackagePlan RichPackage() {
    test::PackagePlan plan;
    plan.productCode = "QWXYZ";
    plan.windowClass = "QuillWindow";
    plan.mainProgram = "quill.exe";
    plan.dateWord = 3007;
    plan.files = {
        {"empty.txt", ""},
        {"big.bin", Pattern(5000, 1)},
        {std::string(1019, 'L'), "ten bytes!"},
        {"\xE4rger.txt", Pattern(300, 2)},
        {"same.txt", "the first and longer one"},
        {"", "nameless"},
        {"64\\sub/dir.dll", Pattern(20, 3)},
        {"same.txt", "second"},
        {"last", ""},
    };
    return plan;
}

// What a run must leave: the files by their stored name (the last one of a name wins).
std::map<std::u16string, std::string> ExpectedFiles(const test::PackagePlan& plan) {
    std::map<std::u16string, std::string> files;
    for (const test::PackageFile& file : plan.files) {
        char16_t name[kNameCapacity];
        AnsiToWide(file.name.c_str(), name, kNameCapacity);
        files[name] = file.bytes;
    }
    return files;
}

struct RunResult {
    test::ParseOutcome outcome;
    std::vector<test::CallbackEvent> events;
    std::map<std::u16string, std::string> files;
    bool timesRight = true;
};

RunResult RunParse(const std::vector<uint8_t>& stream, const std::vector<uint32_t>& cuts) {
    test::TempFolder folder(true);
    test::Recorder recorder;
    recorder.folder = folder.Path();
    RunResult result;
    result.outcome = test::ParseInChunks(stream, cuts, &recorder);
    result.events = recorder.events;
    for (const auto& [name, path] : recorder.outputs) {
        result.files[name] = test::FileText(path);
        if (test::FileModificationTime(path) != result.outcome.fileTime) result.timesRight = false;
    }
    return result;
}

void ExpectSameRun(const RunResult& run, const RunResult& reference) {
    EXPECT_FALSE(run.outcome.stopped);
    EXPECT_EQ(run.outcome.error, 0u);
    EXPECT_TRUE(run.outcome.onBoundary);
    EXPECT_EQ(run.outcome.checksum, reference.outcome.checksum);
    EXPECT_EQ(run.outcome.storedChecksum, reference.outcome.storedChecksum);
    EXPECT_EQ(run.outcome.productCode, reference.outcome.productCode);
    EXPECT_EQ(run.outcome.windowClass, reference.outcome.windowClass);
    EXPECT_EQ(run.outcome.headerMainProgram, reference.outcome.headerMainProgram);
    EXPECT_EQ(run.outcome.fileTime, reference.outcome.fileTime);
    EXPECT_EQ(run.outcome.fileIndex, reference.outcome.fileIndex);
    EXPECT_TRUE(run.events == reference.events);
    EXPECT_TRUE(run.files == reference.files);
    EXPECT_TRUE(run.timesRight);
}

TEST(ChunkingInvariance, OneWholeChunkGivesTheFilesCallbacksAndChecksum) {
    const test::PackagePlan plan = RichPackage();
    RunResult whole = RunParse(test::MakeRecordStream(plan), {});
    EXPECT_FALSE(whole.outcome.stopped);
    EXPECT_TRUE(whole.outcome.onBoundary);
    EXPECT_EQ(whole.outcome.checksum, test::ExpectedChecksum(plan));
    EXPECT_EQ(whole.outcome.storedChecksum, whole.outcome.checksum);
    EXPECT_EQ(whole.outcome.productCode, "QWX");
    EXPECT_EQ(whole.outcome.windowClass, "QuillWindow");
    EXPECT_EQ(whole.outcome.headerMainProgram, "quill.exe");
    EXPECT_EQ(whole.outcome.fileIndex, plan.files.size());
    EXPECT_TRUE(whole.files == ExpectedFiles(plan));
    EXPECT_TRUE(whole.timesRight);

    // A start call per file; previews only for files with bytes, of min(1024, size).
    // The preview call sees the name the start call left: the recorder's output path.
    std::vector<test::CallbackEvent> expected;
    std::map<std::u16string, std::u16string> outputs;
    for (const test::PackageFile& file : plan.files) {
        char16_t name[kNameCapacity];
        AnsiToWide(file.name.c_str(), name, kNameCapacity);
        if (!outputs.count(name)) outputs[name] = u"<folder>/out" + test::U16(std::to_string(outputs.size()));
        uint32_t size = static_cast<uint32_t>(file.bytes.size());
        expected.push_back({false, name, size, ""});
        if (size) expected.push_back({true, outputs[name], std::min(size, 1024u), file.bytes.substr(0, 1024)});
    }
    EXPECT_TRUE(whole.events == expected);
}

TEST(ChunkingInvariance, EverySingleCutGivesTheSameRun) {
    const std::vector<uint8_t> stream = test::MakeRecordStream(RichPackage());
    const RunResult reference = RunParse(stream, {});
    for (uint32_t cut = 0; cut <= stream.size(); ++cut) {
        SCOPED_TRACE(cut);
        ExpectSameRun(RunParse(stream, {cut}), reference);
        if (HasFailure()) break;
    }
}

TEST(ChunkingInvariance, RandomMultiCutSplitsGiveTheSameRun) {
    const std::vector<uint8_t> stream = test::MakeRecordStream(RichPackage());
    const RunResult reference = RunParse(stream, {});
    std::mt19937 random(20240229);
    for (int round = 0; round < 400; ++round) {
        // Many small chunks, some empty, some cuts right next to each other.
        std::uniform_int_distribution<uint32_t> count(1, round % 4 == 0 ? 200 : 25);
        std::uniform_int_distribution<uint32_t> position(0, static_cast<uint32_t>(stream.size()));
        std::vector<uint32_t> cuts(count(random));
        for (uint32_t& cut : cuts) cut = position(random);
        std::sort(cuts.begin(), cuts.end());
        SCOPED_TRACE(::testing::Message() << "round " << round << ", " << cuts.size() << " cuts");
        ExpectSameRun(RunParse(stream, cuts), reference);
        if (HasFailure()) break;
    }
}

TEST(ChunkingInvariance, ByteByByteFeedingGivesTheSameRun) {
    const std::vector<uint8_t> stream = test::MakeRecordStream(RichPackage());
    std::vector<uint32_t> cuts;
    for (uint32_t i = 1; i < stream.size(); ++i) cuts.push_back(i);
    ExpectSameRun(RunParse(stream, cuts), RunParse(stream, {}));
}

// Names past what the reader keeps, in a record that is not split.
TEST(LongNames, AreCutTo1023AndTheBytesBehindThemFound) {
    for (size_t length : {1022u, 1023u, 1024u, 1025u}) {
        SCOPED_TRACE(length);
        test::PackagePlan plan;
        std::string name = "N" + std::string(length - 1, 'n');
        plan.files = {{name, "payload"}, {"after.txt", "tail"}};
        RunResult run = RunParse(test::MakeRecordStream(plan), {});
        EXPECT_TRUE(run.outcome.onBoundary);
        EXPECT_EQ(run.outcome.checksum, test::ExpectedChecksum(plan));
        ASSERT_EQ(run.events.size(), 4u);
        EXPECT_EQ(run.events[0].name, test::U16(name.substr(0, 1023)));
        EXPECT_EQ(run.events[0].length, 7u);
        EXPECT_EQ(run.events[1].data, "payload");
        EXPECT_EQ(run.events[2].name, u"after.txt");
        EXPECT_EQ(run.files[u"after.txt"], "tail");
    }
}

// A record of more than 1024 bytes split by a chunk boundary cannot wait whole:
// nothing after it is offered, later chunks change nothing, and the checksum fails.
TEST(LongNames, ASplitRecordLongerThanPendingCannotComplete) {
    for (size_t length : {1020u, 1024u, 1025u}) {
        test::PackagePlan plan;
        plan.files = {{"before.txt", "abc"}, {std::string(length, 'n'), "payload"}, {"after.txt", "tail"}};
        std::vector<uint8_t> stream = test::MakeRecordStream(plan);
        const uint32_t recordStart =
            static_cast<uint32_t>(HeaderRecordLength("", "", "") + FileRecordLength("before.txt", 3));
        for (uint32_t into : {1u, 4u, 500u, static_cast<uint32_t>(length)}) {
            SCOPED_TRACE(::testing::Message() << length << " characters, cut " << into << " bytes into the record");
            uint32_t cut = recordStart + into;
            RunResult run = RunParse(stream, {cut, cut + 1, cut + 2000});
            EXPECT_FALSE(run.outcome.stopped);
            EXPECT_EQ(run.outcome.error, 0u);
            EXPECT_FALSE(run.outcome.onBoundary);
            EXPECT_NE(run.outcome.checksum, run.outcome.storedChecksum);
            EXPECT_EQ(run.outcome.fileIndex, 1u);
            ASSERT_EQ(run.events.size(), 2u);  // only "before.txt": its start and preview
            EXPECT_EQ(run.files[u"before.txt"], "abc");
        }
    }
}

// More than 1025 characters is beyond what the reader takes: such a package is
// damaged however it is cut, and nothing from the bad record on is offered.
TEST(LongNames, NamesBeyondWhatTheReaderTakesMarkThePackageDamaged) {
    test::PackagePlan plan;
    plan.files = {{"before.txt", "abc"}, {std::string(1026, 'n'), "payload"}, {"after.txt", "tail"}};
    std::vector<uint8_t> stream = test::MakeRecordStream(plan);
    for (std::vector<uint32_t> cuts : {std::vector<uint32_t>{}, std::vector<uint32_t>{40}}) {
        RunResult run = RunParse(stream, cuts);
        EXPECT_FALSE(run.outcome.onBoundary);
        EXPECT_NE(run.outcome.checksum, run.outcome.storedChecksum);
        EXPECT_EQ(run.outcome.fileIndex, 1u);
        EXPECT_EQ(run.events.size(), 2u);
    }
}

// The checksum counts every file byte with its file's ordinal and the signed
// first byte of its name, whether the file is written or not.
TEST(Checksum, MatchesTheDocumentedExamples) {
    struct Case {
        const char* what;
        std::vector<test::PackageFile> files;
        uint32_t expected;
    } cases[] = {
        {"name a, bytes 00 FF", {{"a", std::string("\x00\xFF", 2)}}, 471},
        {"first byte E4 counts -28", {{"\xE4", std::string("\x00\x00", 2)}}, static_cast<uint32_t>(2 * (-28 + 11))},
        {"second file counts ordinal 2", {{"a", ""}, {"a", std::string("\x01", 1)}}, 97 + 12 + 1},
        {"empty name counts 0", {{"", "\x02"}}, 11 + 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::PackagePlan plan;
        plan.files = c.files;
        test::Recorder recorder;  // no folder: nothing written, yet every byte counts
        test::ParseOutcome outcome = test::ParseInChunks(test::MakeRecordStream(plan), {}, &recorder);
        EXPECT_EQ(outcome.checksum, c.expected);
        EXPECT_EQ(outcome.storedChecksum, c.expected);
    }
}

}  // namespace
