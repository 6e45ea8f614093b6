// The record parser piece by piece: stored numbers, strings, the header, a file
// record, file data and the date word.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "common/clock.h"
#include "package/record_stream_internal.h"
#include "package/record_writer.h"
#include "test_support.h"

namespace {

std::vector<uint8_t> StoredString(const std::string& text) {
    std::vector<uint8_t> out;
    for (unsigned char c : text) out.push_back(static_cast<uint8_t>(c + 35));
    out.push_back(0);
    return out;
}

std::unique_ptr<ExtractionContext> NewContext(test::Recorder* recorder) {
    std::unique_ptr<ExtractionContext> context(new ExtractionContext);
    InitExtractionContext(context.get(), test::RecordingCallback, recorder);
    return context;
}

TEST(ReadStoredNumber, SubtractsTheBiasFromTheBigEndianValue) {
    struct Case {
        uint8_t bytes[4];
        uint32_t expected;
    } cases[] = {
        {{0x00, 0x00, 0x00, 0xEF}, 0},
        {{0x00, 0x00, 0x02, 0xC6}, 471},
        {{0x00, 0x00, 0x00, 0x00}, 0xFFFFFF11u},
        {{0xFF, 0xFF, 0xFF, 0xFF}, 0xFFFFFF10u},
        {{0x12, 0x34, 0x56, 0x78}, 0x12345678u - 239},
    };
    for (const Case& c : cases) EXPECT_EQ(ReadStoredNumber(c.bytes), c.expected);
}

struct StringCase {
    const char* what;
    std::vector<uint8_t> bytes;
    uint32_t consumed;
    std::string field;  // checked when consumed != 0
};

TEST(ReadRecordString, KeepsThreeOfAFourByteFieldAndWaitsForTheTerminator) {
    auto withTail = [](std::vector<uint8_t> v) {
        v.insert(v.end(), {0x41, 0x42, 0x00});
        return v;
    };
    const StringCase cases[] = {
        {"nothing available", {}, 0, ""},
        {"no terminator yet", {0x64, 0x65}, 0, ""},
        {"empty string", {0x00}, 1, ""},
        {"three characters", StoredString("ABC"), 4, "ABC"},
        {"four characters are cut", StoredString("ABCD"), 5, "ABC"},
        {"five characters are cut", StoredString("ABCDE"), 6, "ABC"},
        {"bytes behind the terminator stay", withTail(StoredString("A")), 2, "A"},
        {"six characters are more than the reader takes", withTail(StoredString("ABCDEF")), 0, ""},
        {"stored 221 is the terminator", {0x64, 0x00, 0x65, 0x00}, 2, "A"},
        {"character 0 is stored as 35", {0x23, 0x00}, 2, ""},
    };
    for (const StringCase& c : cases) {
        SCOPED_TRACE(c.what);
        char field[4] = {'x', 'x', 'x', 'x'};
        uint32_t consumed = ReadRecordString(c.bytes.data(), static_cast<uint32_t>(c.bytes.size()), field, 4);
        EXPECT_EQ(consumed, c.consumed);
        if (consumed) {
            EXPECT_EQ(std::string(field), c.field);
        }
    }
}

TEST(ReadRecordString, AcceptsUpToOneMoreCharacterThanTheFieldHolds) {
    const uint32_t sizes[] = {1, 4, 32, 1024};
    for (uint32_t n : sizes) {
        for (uint32_t length : {n - 1, n, n + 1, n + 2}) {
            SCOPED_TRACE(::testing::Message() << "field " << n << ", length " << length);
            std::vector<uint8_t> stored = StoredString(std::string(length, 'q'));
            std::vector<char> field(n, 'x');
            uint32_t consumed = ReadRecordString(stored.data(), static_cast<uint32_t>(stored.size()), field.data(), n);
            if (length > n + 1) {
                EXPECT_EQ(consumed, 0u);
                continue;
            }
            EXPECT_EQ(consumed, length + 1);
            EXPECT_EQ(std::string(field.data()), std::string(std::min(length, n - 1), 'q'));
        }
    }
}

TEST(ReadPackageHeader, WaitsUntilTheWholeHeaderIsThere) {
    test::PackagePlan plan;
    plan.productCode = "ABCDE";  // kept as ABC; the window class must still be found
    plan.windowClass = "ToolWindowClass";
    plan.mainProgram = "tool.exe";
    plan.dateWord = 3007;
    plan.computeChecksum = false;
    plan.storedChecksum = 0xDEADBEEF;
    std::vector<uint8_t> stream = test::MakeRecordStream(plan);
    ASSERT_EQ(stream.size(), 4u + 6 + 16 + 9 + 4);
    test::Recorder recorder;
    for (uint32_t available = 0; available < stream.size(); ++available) {
        auto context = NewContext(&recorder);
        EXPECT_EQ(ReadPackageHeader(context.get(), stream.data(), available), 0u) << available;
        EXPECT_EQ(context->state, kExpectHeader);
    }
    auto context = NewContext(&recorder);
    EXPECT_EQ(ReadPackageHeader(context.get(), stream.data(), static_cast<uint32_t>(stream.size())), stream.size());
    EXPECT_EQ(context->state, kHeaderRead);
    EXPECT_EQ(context->storedChecksum, 0xDEADBEEFu);
    EXPECT_STREQ(context->productCode, "ABC");
    EXPECT_STREQ(context->windowClass, "ToolWindowClass");
    EXPECT_STREQ(context->headerMainProgram, "tool.exe");
    EXPECT_EQ(context->fileTime, LocalNoonToFileTime(2019, 12, 31));
}

TEST(ReadPackageHeader, CutsLongWindowClassAndMainProgramTo31) {
    test::PackagePlan plan;
    plan.windowClass = std::string(33, 'w');
    plan.mainProgram = std::string(32, 'm');
    std::vector<uint8_t> stream = test::MakeRecordStream(plan);
    test::Recorder recorder;
    auto context = NewContext(&recorder);
    EXPECT_EQ(ReadPackageHeader(context.get(), stream.data(), static_cast<uint32_t>(stream.size())), stream.size());
    EXPECT_EQ(std::string(context->windowClass), std::string(31, 'w'));
    EXPECT_EQ(std::string(context->headerMainProgram), std::string(31, 'm'));
}

struct DateWordCase {
    uint32_t word;
    uint16_t year, month, day;
};

TEST(SplitDateWord, GivesTheCalendarDate) {
    const DateWordCase cases[] = {
        {32, 2012, 1, 1},    {62, 2012, 1, 31},   {63, 2012, 2, 1},    {403, 2012, 12, 31},
        {404, 2013, 1, 1},   {3007, 2019, 12, 31}, {124, 2012, 3, 31},  {90, 2012, 2, 28},
    };
    for (const DateWordCase& c : cases) {
        SCOPED_TRACE(c.word);
        uint16_t year, month, day;
        SplitDateWord(c.word, &year, &month, &day);
        EXPECT_EQ(year, c.year);
        EXPECT_EQ(month, c.month);
        EXPECT_EQ(day, c.day);
    }
}

TEST(SplitDateWord, WordsBelow32StillGiveAMonthAndDayInRange) {
    for (uint32_t word : {0u, 1u, 30u, 31u, 0xFFFFFFFFu}) {
        uint16_t year, month, day;
        SplitDateWord(word, &year, &month, &day);
        EXPECT_GE(month, 1);
        EXPECT_LE(month, 12);
        EXPECT_GE(day, 1);
        EXPECT_LE(day, 31);
    }
}

TEST(ReadFileRecord, OffersTheFileOnceItsNameIsComplete) {
    test::PackagePlan plan;
    plan.files = {{"dir\\name.txt", "0123456789"}};
    std::vector<uint8_t> stream = test::MakeRecordStream(plan);
    const uint32_t header = static_cast<uint32_t>(HeaderRecordLength("", "", ""));
    const uint32_t record = 4 + 13;
    test::Recorder recorder;
    for (uint32_t available = 0; available < record; ++available) {
        auto context = NewContext(&recorder);
        EXPECT_EQ(ReadFileRecord(context.get(), stream.data() + header, available), 0u);
        EXPECT_EQ(context->fileIndex, 0u);
    }
    EXPECT_TRUE(recorder.events.empty());
    auto context = NewContext(&recorder);
    EXPECT_EQ(ReadFileRecord(context.get(), stream.data() + header, record), record);
    EXPECT_EQ(context->state, kInFile);
    EXPECT_EQ(context->fileIndex, 1u);
    EXPECT_EQ(context->fileSize, 10u);
    EXPECT_EQ(context->fileRemaining, 10u);
    EXPECT_STREQ(context->ansiName, "dir\\name.txt");
    ASSERT_EQ(recorder.events.size(), 1u);
    EXPECT_EQ(recorder.events[0], (test::CallbackEvent{false, u"dir\\name.txt", 10, ""}));
    EXPECT_EQ(context->output, kInvalidDiskFile);  // the recorder without a folder answers 0
}

TEST(ReadFileData, UnscramblesCountsAndPreviewsOnceTheFirstBytesAreThere) {
    // A 5000-byte file fed in pieces: one preview of 1024 bytes, whatever the pieces.
    std::string plain(5000, '\0');
    for (size_t i = 0; i < plain.size(); ++i) plain[i] = static_cast<char>(i % 251);
    test::PackagePlan plan;
    plan.files = {{"\xE4", plain}};
    std::vector<uint8_t> stream = test::MakeRecordStream(plan);
    const uint32_t headerLength = static_cast<uint32_t>(HeaderRecordLength("", "", ""));
    const uint32_t dataStart = headerLength + 4 + 2;
    const std::vector<uint8_t> junk(16, 0x5A);  // the start of a next record: never touched
    stream.insert(stream.end(), junk.begin(), junk.end());
    for (uint32_t piece : {1u, 100u, 1023u, 1024u, 1025u, 5000u, 6000u}) {
        SCOPED_TRACE(piece);
        std::vector<uint8_t> bytes(stream);
        test::Recorder recorder;
        auto context = NewContext(&recorder);
        ASSERT_EQ(ReadPackageHeader(context.get(), bytes.data(), headerLength), headerLength);
        ASSERT_EQ(ReadFileRecord(context.get(), bytes.data() + headerLength, 6), 6u);
        uint32_t at = dataStart;
        while (context->fileRemaining > 0) {
            uint32_t n = std::min<uint32_t>(piece, static_cast<uint32_t>(bytes.size()) - at);
            uint32_t consumed = ReadFileData(context.get(), bytes.data() + at, n);
            ASSERT_EQ(consumed, std::min(n, static_cast<uint32_t>(dataStart + plain.size() - at)));
            at += consumed;
        }
        EXPECT_EQ(at, dataStart + plain.size());
        EXPECT_EQ(std::vector<uint8_t>(bytes.end() - 16, bytes.end()), junk);
        EXPECT_EQ(context->fileRemaining, 0u);
        EXPECT_EQ(std::string(bytes.begin() + dataStart, bytes.end() - 16), plain);
        EXPECT_EQ(context->checksum, test::ExpectedChecksum(plan));
        ASSERT_EQ(recorder.events.size(), 2u);
        EXPECT_TRUE(recorder.events[1].preview);
        EXPECT_EQ(recorder.events[1].data, plain.substr(0, 1024));
    }
}

TEST(AddToPending, KeepsAtMost1024Bytes) {
    test::Recorder recorder;
    auto context = NewContext(&recorder);
    std::vector<uint8_t> bytes(700, 0x11);
    AddToPending(context.get(), bytes.data(), 700);
    std::fill(bytes.begin(), bytes.end(), 0x22);
    AddToPending(context.get(), bytes.data(), 700);
    AddToPending(context.get(), bytes.data(), 5);
    EXPECT_EQ(context->pendingLength, 1024u);
    EXPECT_EQ(context->pending[699], 0x11);
    EXPECT_EQ(context->pending[700], 0x22);
    EXPECT_EQ(context->pending[1023], 0x22);
}

TEST(ParsePackageChunk, ReadsAStreamWrittenByHandFromTheFormat) {
    // Checksum 471, product code "AB", window class "W", no main program, date
    // 31 December 2012, then "a" holding 00 FF and an empty "b".
    const std::vector<uint8_t> stream = {
        0x00, 0x00, 0x02, 0xC6, 0x64, 0x65, 0x00, 0x7A, 0x00, 0x00, 0x00, 0x00, 0x02, 0x82,
        0x00, 0x00, 0x00, 0xF1, 0x84, 0x00, 0xB3, 0xB2, 0x00, 0x00, 0x00, 0xEF, 0x85, 0x00,
    };
    test::TempFolder folder;
    test::Recorder recorder;
    recorder.folder = folder.Path();
    test::ParseOutcome outcome = test::ParseInChunks(stream, {}, &recorder);
    EXPECT_FALSE(outcome.stopped);
    EXPECT_EQ(outcome.error, 0u);
    EXPECT_TRUE(outcome.onBoundary);
    EXPECT_EQ(outcome.checksum, 471u);
    EXPECT_EQ(outcome.storedChecksum, 471u);
    EXPECT_EQ(outcome.productCode, "AB");
    EXPECT_EQ(outcome.windowClass, "W");
    EXPECT_EQ(outcome.headerMainProgram, "");
    EXPECT_EQ(outcome.fileTime, LocalNoonToFileTime(2012, 12, 31));
    const std::vector<test::CallbackEvent> expected = {
        {false, u"a", 2, ""}, {true, u"<folder>/out0", 2, std::string("\x00\xFF", 2)}, {false, u"b", 0, ""}};
    EXPECT_EQ(recorder.events, expected);
    EXPECT_EQ(test::FileText(folder.Join("out0")), std::string("\x00\xFF", 2));
    EXPECT_EQ(test::FileText(folder.Join("out1")), "");
}

TEST(ParsePackageChunk, ConvertsNamesFromTheAnsiCodePage) {
    test::PackagePlan plan;
    plan.files = {{"\xC4pfel \x80.txt", "x"}};
    test::Recorder recorder;
    test::ParseInChunks(test::MakeRecordStream(plan), {}, &recorder);
    ASSERT_FALSE(recorder.events.empty());
    EXPECT_EQ(recorder.events[0].name, u"\u00C4pfel \u20AC.txt");
}

}  // namespace
