// Output files get the package's date at 12:00 local time, converted to UTC
// with the offset in force when the run takes place.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <time.h>

#include <string>
#include <vector>

#include "package/record_stream.h"
#include "package/record_writer.h"
#include "test_support.h"

namespace {

const int64_t kUnixEpochIn1601Seconds = 11644473600LL;

uint64_t FileTimeOfUtc(int year, int month, int day, int hour, int minute) {
    struct tm t = {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    return static_cast<uint64_t>(timegm(&t) + kUnixEpochIn1601Seconds) * 10000000u;
}

uint64_t FileTime(const struct timespec& t) {
    return static_cast<uint64_t>(t.tv_sec + kUnixEpochIn1601Seconds) * 10000000u + t.tv_nsec / 100;
}

struct Extracted {
    uint64_t fileTime;
    uint64_t accessTime;
    uint64_t writeTime;
};

Extracted ExtractOneFile(uint32_t dateWord) {
    test::PackagePlan plan;
    plan.dateWord = dateWord;
    plan.files = {{"f.txt", "x"}, {"empty.txt", ""}};
    test::TempFolder folder;
    test::Recorder recorder;
    recorder.folder = folder.Path();
    test::ParseOutcome outcome = test::ParseInChunks(test::MakeRecordStream(plan), {}, &recorder);
    EXPECT_EQ(outcome.error, 0u);
    struct stat st = {};
    EXPECT_EQ(stat(folder.Join("out0").c_str(), &st), 0);
    struct stat empty = {};
    EXPECT_EQ(stat(folder.Join("out1").c_str(), &empty), 0);
    EXPECT_EQ(FileTime(empty.st_mtim), FileTime(st.st_mtim));  // an empty file is timed too
    return {outcome.fileTime, FileTime(st.st_atim), FileTime(st.st_mtim)};
}

struct ZoneCase {
    const char* zone;
    uint32_t dateWord;
    int year, month, day, utcHour, utcMinute;
};

TEST(FileTimes, AreNoonLocalTimeOfThePackageDate) {
    const ZoneCase cases[] = {
        {"UTC0", 32, 2012, 1, 1, 12, 0},
        {"UTC0", 403, 2012, 12, 31, 12, 0},
        {"UTC0", 3007, 2019, 12, 31, 12, 0},
        {"XST-05:30", 32, 2012, 1, 1, 6, 30},    // 5 h 30 min east of UTC
        {"YST+03", 3007, 2019, 12, 31, 15, 0},   // 3 h west of UTC
        {"ZST-14", 32, 2011, 12, 31, 22, 0},     // noon in the far east is the day before in UTC
    };
    for (const ZoneCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.zone << ", date word " << c.dateWord);
        test::ScopedTimeZone zone(c.zone);
        Extracted got = ExtractOneFile(c.dateWord);
        uint64_t expected = FileTimeOfUtc(c.year, c.month, c.day, c.utcHour, c.utcMinute);
        EXPECT_EQ(got.fileTime, expected);
        EXPECT_EQ(got.writeTime, expected);
        EXPECT_EQ(got.accessTime, expected);
    }
}

// Under daylight saving, a winter date and a summer date both take the offset of
// the moment of the run, so they lie whole days apart.
TEST(FileTimes, UseTheOffsetInForceNowNotTheOffsetOfTheDate) {
    test::ScopedTimeZone zone("CET-1CEST,M3.5.0,M10.5.0/3");
    time_t now = time(nullptr);
    struct tm local;
    localtime_r(&now, &local);
    const int64_t offsetNow = local.tm_gmtoff;
    const uint32_t winter = DateWord(2020, 1, 15), summer = DateWord(2020, 7, 15);
    Extracted a = ExtractOneFile(winter);
    Extracted b = ExtractOneFile(summer);
    const uint64_t tick = 10000000u;
    EXPECT_EQ(a.fileTime, FileTimeOfUtc(2020, 1, 15, 12, 0) - offsetNow * tick);
    EXPECT_EQ(b.fileTime, FileTimeOfUtc(2020, 7, 15, 12, 0) - offsetNow * tick);
    EXPECT_EQ((b.fileTime - a.fileTime) % (86400 * tick), 0u);
}

}  // namespace
