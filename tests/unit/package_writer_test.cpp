#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "package/record_stream.h"
#include "package/record_writer.h"
#include "test_support.h"

namespace {

struct Sink {
    std::vector<uint8_t> bytes;
    bool fail = false;
};

bool CollectBytes(const uint8_t* bytes, uint32_t n, void* context) {
    Sink* sink = static_cast<Sink*>(context);
    if (sink->fail) return false;
    sink->bytes.insert(sink->bytes.end(), bytes, bytes + n);
    return true;
}

const uint8_t* Bytes(const std::string& text) { return reinterpret_cast<const uint8_t*>(text.data()); }

// Header: checksum 471, product code "AB", window class "W", no main program,
// date word 403; file "a" with 00 FF; an empty file "b". Written out by hand.
const std::vector<uint8_t> kHandBuiltStream = {
    0x00, 0x00, 0x02, 0xC6,  // 471 + 239
    0x64, 0x65, 0x00,        // "AB"
    0x7A, 0x00,              // "W"
    0x00,                    // ""
    0x00, 0x00, 0x02, 0x82,  // 403 + 239
    0x00, 0x00, 0x00, 0xF1,  // size 2
    0x84, 0x00,              // "a"
    0xB3, 0xB2,              // 00 FF, each minus 77
    0x00, 0x00, 0x00, 0xEF,  // size 0
    0x85, 0x00,              // "b"
};

TEST(RecordWriter, WritesTheStreamByteForByteAsTheFormatDescribes) {
    test::PackagePlan plan;
    plan.productCode = "AB";
    plan.windowClass = "W";
    plan.dateWord = 403;
    plan.files = {{"a", std::string("\x00\xFF", 2)}, {"b", ""}};
    EXPECT_EQ(test::MakeRecordStream(plan), kHandBuiltStream);
}

struct RefusalCase {
    const char* what;
    std::function<void(RecordWriter*)> calls;
    RecordWriterStatus expected;
};

TEST(RecordWriter, RefusesWhatTheFormatCannotCarryAndCallsOutOfOrder) {
    const std::string forbidden = "ab\xDD" "c";
    const uint8_t three[3] = {1, 2, 3};
    auto header = [](RecordWriter* w) { WritePackageHeader(w, 0, "ABC", "Cls", "main.exe", 32); };
    const RefusalCase cases[] = {
        {"file before header", [&](RecordWriter* w) { BeginFileRecord(w, "x", 0); }, kWriterWrongOrder},
        {"header twice", [&](RecordWriter* w) { header(w); header(w); }, kWriterWrongOrder},
        {"finish without header", [&](RecordWriter* w) { FinishRecordWriter(w); }, kWriterWrongOrder},
        {"221 in product code", [&](RecordWriter* w) { WritePackageHeader(w, 0, "\xDD", "", "", 32); },
         kWriterBadText},
        {"221 in window class",
         [&](RecordWriter* w) { WritePackageHeader(w, 0, "A", forbidden.c_str(), "", 32); }, kWriterBadText},
        {"221 in main program",
         [&](RecordWriter* w) { WritePackageHeader(w, 0, "A", "", forbidden.c_str(), 32); }, kWriterBadText},
        {"221 in a file name", [&](RecordWriter* w) { header(w); BeginFileRecord(w, forbidden.c_str(), 1); },
         kWriterBadText},
        {"more bytes than declared",
         [&](RecordWriter* w) { header(w); BeginFileRecord(w, "x", 2); WriteFileBytes(w, three, 3); },
         kWriterSizeMismatch},
        {"bytes after a complete file",
         [&](RecordWriter* w) {
             header(w);
             BeginFileRecord(w, "x", 2);
             WriteFileBytes(w, three, 2);
             WriteFileBytes(w, three, 1);
         },
         kWriterSizeMismatch},
        {"bytes of an empty file", [&](RecordWriter* w) { header(w); BeginFileRecord(w, "x", 0); WriteFileBytes(w, three, 1); },
         kWriterSizeMismatch},
        {"next record while a file is short",
         [&](RecordWriter* w) { header(w); BeginFileRecord(w, "x", 3); WriteFileBytes(w, three, 2); BeginFileRecord(w, "y", 0); },
         kWriterSizeMismatch},
        {"finish while the last file is short",
         [&](RecordWriter* w) { header(w); BeginFileRecord(w, "x", 3); FinishRecordWriter(w); }, kWriterSizeMismatch},
        {"a file reaching 4 GiB", [&](RecordWriter* w) { header(w); BeginFileRecord(w, "x", 0xFFFFFFFFu); },
         kWriterTooLarge},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.what);
        Sink sink;
        RecordWriter writer;
        InitRecordWriter(&writer, CollectBytes, &sink);
        c.calls(&writer);
        EXPECT_EQ(writer.status, c.expected);
        EXPECT_STRNE(RecordWriterError(&writer), "");
        // The refusal sticks: the stream can no longer be finished as sound.
        EXPECT_EQ(FinishRecordWriter(&writer), c.expected);
        EXPECT_EQ(sink.bytes.size(), writer.streamLength);
    }
}

