// A whole package run: the result of every kind of setup, the header fields it
// publishes, and what happens to output files when a run fails.
#include <gtest/gtest.h>
#include <dirent.h>
#include <stdio.h>
#include <string.h>
#include <unistd.h>

#include <algorithm>
#include <functional>

#include "state/state.h"
#include "package/package_run.h"
#include "mksetup_test_fixture.h"
#include "package_test_fixture.h"
#include "test_support.h"

namespace {

test::PackagePlan TwoFiles() {
    test::PackagePlan plan;
    plan.productCode = "QW";
    plan.windowClass = "QwMainWindow";
    plan.mainProgram = "Qw.exe";
    plan.dateWord = 403;
    plan.files = {{"readme.txt", "hello"}, {"64\\Qw.exe", std::string(3000, 'x')}};
    return plan;
}

std::vector<uint8_t> Stream(const test::PackagePlan& plan) { return test::MakeRecordStream(plan); }

std::vector<uint8_t> Prefix(std::vector<uint8_t> stream, size_t n) {
    stream.resize(n);
    return stream;
}

// Length of the header record (checksum, three strings, date word).
size_t HeaderLength(const test::PackagePlan& plan) {
    return 4 + plan.productCode.size() + 1 + plan.windowClass.size() + 1 + plan.mainProgram.size() + 1 + 4;
}

int32_t RunSetup(const test::TempFolder& folder, const std::string& setup, test::Recorder* recorder = nullptr) {
    EXPECT_TRUE(test::WriteWholeFile(folder.Join("setup.exe"), setup));
    test::Recorder scratch;
    return ProcessPackage(folder.U16("setup.exe").c_str(), test::RecordingCallback, recorder ? recorder : &scratch);
}

struct StateScope {
    InstallerState state{};
    InstallerState* saved = gState;
    StateScope() { gState = &state; }
    ~StateScope() { gState = saved; }
};

void SetField(char* field, size_t size, const char* value) {
    memset(field, 0, size);
    memcpy(field, value, std::min(strlen(value), size - 1));
}

// A state whose header fields a run must leave alone unless it is sound.
void PresetState(StateScope* scope) {
    SetField(scope->state.productCode, sizeof scope->state.productCode, "OLD");
    SetField(scope->state.windowClass, sizeof scope->state.windowClass, "Earlier");
    SetField(scope->state.headerMainProgram, sizeof scope->state.headerMainProgram, "old.exe");
}

void ExpectPresetKept(const StateScope& scope, const char* what) {
    EXPECT_STREQ("OLD", scope.state.productCode) << what;
    EXPECT_STREQ("Earlier", scope.state.windowClass) << what;
    EXPECT_STREQ("old.exe", scope.state.headerMainProgram) << what;
}

struct ResultCase {
    const char* what;
    std::function<std::string()> setup;
    int32_t expected;
    bool beforeTheParser = false;  // no package or no stream: no callback, the state untouched
};

TEST(PackageRun, ResultOfEveryKindOfSetup) {
    test::PackagePlan sound = TwoFiles();
    test::PackagePlan wrongSum = TwoFiles();
    wrongSum.computeChecksum = false;
    wrongSum.storedChecksum = test::ExpectedChecksum(sound) + 1;
    test::PackagePlan headerOnly = TwoFiles();
    headerOnly.files.clear();
    // A last file of size 0 adds nothing to the checksum: without it the stream
    // is a sound package of its own, shorter than its declared length says.
    test::PackagePlan trailingEmpty = TwoFiles();
    trailingEmpty.files.push_back({"empty.txt", ""});
    size_t withoutEmpty = Stream(TwoFiles()).size();
    // Cut inside the second file's bytes, with the checksum of the bytes that remain.
    test::PackagePlan cutSum = TwoFiles();
    cutSum.computeChecksum = false;
    test::PackagePlan shortened = TwoFiles();
    shortened.files[1].bytes.resize(1000);
    cutSum.storedChecksum = test::ExpectedChecksum(shortened);
    size_t cutInFile = Stream(TwoFiles()).size() - 2000;

    test::SetupLayout noMarker, badProps, worstProps, hugeDictionary, cut, shortDeclared, longDeclared;
    noMarker.endMarker = false;
    badProps.propsByte0 = 225;
    worstProps.propsByte0 = 255;
    hugeDictionary.dictionary = 0xFFFFFFFFll;
    cut.keepCompressed = 60;
    shortDeclared.unpacked = static_cast<int64_t>(withoutEmpty);
    longDeclared.unpacked = static_cast<int64_t>(Stream(sound).size()) + 1000;
    std::string signature(reinterpret_cast<const char*>(kPackageSignature), 4);
    std::string zeros(kSearchStart, '\0');

    const ResultCase cases[] = {
        {"sound, with end marker", [&] { return test::SetupBytes(Stream(sound)); }, 0},
        {"sound, without end marker", [&] { return test::SetupBytes(Stream(sound), noMarker); }, 0},
        {"sound, header only", [&] { return test::SetupBytes(Stream(headerOnly)); }, 0},
        {"sound, a stub longer than the search start", [&] {
             test::SetupLayout longStub;
             longStub.stubSize = 150000;
             return test::SetupBytes(Stream(sound), longStub);
         }, 0},
        {"sound, a dictionary of 4 GiB declared", [&] { return test::SetupBytes(Stream(sound), hugeDictionary); }, 0},
        {"end marker before the declared size", [&] { return test::SetupBytes(Stream(sound), longDeclared); }, 0},
        {"checksum mismatch", [&] { return test::SetupBytes(Stream(wrongSum)); }, -1},
        {"compressed data cut short", [&] { return test::SetupBytes(Stream(sound), cut); }, -1},
        {"data beyond the declared size", [&] { return test::SetupBytes(Stream(trailingEmpty), shortDeclared); }, -1},
        {"empty file", [&] { return std::string(); }, -1, true},
        {"no signature", [&] { return std::string(200000, 'x'); }, -1, true},
        {"signature below the search start only", [&] {
             return std::string(100, '\0') + test::PackageBytes(Stream(sound), test::SetupLayout());
         }, -1, true},
        {"property byte 225", [&] { return test::SetupBytes(Stream(sound), badProps); }, -4, true},
        {"property byte 255", [&] { return test::SetupBytes(Stream(sound), worstProps); }, -4, true},
        {"nothing behind the signature", [&] { return zeros + signature; }, -6, true},
        {"five header bytes", [&] { return zeros + signature + std::string("\x5D\0\0\0\x01", 5); }, -6, true},
        {"eight header bytes", [&] { return zeros + signature + std::string("\x5D\0\0\0\x01\0\0\0", 8); }, -6, true},
        {"stream ends inside the header", [&] { return test::SetupBytes(Prefix(Stream(sound), 6)); }, -1},
        {"stream of the stored checksum 0 only", [&] {
             test::PackagePlan zero = headerOnly;
             zero.computeChecksum = false;
             return test::SetupBytes(Prefix(Stream(zero), 4));
         }, -1},
        {"stream ends inside a file record", [&] {
             return test::SetupBytes(Prefix(Stream(sound), HeaderLength(sound) + 3));
         }, -1},
        {"stream ends inside a file's bytes, checksum matching", [&] {
             return test::SetupBytes(Prefix(Stream(cutSum), cutInFile));
         }, -1},
    };
    test::TempFolder folder;
    for (const ResultCase& c : cases) {
        StateScope scope;
        PresetState(&scope);
        test::Recorder recorder;
        EXPECT_EQ(c.expected, RunSetup(folder, c.setup(), &recorder)) << c.what;
        if (!c.beforeTheParser) continue;
        EXPECT_TRUE(recorder.events.empty()) << c.what;
        ExpectPresetKept(scope, c.what);
    }
}

// A setup file of size bytes: the given bytes at offset 0 and at `at`, zeros
// (sparse, so nothing is written) everywhere else.
std::string SparseSetup(const test::TempFolder& folder, const std::string& start, uint64_t at,
                        const std::string& later, uint64_t size) {
    std::string path = folder.Join("large.exe");
    FILE* file = fopen(path.c_str(), "wb");
    EXPECT_NE(file, nullptr);
    if (!file) return path;
    EXPECT_EQ(fwrite(start.data(), 1, start.size(), file), start.size());
    EXPECT_EQ(fseeko(file, static_cast<off_t>(at), SEEK_SET), 0);
    EXPECT_EQ(fwrite(later.data(), 1, later.size(), file), later.size());
    EXPECT_EQ(ftruncate(fileno(file), static_cast<off_t>(size)), 0);
    fclose(file);
    return path;
}

// Sizes past 4 GiB: the search starts at 89999 whatever the low 32 bits of the
// size say (here they point inside the image, at a copy of the signature there),
// and a package only counts when its stream header lies below 2 GiB.
TEST(PackageRun, SizesPast4GiB) {
    test::TempFolder folder;
    std::string signature(reinterpret_cast<const char*>(kPackageSignature), 4);
    std::string image = std::string(1000, '\0') + signature + std::string(kSearchStart - 1004, 'x');
    std::string package = test::PackageBytes(Stream(TwoFiles()), test::SetupLayout());
    const uint64_t k4GiB = 1ull << 32, k2GiB = 1ull << 31;
    const struct {
        const char* what;
        std::string start;
        uint64_t at;
        std::string later;
        uint64_t size;
        int32_t expected;
    } cases[] = {
        {"a sound setup with 4 GiB appended", image + package, 0, "", k4GiB + 500, 0},
        {"a signature only beyond 2 GiB", image, k2GiB + 16, package, k2GiB + 16 + package.size(), -1},
        {"a stream header across 2 GiB", image, k2GiB - 8 - 4, package, k2GiB + package.size(), -1},
        {"a stream header ending at 2 GiB", image, k2GiB - 9 - 4, package, k2GiB + package.size(), 0},
    };
    for (const auto& c : cases) {
        std::string path = SparseSetup(folder, c.start, c.at, c.later, c.size);
        StateScope scope;
        PresetState(&scope);
        test::Recorder recorder;
        EXPECT_EQ(c.expected, ProcessPackage(test::U16(path).c_str(), test::RecordingCallback, &recorder)) << c.what;
        if (c.expected == 0) {
            EXPECT_STREQ("QW", scope.state.productCode) << c.what;
            EXPECT_EQ(test::RunCommand(TestCommand, {path}).code, 0) << c.what;
            continue;
        }
        EXPECT_TRUE(recorder.events.empty()) << c.what;
        ExpectPresetKept(scope, c.what);
    }
}

TEST(PackageRun, OpeningFailuresAnswerTheSystemCode) {
    test::TempFolder folder;
    ASSERT_TRUE(test::MakeFolders(folder.Join("a-folder")));
    const struct {
        const char* what;
        std::string path;
        int32_t expected;
    } cases[] = {
        {"missing file", folder.Join("missing.exe"), 2},
        {"missing folder", folder.Join("nowhere/setup.exe"), 3},
        {"a folder", folder.Join("a-folder"), 5},
    };
    for (const auto& c : cases) {
        test::Recorder recorder;
        EXPECT_EQ(c.expected, ProcessPackage(test::U16(c.path).c_str(), test::RecordingCallback, &recorder)) << c.what;
        EXPECT_TRUE(recorder.events.empty()) << c.what;
    }
}

TEST(PackageRun, EveryFileReachesTheCallbackAndIsWritten) {
    test::TempFolder folder;
    ASSERT_TRUE(test::MakeFolders(folder.Join("out")));
    test::Recorder recorder;
    recorder.folder = folder.Join("out");
    ASSERT_EQ(0, RunSetup(folder, test::SetupBytes(Stream(TwoFiles())), &recorder));
    ASSERT_EQ(4u, recorder.events.size());
    EXPECT_EQ(u"readme.txt", recorder.events[0].name);
    EXPECT_EQ("hello", recorder.events[1].data);
    EXPECT_EQ(u"64\\Qw.exe", recorder.events[2].name);
    EXPECT_EQ(1024u, recorder.events[3].length);
    EXPECT_EQ(std::string(3000, 'x'), test::FileText(recorder.outputs[u"64\\Qw.exe"]));
}

// Answers every start call with one fixed output path.
int32_t IntoOnePath(char16_t* name, const uint8_t* data, uint32_t, void* context) {
    if (data) return 0;
    std::u16string target = test::U16(*static_cast<const std::string*>(context));
    memcpy(name, target.c_str(), (target.size() + 1) * sizeof(char16_t));
    return 1;
}

TEST(PackageRun, AFailedCreationReportsTheSystemCodeNotTheStop) {
    test::TempFolder folder;
    ASSERT_TRUE(test::MakeFolders(folder.Join("blocked")));
    std::string target = folder.Join("blocked");
    ASSERT_TRUE(test::WriteWholeFile(folder.Join("setup.exe"), test::SetupBytes(Stream(TwoFiles()))));
    EXPECT_EQ(5, ProcessPackage(folder.U16("setup.exe").c_str(), IntoOnePath, &target));
}

TEST(PackageRun, AFailedWriteReportsDiskFull) {
    test::TempFolder folder;
    std::string target = "/dev/full";
    ASSERT_TRUE(test::WriteWholeFile(folder.Join("setup.exe"), test::SetupBytes(Stream(TwoFiles()))));
    EXPECT_EQ(112, ProcessPackage(folder.U16("setup.exe").c_str(), IntoOnePath, &target));
}

size_t OpenDescriptors() {
    size_t count = 0;
    DIR* dir = opendir("/proc/self/fd");
    if (!dir) return 0;
    while (readdir(dir)) ++count;
    closedir(dir);
    return count;
}

TEST(PackageRun, ARunEndingInsideAFileClosesItAndASecondRunReplacesIt) {
    test::TempFolder folder;
    test::PackagePlan big;
    big.productCode = "BIG";
    std::string bytes;
    uint64_t x = 1;
    for (uint32_t i = 0; i < 400000; ++i) {
        x = x * 6364136223846793005ull + 1442695040888963407ull;  // incompressible, so the cut falls inside
        bytes.push_back(static_cast<char>(x >> 56));
    }
    big.files = {{"big.bin", bytes}};
    std::vector<uint8_t> stream = Stream(big);
    std::string target = folder.Join("big.bin");
    test::SetupLayout cut;
    cut.keepCompressed = 200000;
    const struct {
        const char* what;
        std::string setup;
        std::string output;
        int32_t expected;
    } runs[] = {
        {"a stream cut inside the file", test::SetupBytes(stream, cut), target, -1},
        {"a write that fails inside the file", test::SetupBytes(stream), "/dev/full", 112},
    };
    for (const auto& run : runs) {
        size_t before = OpenDescriptors();
        ASSERT_TRUE(test::WriteWholeFile(folder.Join("setup.exe"), run.setup));
        std::string output = run.output;
        EXPECT_EQ(run.expected, ProcessPackage(folder.U16("setup.exe").c_str(), IntoOnePath, &output)) << run.what;
        EXPECT_EQ(before, OpenDescriptors()) << run.what << ": an output file was left open";
    }
    std::string partial = test::FileText(target);
    EXPECT_GT(partial.size(), 0u);
    EXPECT_LT(partial.size(), bytes.size());
    ASSERT_TRUE(test::WriteWholeFile(folder.Join("setup.exe"), test::SetupBytes(stream)));
    EXPECT_EQ(0, ProcessPackage(folder.U16("setup.exe").c_str(), IntoOnePath, &target));
    EXPECT_EQ(bytes, test::FileText(target));
}

// ----- Header fields in the installer state ------------------------------------


TEST(PackageRun, PublishesTheHeaderFieldsOnlyAfterASoundRun) {
    test::PackagePlan longCode = TwoFiles();
    longCode.productCode = "ABCDE";
    test::PackagePlan noClass = TwoFiles();
    noClass.windowClass = "";
    test::PackagePlan wrongSum = TwoFiles();
    wrongSum.computeChecksum = false;
    wrongSum.storedChecksum = 7;
    test::SetupLayout cut;
    cut.keepCompressed = 40;
    const struct {
        const char* what;
        std::string setup;
        int32_t result;
        const char *code, *windowClass, *mainProgram;
    } cases[] = {
        {"sound", test::SetupBytes(Stream(TwoFiles())), 0, "QW", "QwMainWindow", "Qw.exe"},
        {"a code of five characters", test::SetupBytes(Stream(longCode)), 0, "ABC", "QwMainWindow", "Qw.exe"},
        // The dialog stands the product name in for a missing class; a run keeps it.
        {"no window class", test::SetupBytes(Stream(noClass)), 0, "QW", "Earlier", "Qw.exe"},
        {"checksum mismatch", test::SetupBytes(Stream(wrongSum)), -1, "OLD", "Earlier", "old.exe"},
        {"cut short", test::SetupBytes(Stream(TwoFiles()), cut), -1, "OLD", "Earlier", "old.exe"},
    };
    test::TempFolder folder;
    for (const auto& c : cases) {
        StateScope scope;
        SetField(scope.state.productCode, sizeof scope.state.productCode, "OLD");
        SetField(scope.state.windowClass, sizeof scope.state.windowClass, "Earlier");
        SetField(scope.state.headerMainProgram, sizeof scope.state.headerMainProgram, "old.exe");
        EXPECT_EQ(c.result, RunSetup(folder, c.setup)) << c.what;
        EXPECT_STREQ(c.code, scope.state.productCode) << c.what;
        EXPECT_STREQ(c.windowClass, scope.state.windowClass) << c.what;
        EXPECT_STREQ(c.mainProgram, scope.state.headerMainProgram) << c.what;
    }
}

TEST(PackageRun, WithoutAnInstallerStateARunStillSucceeds) {
    InstallerState* saved = gState;
    gState = nullptr;
    test::TempFolder folder;
    EXPECT_EQ(0, RunSetup(folder, test::SetupBytes(Stream(TwoFiles()))));
    gState = saved;
}

}  // namespace
