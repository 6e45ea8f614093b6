// build -> list -> test -> extract, byte-identical rebuilds, the order of the
// files, and an outside decoder reading the compressed stream.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>

#include <algorithm>
#include <filesystem>

#include "common/clock.h"
#include "corpus.h"
#include "common/files.h"
#include "mksetup_test_fixture.h"
#include "package/package_run.h"
#include "package/record_writer.h"

namespace {

std::string Noise(size_t n, uint64_t seed) {
    std::string bytes(n, '\0');
    uint64_t x = seed;
    for (size_t i = 0; i < n; ++i) {
        x = x * 6364136223846793005ull + 1442695040888963407ull;
        bytes[i] = static_cast<char>(x >> 56);
    }
    return bytes;
}

// Text-like bytes: words from a small vocabulary, so the file compresses as real ones do.
std::string Prose(size_t n) {
    static const char* kWords[] = {"setup ", "package ", "window ", "folder ", "install ", "file\r\n", "the ", "of "};
    std::string text;
    uint64_t x = 3;
    while (text.size() < n) {
        x = x * 6364136223846793005ull + 1442695040888963407ull;
        text += kWords[x >> 61];
    }
    text.resize(n);
    return text;
}

// Long quiet stretches with noise between them: tens of MB that still span many
// input buffers and chunks, at a speed the best-ratio encoder keeps up with.
std::string Sparse(size_t n) {
    std::string bytes(n, '\0');
    for (size_t at = 0; at < n; at += 64 * 1024) {
        std::string noise = Noise(std::min<size_t>(4096, n - at), at + 1);
        bytes.replace(at, noise.size(), noise);
    }
    return bytes;
}

const std::vector<std::pair<std::string, std::string>>& ProductFiles() {
    static const std::vector<std::pair<std::string, std::string>> files = {
        {"FILE_ID.DIZ", "Quill Writer Version 2.5 (2024)\r\nfor 64-bit Windows\r\n"},
        {"Qw.exe", Noise(70000, 1)},
        {"UnInst.exe", Noise(5000, 2)},
        {"empty.txt", ""},
        {"64/qwcore.dll", Noise(100000, 3)},
        {"64/empty.dll", ""},
        {"docs/\xC3\x84rger \xE2\x82\xAC und \xC5\xB8.txt", "Windows-1252 name"},  // Ärger € und Ÿ
        {"docs/deep/further/notes.txt", Prose(3000)},
        {"big.dat", Sparse(24u << 20)},
    };
    return files;
}

TEST(MksetupRoundTrip, BuildListTestExtract) {
    test::TempFolder folder;
    std::string product = test::MakeProduct(folder, "product", ProductFiles());
    std::string setup = folder.Join("setup.exe");
    test::CommandResult built = test::RunCommand(BuildCommand, test::BuildArgs(product, setup, test::WriteStub(folder)));
    ASSERT_EQ(0, built.code) << built.err;

    test::CommandResult listed = test::RunCommand(ListCommand, {setup});
    ASSERT_EQ(0, listed.code) << listed.err;
    const char* expectedLines[] = {
        "product code:  QW\n", "window class:  QwWindow\n", "main program:  Qw.exe\n", "date:          2024-02-29\n",
        "      100000  64\\qwcore.dll\n", "           0  64\\empty.dll\n", "     5000  UnInst.exe\n",
        "  docs\\\xC3\x84rger \xE2\x82\xAC und \xC5\xB8.txt\n", "    25165824  big.dat\n", "  9 files\n"};
    for (const char* line : expectedLines) EXPECT_NE(std::string::npos, listed.out.find(line)) << line << listed.out;
    // Platform files first, then the rest in byte order of the name.
    size_t last = listed.out.find("size  name\n");
    for (const char* name : {"64\\empty.dll", "64\\qwcore.dll", "FILE_ID.DIZ", "Qw.exe", "UnInst.exe", "big.dat",
                             "docs\\deep\\further\\notes.txt", "docs\\\xC3\x84", "empty.txt"}) {
        size_t at = listed.out.find(std::string("  ") + name, last);
        EXPECT_GT(at, last) << name;
        last = at == std::string::npos ? last : at;
    }

    test::CommandResult tested = test::RunCommand(TestCommand, {setup, "-q"});
    EXPECT_EQ(0, tested.code) << tested.out << tested.err;
    EXPECT_NE(std::string::npos, tested.out.find("result 0")) << tested.out;

    std::string out = folder.Join("extracted");
    test::CommandResult extracted = test::RunCommand(ExtractCommand, {setup, "-o", out, "-q"});
    ASSERT_EQ(0, extracted.code) << extracted.err;
    uint64_t noon = LocalNoonToFileTime(2024, 2, 29);
    for (const auto& file : ProductFiles()) {
        std::string path = out + "/" + file.first;
        EXPECT_TRUE(test::FileText(path) == file.second) << file.first;
        EXPECT_EQ(noon, test::FileModificationTime(path)) << file.first;
    }
}

TEST(MksetupRoundTrip, SameInputsGiveTheSameSetup) {
    test::TempFolder folder;
    std::string product = test::MakeProduct(folder, "product", {{"FILE_ID.DIZ", "Q\r\n"}, {"a.txt", Prose(200000)},
                                                                {"64/b.dll", Noise(3000, 9)}});
    std::string stub = test::WriteStub(folder);
    std::vector<std::string> setups = {folder.Join("one.exe"), folder.Join("two.exe")};
    setenv("SOURCE_DATE_EPOCH", "1700000000", 1);  // 2023-11-14 UTC
    for (const std::string& setup : setups) {
        std::vector<std::string> args = {product, "-o", setup, "--code", "QW", "--window-class", "", "--main-program",
                                         "a.txt", "--stub", stub, "-q"};
        test::CommandResult built = test::RunCommand(BuildCommand, args);
        EXPECT_EQ(0, built.code) << built.err;
        // New modification times must not change the next setup.
        struct timespec times[2] = {{1000000000, 0}, {1000000000, 0}};
        utimensat(AT_FDCWD, (product + "/a.txt").c_str(), times, 0);
    }
    unsetenv("SOURCE_DATE_EPOCH");
    std::string first = test::FileText(setups[0]);
    EXPECT_GT(first.size(), static_cast<size_t>(kSearchStart));
    EXPECT_TRUE(first == test::FileText(setups[1]));
    test::CommandResult listed = test::RunCommand(ListCommand, {setups[0]});
    EXPECT_NE(std::string::npos, listed.out.find("date:          2023-11-14\n")) << listed.out;
}

TEST(MksetupRoundTrip, ASetupBuiltIntoItsProductFolderLeavesItselfOut) {
    test::TempFolder folder;
    std::string product = test::MakeProduct(folder, "product", {{"a.txt", Prose(5000)}});
    std::string setup = product + "/setup.exe", stub = test::WriteStub(folder);
    ASSERT_EQ(0, test::RunCommand(BuildCommand, test::BuildArgs(product, setup, stub)).code);
    std::string first = test::FileText(setup);
    test::CommandResult again = test::RunCommand(BuildCommand, test::BuildArgs(product, setup, stub));
    EXPECT_EQ(0, again.code);
    EXPECT_NE(std::string::npos, again.err.find("'setup.exe' is the setup being built; it is left out")) << again.err;
    EXPECT_TRUE(first == test::FileText(setup));
}

TEST(MksetupRoundTrip, TheOrderFileDecidesThePackageOrder) {
    test::TempFolder folder;
    std::string product = test::MakeProduct(folder, "product", {{"b.txt", "b"}, {"A.txt", "A"}, {"64/z.dll", "z"},
                                                                {"32/a.dll", "a"}, {"a/x.txt", "x"}});
    std::string stub = test::WriteStub(folder);
    std::string orderFile = folder.Join("order.txt");
    ASSERT_TRUE(test::WriteWholeFile(orderFile, "a\\x.txt\r\nb.txt\n\n64/z.dll\n32/a.dll\nA.txt\n"));
    const struct {
        const char* what;
        std::vector<std::string> extra;
        std::vector<std::string> order;
    } cases[] = {
        {"default", {}, {"32\\a.dll", "64\\z.dll", "A.txt", "a\\x.txt", "b.txt"}},
        {"order file", {"--order", orderFile}, {"a\\x.txt", "b.txt", "64\\z.dll", "32\\a.dll", "A.txt"}},
    };
    for (const auto& c : cases) {
        std::string setup = folder.Join("setup.exe");
        test::CommandResult built = test::RunCommand(BuildCommand, test::BuildArgs(product, setup, stub, c.extra));
        ASSERT_EQ(0, built.code) << c.what << built.err;
        std::string listing = test::RunCommand(ListCommand, {setup}).out;
        size_t last = 0;
        for (const std::string& name : c.order) {
            size_t at = listing.find("  " + name + "\n");
            ASSERT_NE(std::string::npos, at) << c.what << ": " << name;
            EXPECT_GT(at, last) << c.what << ": " << name;
            last = at;
        }
    }
}

TEST(MksetupRoundTrip, TheLayoutOfTheSetupFile) {
    test::TempFolder folder;
    std::string product = test::MakeProduct(folder, "product", {{"a.txt", "a"}});
    const struct {
        const char* what;
        size_t stubSize;
        size_t packageAt;
    } cases[] = {
        {"a small stub is padded with zeros", 1000, kSearchStart},
        {"a stub of exactly the search start", kSearchStart, kSearchStart},
        {"a large stub is followed at once", 123457, 123457},
    };
    for (const auto& c : cases) {
        std::string stubBytes(c.stubSize, 'S');
        stubBytes.replace(10, 4, reinterpret_cast<const char*>(kPackageSignature), 4);  // the program's own copy
        ASSERT_TRUE(test::WriteWholeFile(folder.Join("stub.exe"), stubBytes));
        std::string setup = folder.Join("setup.exe");
        ASSERT_EQ(0, test::RunCommand(BuildCommand, test::BuildArgs(product, setup, folder.Join("stub.exe"))).code);
        std::string bytes = test::FileText(setup);
        EXPECT_EQ(stubBytes, bytes.substr(0, c.stubSize)) << c.what;
        EXPECT_EQ(std::string(c.packageAt - c.stubSize, '\0'), bytes.substr(c.stubSize, c.packageAt - c.stubSize));
        EXPECT_EQ(std::string("\xA7\x3C\x5E\x91\x5D\x00\x00\x00\x01", 9), bytes.substr(c.packageAt, 9)) << c.what;
        EXPECT_EQ(0, test::RunCommand(TestCommand, {setup}).code) << c.what;
    }
}

TEST(MksetupRoundTrip, AnOutsideDecoderReadsTheCompressedStream) {
    if (system("xz --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "xz is not installed";
    test::TempFolder folder;
    std::string dizText = "Quill\r\n";
    std::string big = Prose(300000);
    std::string product = test::MakeProduct(folder, "product", {{"FILE_ID.DIZ", dizText}, {"64/\xC3\xA4.dll", big},
                                                                {"e.txt", ""}});
    std::string setup = folder.Join("setup.exe");
    ASSERT_EQ(0, test::RunCommand(BuildCommand, test::BuildArgs(product, setup, test::WriteStub(folder))).code);
    std::string bytes = test::FileText(setup);
    ASSERT_TRUE(test::WriteWholeFile(folder.Join("raw.lzma"), bytes.substr(kSearchStart + 13)));
    std::string command = "xz --format=raw --lzma1=lc=3,lp=0,pb=2,dict=16MiB -dc < " + folder.Join("raw.lzma") +
                          " > " + folder.Join("stream.bin");
    ASSERT_EQ(0, system(command.c_str()));

    test::PackagePlan plan;
    plan.productCode = "QW";
    plan.windowClass = "QwWindow";
    plan.mainProgram = "Qw.exe";
    plan.dateWord = DateWord(2024, 2, 29);
    plan.files = {{"64\\\xE4.dll", big}, {"FILE_ID.DIZ", dizText}, {"e.txt", ""}};
    std::vector<uint8_t> expected = test::MakeRecordStream(plan);
    std::string decoded = test::FileText(folder.Join("stream.bin"));
    EXPECT_TRUE(decoded == std::string(expected.begin(), expected.end()));
    uint32_t unpacked =
        ReadBigEndian32(reinterpret_cast<const uint8_t*>(bytes.data()) + kSearchStart + 4 + kLzmaPropertiesSize);
    EXPECT_EQ(expected.size(), unpacked);
}

}  // namespace

namespace {

TEST(MksetupLevels, EveryLevelIsSoundReproducibleAndNoLargerThanTheQuickerOnes) {
    test::TempFolder folder;
    // What products ship: prose, program source and records, as the benchmark makes them.
    std::vector<std::pair<std::string, std::string>> files = {{"FILE_ID.DIZ", "Quill\r\n"}};
    Random random = SeedRandom(2026);
    std::vector<uint8_t> bytes;
    MakeProse(&random, 120000, false, &bytes);
    files.push_back({"manual.txt", std::string(bytes.begin(), bytes.end())});
    bytes.clear();
    MakeSource(&random, 120000, &bytes);
    files.push_back({"sample.c", std::string(bytes.begin(), bytes.end())});
    bytes.clear();
    MakeRecords(&random, 120000, RecordStyle::Csv, &bytes);
    files.push_back({"prices.csv", std::string(bytes.begin(), bytes.end())});
    std::string source = test::MakeProduct(folder, "product", files);
    uint64_t previous = UINT64_MAX;
    for (int level = 0; level <= 9; ++level) {
        SCOPED_TRACE("level " + std::to_string(level));
        std::string setup = folder.Join("setup" + std::to_string(level) + ".exe");
        std::vector<std::string> extra = {"--level", std::to_string(level)};
        ASSERT_EQ(0, test::RunCommand(BuildCommand, test::BuildArgs(source, setup, test::WriteStub(folder), extra)).code);
        std::string first = test::FileText(setup);
        ASSERT_EQ(0, test::RunCommand(BuildCommand, test::BuildArgs(source, setup, test::WriteStub(folder), extra)).code);
        EXPECT_TRUE(first == test::FileText(setup)) << "not reproducible";
        EXPECT_EQ(0, test::RunCommand(TestCommand, {setup, "-q"}).code);
        EXPECT_LE(first.size(), previous);
        previous = first.size();
    }
    for (const char* bad : {"10", "-1", "x", ""}) {
        std::vector<std::string> extra = {"--level", bad};
        test::CommandResult result =
            test::RunCommand(BuildCommand, test::BuildArgs(source, folder.Join("bad.exe"), test::WriteStub(folder), extra));
        EXPECT_EQ(2, result.code) << bad;
        EXPECT_NE(std::string::npos, result.err.find("--level takes a digit")) << result.err;
    }
}

}  // namespace