TEST(RecordWriter, RefusedRecordsLeaveNothingHalfWritten) {
    struct Case {
        const char* name;
        uint32_t size;
    } cases[] = {{"ok\xDD", 1}, {"x", 0xFFFFFFF0u}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Sink sink;
        RecordWriter writer;
        InitRecordWriter(&writer, CollectBytes, &sink);
        ASSERT_EQ(WritePackageHeader(&writer, 0, "", "", "", 32), kWriterOk);
        size_t before = sink.bytes.size();
        EXPECT_NE(BeginFileRecord(&writer, c.name, c.size), kWriterOk);
        EXPECT_EQ(sink.bytes.size(), before);
    }
}

TEST(RecordWriter, AcceptsAStreamOfJustUnder4GiBAndRefusesOneByteMore) {
    // Only the records are written: the size check happens before any bytes.
    const uint64_t header = HeaderRecordLength("", "", "");
    const uint64_t recordOverhead = FileRecordLength("a", 0);
    const uint32_t largest = static_cast<uint32_t>(0xFFFFFFFFull - header - recordOverhead);
    struct Case {
        uint32_t size;
        RecordWriterStatus expected;
    } cases[] = {{largest, kWriterOk}, {largest + 1, kWriterTooLarge}};
    for (const Case& c : cases) {
        Sink sink;
        RecordWriter writer;
        InitRecordWriter(&writer, CollectBytes, &sink);
        ASSERT_EQ(WritePackageHeader(&writer, 0, "", "", "", 32), kWriterOk);
        EXPECT_EQ(BeginFileRecord(&writer, "a", c.size), c.expected) << c.size;
    }
}

TEST(RecordWriter, ReportsAFailingSinkAndStops) {
    Sink sink;
    sink.fail = true;
    RecordWriter writer;
    InitRecordWriter(&writer, CollectBytes, &sink);
    EXPECT_EQ(WritePackageHeader(&writer, 0, "A", "B", "C", 32), kWriterSinkFailed);
    EXPECT_EQ(BeginFileRecord(&writer, "x", 0), kWriterSinkFailed);
    EXPECT_STRNE(RecordWriterError(&writer), "");
}

TEST(RecordWriter, WritesWhatTheReaderOnlyCuts) {
    // A 5-character product code and names past 1023 characters are carried whole.
    test::PackagePlan plan;
    plan.productCode = "ABCDE";
    plan.files = {{std::string(1025, 'n'), "x"}, {std::string(1024, 'm'), ""}};
    std::vector<uint8_t> stream = test::MakeRecordStream(plan);
    uint64_t expected = HeaderRecordLength("ABCDE", "", "") + FileRecordLength(plan.files[0].name.c_str(), 1) +
                        FileRecordLength(plan.files[1].name.c_str(), 0);
    EXPECT_EQ(stream.size(), expected);
    EXPECT_EQ(stream.size(), 4u + 6 + 1 + 1 + 4 + (4 + 1026 + 1) + (4 + 1025));
}

TEST(RecordWriter, KeepsTheChecksumAndLengthWhateverTheWritePieces) {
    std::string big(10000, '\0');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>(i * 7 + 3);
    test::PackagePlan plan;
    plan.files = {{"\xE4pfel", big}, {"", "xyz"}, {"z", big.substr(0, 4097)}};
    const uint32_t pieces[] = {1, 7, 4095, 4096, 4097, 10000};
    std::vector<uint8_t> reference = test::MakeRecordStream(plan);
    for (uint32_t piece : pieces) {
        SCOPED_TRACE(piece);
        Sink sink;
        RecordWriter writer;
        InitRecordWriter(&writer, CollectBytes, &sink);
        ASSERT_EQ(WritePackageHeader(&writer, test::ExpectedChecksum(plan), "", "", "", 32), kWriterOk);
        for (const test::PackageFile& file : plan.files) {
            ASSERT_EQ(BeginFileRecord(&writer, file.name.c_str(), static_cast<uint32_t>(file.bytes.size())),
                      kWriterOk);
            for (size_t at = 0; at < file.bytes.size(); at += piece) {
                uint32_t n = static_cast<uint32_t>(std::min<size_t>(piece, file.bytes.size() - at));
                ASSERT_EQ(WriteFileBytes(&writer, Bytes(file.bytes) + at, n), kWriterOk);
            }
        }
        EXPECT_EQ(FinishRecordWriter(&writer), kWriterOk);
        EXPECT_EQ(sink.bytes, reference);
        EXPECT_EQ(writer.checksum, test::ExpectedChecksum(plan));
        EXPECT_EQ(writer.streamLength, reference.size());
        EXPECT_EQ(writer.fileIndex, 3u);
    }
}

