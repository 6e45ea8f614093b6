// The benchmark driver's arithmetic and plumbing: medians, the verdict on each
// target, finding the package in a setup, and measuring a child process. A
// wrong verdict here would let a slow engine pass unnoticed.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/resource.h>

#include <algorithm>
#include <fstream>

#include "bench.h"
#include "package_test_fixture.h"
#include "test_support.h"

namespace {

TEST(BenchMedian, MiddleValueOrMeanOfTheTwoMiddleOnes) {
    const struct {
        std::vector<double> values;
        double median;
    } cases[] = {
        {{}, 0}, {{3}, 3}, {{1, 3}, 2}, {{5, 1, 3}, 3}, {{4, 1, 3, 100}, 3.5}, {{2, 2, 9, 2, 9}, 2},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(Median(c.values), c.median) << c.values.size();
}

// Figures of one round that meet every target with room to spare.
BenchFigures GoodFigures() {
    BenchFigures f;
    f.decode = {10.0};
    f.test = {10.1};
    f.extract = {10.5};
    f.install = {21.0};  // two passes of 10.5
    f.xzDecode = {10.6};
    f.build = {100};
    f.xzBuild = {100};
    f.buildSize = 1000000;
    f.xzBuildSize = 1000000;
    f.decodePeakKiB = f.testPeakKiB = f.extractPeakKiB = f.installPeakKiB = 20000;
    f.stubSize = 72704;
    return f;
}

std::vector<std::string> Missed(const BenchFigures& figures) {
    std::vector<std::string> names;
    for (const Target& target : JudgeFigures(figures))
        if (!target.Holds()) names.push_back(target.name.substr(0, target.name.find("  ")));
    return names;
}

TEST(BenchMedian, PairedRatioIsTheMedianOfTheRoundsRatios) {
    const struct {
        std::vector<double> a, b;
        double factor, ratio;
    } cases[] = {
        {{10, 20, 30}, {10, 10, 10}, 1, 2},
        {{10, 20, 30}, {10, 10, 10}, 2, 1},                // per pass
        {{11, 10, 50}, {10, 10, 10}, 1, 1.1},              // one slow round does not count
        {{12, 12}, {10, 12, 999}, 1, 1.1},                 // only the rounds both sides have
        {{12, 20, 12}, {10, 0, 10}, 1, 1.2},               // a round without time is left out
        {{}, {1}, 1, 0},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(PairedRatio(c.a, c.b, c.factor), c.ratio) << c.a.size();
}

// A slow spell that hits both steps of a round leaves their ratio alone; the
// ratio of the medians would swing with it.
TEST(BenchTargets, RatiosArePairedByRound) {
    BenchFigures figures = GoodFigures();
    figures.decode = {10, 14, 10.2};
    figures.test = {10.1, 14.2, 10.3};  // every round within 1.5 %
    EXPECT_EQ(Missed(figures), std::vector<std::string>{});
    figures.test = {10.5, 14.2, 10.6};  // two rounds of three 3.9 % and more over
    EXPECT_EQ(Missed(figures), std::vector<std::string>{"B / A"});
}

TEST(BenchTargets, GoodFiguresMeetEveryTarget) {
    std::vector<Target> targets = JudgeFigures(GoodFigures());
    EXPECT_EQ(targets.size(), 10u);
    EXPECT_TRUE(AllHold(targets));
}

TEST(BenchTargets, EachFigurePastItsLimitMissesExactlyItsTarget) {
    const struct {
        const char* what;
        void (*spoil)(BenchFigures*);
        const char* missed;
    } cases[] = {
        {"test 3.1 % over decode", [](BenchFigures* f) { f->test = {10.31}; }, "B / A"},
        {"extract 10.1 % over", [](BenchFigures* f) { f->extract = {11.01}; }, "C / A"},
        {"install 12.1 % per pass", [](BenchFigures* f) { f->install = {22.42}; }, "D / A"},
        {"test slower than xz", [](BenchFigures* f) { f->xzDecode = {10.09}; }, "B / E"},
        {"package 0.6 % larger", [](BenchFigures* f) { f->buildSize = 1006000; }, "F size against xz -9e"},
        {"build 1.21 x xz", [](BenchFigures* f) { f->build = {121}; }, "F time / xz -9e time"},
        {"test 4.1 MiB over", [](BenchFigures* f) { f->testPeakKiB = 20000 + 4198; }, "G peak memory B - A"},
        {"extract 5 MiB over", [](BenchFigures* f) { f->extractPeakKiB = 20000 + 5120; }, "G peak memory C - A"},
        {"install 8 MiB over", [](BenchFigures* f) { f->installPeakKiB = 20000 + 8192; }, "G peak memory D - A"},
        {"stub of 90,000 bytes", [](BenchFigures* f) { f->stubSize = 90000; }, "G Setup.exe size"},
        {"no stub at all", [](BenchFigures* f) { f->stubSize = 0; }, "G Setup.exe size"},
    };
    for (const auto& c : cases) {
        BenchFigures figures = GoodFigures();
        c.spoil(&figures);
        EXPECT_EQ(Missed(figures), std::vector<std::string>{c.missed}) << c.what;
    }
}

TEST(BenchTargets, LimitsThemselvesHold) {
    const struct {
        const char* what;
        void (*edge)(BenchFigures*);
    } cases[] = {
        {"test exactly 3 % over", [](BenchFigures* f) { f->test = {10.3}; }},
        {"install exactly 12 % per pass", [](BenchFigures* f) { f->install = {22.4}; }},
        {"test as fast as xz", [](BenchFigures* f) { f->xzDecode = {10.1}; }},
        {"package smaller than xz's", [](BenchFigures* f) { f->buildSize = 900000; }},
        {"memory 4 MiB over", [](BenchFigures* f) { f->installPeakKiB = 20000 + 4096; }},
        {"memory below the decoder's", [](BenchFigures* f) { f->testPeakKiB = 10000; }},
        {"stub of 89,999 bytes", [](BenchFigures* f) { f->stubSize = 89999; }},
    };
    for (const auto& c : cases) {
        BenchFigures figures = GoodFigures();
        c.edge(&figures);
        EXPECT_TRUE(Missed(figures).empty()) << c.what;
    }
}

TEST(BenchTargets, InstallIsJudgedPerPass) {
    BenchFigures figures = GoodFigures();
    figures.install = {15};  // 1.5 times one decode: fine for two passes, not for one
    EXPECT_TRUE(Missed(figures).empty());
    figures.installPasses = 1;
    EXPECT_EQ(Missed(figures), std::vector<std::string>{"D / A"});
}

TEST(BenchTargets, LinesShowValueLimitAndVerdict) {
    Target held{"B / A", 1.012, Comparison::AtMost, 1.03, "", ""};
    Target missed{"F size", 0.61, Comparison::AtMost, 0.5, " %", "12 against 11 bytes"};
    std::string a = FormatTarget(held), b = FormatTarget(missed);
    EXPECT_NE(a.find("1.012"), std::string::npos) << a;
    EXPECT_NE(a.find("1.030"), std::string::npos) << a;
    EXPECT_NE(a.find(" ok"), std::string::npos) << a;
    EXPECT_NE(b.find("+0.61 %"), std::string::npos) << b;
    EXPECT_NE(b.find("MISSED"), std::string::npos) << b;
    EXPECT_NE(b.find("(12 against 11 bytes)"), std::string::npos) << b;
}

struct LocateCase {
    const char* what;
    size_t signatureAt;  // 0: none
    size_t earlyCopyAt;  // 0: none; a copy below 89999 must be ignored
    size_t tail;         // bytes after the signature
    bool found;
};

TEST(BenchLocate, FindsTheFirstSignatureFromOffset89999) {
    const LocateCase cases[] = {
        {"right at 89999", 89999, 0, 100, true},
        {"behind an early copy", 95000, 1000, 100, true},
        {"across a 64 KiB block boundary", 89999 + 65536 - 2, 0, 100, true},
        {"only below 89999", 0, 5000, 0, false},
        {"header cut short", 90000, 0, 12, false},
        {"header complete, no data", 90000, 0, 13, true},
    };
    test::TempFolder folder;
    for (const LocateCase& c : cases) {
        size_t end = c.signatureAt ? c.signatureAt + c.tail : 100000;
        std::string bytes(end, '\0');
        const char signature[] = "\xA7\x3C\x5E\x91";
        if (c.earlyCopyAt) bytes.replace(c.earlyCopyAt, 4, signature, 4);
        if (c.signatureAt) {
            bytes.replace(c.signatureAt, 4, signature, 4);
            if (c.tail >= 13) bytes.replace(c.signatureAt + 4, 9, "\x5D\x00\x00\x00\x01\x01\x02\x03\x04", 9);
        }
        std::string path = folder.Join("setup.exe");
        ASSERT_TRUE(test::WriteWholeFile(path, bytes));
        PackageLocation at = LocatePackage(path);
        EXPECT_EQ(at.found, c.found) << c.what;
        if (!c.found || !at.found) continue;
        EXPECT_EQ(at.streamOffset, c.signatureAt + 13) << c.what;
        EXPECT_EQ(at.compressedSize, c.tail - 13) << c.what;
        EXPECT_EQ(at.unpackedSize, 0x01020304u) << c.what;
        EXPECT_EQ(at.properties[0], 0x5D) << c.what;
    }
    EXPECT_FALSE(LocatePackage(folder.Join("missing.exe")).found);
}

TEST(BenchFiles, CopiesAPartAndComparesWholeFiles) {
    test::TempFolder folder;
    std::string data;
    for (int i = 0; i < 200000; ++i) data.push_back(static_cast<char>(i * 7));
    std::string a = folder.Join("a"), part = folder.Join("part");
    ASSERT_TRUE(test::WriteWholeFile(a, data));
    ASSERT_TRUE(CopyFilePart(a, 70000, 100000, part));
    EXPECT_EQ(test::FileText(part), data.substr(70000, 100000));
    EXPECT_FALSE(CopyFilePart(a, 150000, 100000, folder.Join("short"))) << "only 50000 bytes are there";
    EXPECT_FALSE(CopyFilePart(folder.Join("missing"), 0, 1, folder.Join("x")));

    const struct {
        const char* what;
        std::string other;
        bool same;
    } cases[] = {
        {"identical", data, true},
        {"last byte differs", data.substr(0, data.size() - 1) + "!", false},
        {"one byte shorter", data.substr(0, data.size() - 1), false},
        {"one byte longer", data + "x", false},
        {"empty", "", false},
    };
    for (const auto& c : cases) {
        std::string b = folder.Join("b");
        ASSERT_TRUE(test::WriteWholeFile(b, c.other));
        EXPECT_EQ(SameFileContents(a, b), c.same) << c.what;
    }
    EXPECT_FALSE(SameFileContents(a, folder.Join("missing")));
}

TEST(BenchMeasure, ReportsExitStatusOutputAndEnvironment) {
    test::TempFolder folder;
    std::string out = folder.Join("out.txt");
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> environment;
        bool started;
        int exitCode;
    } cases[] = {
        {{"sh", "-c", "exit 3"}, {}, true, 3},
        {{"sh", "-c", "test \"$BENCH_PROBE\" = yes"}, {"BENCH_PROBE=yes"}, true, 0},
        {{"sh", "-c", "test \"$BENCH_PROBE\" = yes"}, {"BENCH_PROBE=no"}, true, 1},
        {{"sh", "-c", "kill -KILL $$"}, {}, true, 128 + 9},
        {{"/nonexistent/program"}, {}, false, -1},
    };
    for (const auto& c : cases) {
        Measurement m = RunMeasured(Command{c.args, c.environment, out, "/dev/null"});
        // glibc may report a program it cannot execute as a child that exits with 127.
        if (!c.started && m.started) {
            EXPECT_EQ(m.exitCode, 127) << c.args.back();
        } else {
            EXPECT_EQ(m.started, c.started) << c.args.back();
        }
        if (c.started) {
            EXPECT_EQ(m.exitCode, c.exitCode) << c.args.back();
        }
    }
    Measurement echo = RunMeasured(Command{{"sh", "-c", "echo measured; echo oops >&2"}, {}, out, folder.Join("err")});
    EXPECT_EQ(echo.exitCode, 0);
    EXPECT_EQ(test::FileText(out), "measured\n");
    EXPECT_EQ(test::FileText(folder.Join("err")), "oops\n");
}

// The peak is the child's: a 64 MiB buffer shows. A child starts from its
// parent's image, so the kernel's count never falls below the peak of this
// test process itself (large under a sanitizer); a small child stays at that.
TEST(BenchMeasure, PeakMemoryIsTheChilds) {
    rusage self = {};
    getrusage(RUSAGE_SELF, &self);
    uint64_t floorKiB = static_cast<uint64_t>(self.ru_maxrss);
    Measurement small = RunMeasured(Command{{"true"}, {}, "/dev/null", "/dev/null"});
    Measurement large =
        RunMeasured(Command{{"dd", "if=/dev/zero", "of=/dev/null", "bs=64M", "count=1"}, {}, "/dev/null", "/dev/null"});
    ASSERT_EQ(small.exitCode, 0);
    ASSERT_EQ(large.exitCode, 0);
    EXPECT_LE(small.peakKiB, std::max<uint64_t>(floorKiB, 8 * 1024) + 4 * 1024);
    EXPECT_GE(large.peakKiB, 64u * 1024);
    EXPECT_GT(large.wallSeconds, 0.0);
}

// The bare decoder must decode exactly the package the engine reads, and
// refuse a damaged one rather than report a short run as a fast one.
TEST(BenchDecodeHarness, DecodesWholePackagesAndRefusesDamagedOnes) {
    const std::string harness = SETUP_BINARY_DIR "/bench/bench_decode";
    std::vector<uint8_t> stream;
    for (int i = 0; i < 300000; ++i) stream.push_back(static_cast<uint8_t>((i * 31) ^ (i >> 7)));
    const struct {
        const char* what;
        test::SetupLayout layout;
        int exitCode;
        std::string output;
    } cases[] = {
        {"with end marker", [] { test::SetupLayout l; return l; }(), 0, "300000 bytes decoded\n"},
        {"without end marker", [] { test::SetupLayout l; l.endMarker = false; return l; }(), 0, "300000 bytes decoded\n"},
        {"longer stub", [] { test::SetupLayout l; l.stubSize = 150000; return l; }(), 0, "300000 bytes decoded\n"},
        {"cut short", [] { test::SetupLayout l; l.endMarker = false; l.keepCompressed = 2000; return l; }(), 1, ""},
        {"no package", [] { test::SetupLayout l; l.stubSize = 100; return l; }(), 1, ""},
    };
    test::TempFolder folder;
    for (const auto& c : cases) {
        std::string setup = folder.Join("setup.exe"), out = folder.Join("out.txt");
        ASSERT_TRUE(test::WriteWholeFile(setup, test::SetupBytes(stream, c.layout)));
        Measurement m = RunMeasured(Command{{harness, setup}, {}, out, "/dev/null"});
        ASSERT_TRUE(m.started) << harness;
        EXPECT_EQ(m.exitCode, c.exitCode) << c.what;
        if (c.exitCode == 0) {
            EXPECT_EQ(test::FileText(out), c.output) << c.what;
        }
    }
}

}  // namespace