struct ChecksumCase {
    const char* what;
    std::string name;
    uint32_t ordinal;
    std::string plain;
    uint32_t expected;
};

TEST(ChecksumAddBytes, FollowsTheDocumentedSum) {
    const ChecksumCase cases[] = {
        {"name a, bytes 00 FF", "a", 1, std::string("\x00\xFF", 2), 471},
        {"first byte E4 counts -28", "\xE4", 1, std::string("\x00", 1), static_cast<uint32_t>(-28 + 11)},
        {"first byte 7F counts 127", "\x7F", 2, "\x01", 127 + 12 + 1},
        {"first byte 80 counts -128", "\x80x", 3, "\x05", static_cast<uint32_t>(-128 + 13 + 5)},
        {"empty name counts 0", "", 5, "\x10\x20", (15 + 0x10) + (15 + 0x20)},
        {"no bytes add nothing", "q", 9, "", 0},
    };
    for (const ChecksumCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ChecksumAddBytes(0, c.ordinal, c.name.c_str(), Bytes(c.plain),
                                   static_cast<uint32_t>(c.plain.size())),
                  c.expected);
    }
}

TEST(ChecksumAddBytes, WrapsModulo2To32AndAddsUpPieceByPiece) {
    const std::string plain("\xFF\x80\x01\x00\x7F", 5);
    uint32_t whole = ChecksumAddBytes(0xFFFFFF00u, 4, "\xE4", Bytes(plain), 5);
    uint32_t pieces = 0xFFFFFF00u;
    for (size_t i = 0; i < plain.size(); ++i) pieces = ChecksumAddBytes(pieces, 4, "\xE4", Bytes(plain) + i, 1);
    EXPECT_EQ(whole, pieces);
    EXPECT_EQ(whole, 0xFFFFFF00u + (0xFF + 0x80 + 1 + 0 + 0x7F) + 5u * static_cast<uint32_t>(-28 + 14));
}

struct DateCase {
    uint32_t year, month, day;
    bool valid;
    uint32_t word;  // checked for valid dates only
};

TEST(DateWord, EncodesValidDatesAndFlagsTheOthers) {
    const DateCase cases[] = {
        {2012, 1, 1, true, 32},       {2012, 12, 31, true, 403},  {2019, 12, 31, true, 3007},
        {2012, 2, 29, true, 91},      {2400, 2, 29, true, 0},     {65535, 12, 31, true, 0},
        {2011, 12, 31, false, 0},     {2013, 2, 29, false, 0},    {2100, 2, 29, false, 0},
        {2012, 4, 31, false, 0},      {2012, 0, 1, false, 0},     {2012, 13, 1, false, 0},
        {2012, 1, 0, false, 0},       {2012, 1, 32, false, 0},    {65536, 1, 1, false, 0},
    };
    for (const DateCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.year << "-" << c.month << "-" << c.day);
        EXPECT_EQ(IsValidPackageDate(c.year, c.month, c.day), c.valid);
        if (c.valid && c.word) {
            EXPECT_EQ(DateWord(c.year, c.month, c.day), c.word);
        }
    }
}

TEST(DateWord, EveryValidDateComesBackFromItsWord) {
    for (uint32_t year = 2012; year <= 2100; ++year) {
        for (uint32_t month = 1; month <= 12; ++month) {
            for (uint32_t day = 1; day <= 31; ++day) {
                if (!IsValidPackageDate(year, month, day)) continue;
                uint16_t y, m, d;
                SplitDateWord(DateWord(year, month, day), &y, &m, &d);
                ASSERT_EQ(y, year);
                ASSERT_EQ(m, month);
                ASSERT_EQ(d, day);
            }
        }
    }
}

}  // namespace
