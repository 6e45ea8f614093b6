// mksetup extract and inspect on packages made by the writer: names that would
// leave the folder, damaged packages, and what test and list say about them.
#include <gtest/gtest.h>

#include <filesystem>

#include "extract_names.h"
#include "mksetup_test_fixture.h"
#include "package_test_fixture.h"

namespace {

namespace fs = std::filesystem;

TEST(MksetupExtract, NamesThatWouldLeaveTheFolder) {
    const struct {
        std::u16string stored;
        std::vector<std::u16string> parts;  // empty: refused
    } cases[] = {
        {u"a.txt", {u"a.txt"}},
        {u"docs\\a.txt", {u"docs", u"a.txt"}},
        {u"docs/sub\\a.txt", {u"docs", u"sub", u"a.txt"}},
        {u"docs\\\\.\\a.txt", {u"docs", u"a.txt"}},
        {u"..a\\b.c", {u"..a", u"b.c"}},
        {u"..\\a.txt", {}},
        {u"docs\\..\\..\\a.txt", {}},
        {u"docs\\..", {}},
        {u"\\a.txt", {}},
        {u"/etc/a.txt", {}},
        {u"C:\\a.txt", {}},
        {u"C:a.txt", {}},
        {u"a.txt:stream", {}},
        {u"docs\\", {}},
        {u"", {}},
    };
    for (const auto& c : cases) {
        std::vector<std::u16string> parts;
        std::string why;
        EXPECT_EQ(!c.parts.empty(), SafeEntryParts(c.stored, &parts, &why)) << test::Utf8(c.stored);
        if (!c.parts.empty()) {
            EXPECT_EQ(c.parts, parts) << test::Utf8(c.stored);
        }
    }
}

std::string WriteSetup(const test::TempFolder& folder, const test::PackagePlan& plan,
                       const test::SetupLayout& layout = test::SetupLayout()) {
    std::string path = folder.Join("setup.exe");
    EXPECT_TRUE(test::WriteWholeFile(path, test::SetupBytes(test::MakeRecordStream(plan), layout)));
    return path;
}

TEST(MksetupExtract, RefusesTraversalNamesAndExtractsTheRest) {
    test::TempFolder folder;
    test::PackagePlan plan;
    plan.productCode = "EV";
    plan.files = {{"..\\evil.txt", "1"},        {"ok\\good.txt", "good"}, {"\\abs.txt", "2"},
                  {"C:\\drive.txt", "3"},       {"sub\\..\\..\\up.txt", "4"}, {"D:rel.txt", "5"},
                  {"ok\\deeper\\fine.txt", "6"}};
    std::string setup = WriteSetup(folder, plan);
    std::string out = folder.Join("box/out");
    test::CommandResult result = test::RunCommand(ExtractCommand, {setup, "-o", out, "-q"});
    EXPECT_EQ(1, result.code);
    for (const char* name : {"'..\\evil.txt'", "'\\abs.txt'", "'C:\\drive.txt'", "'sub\\..\\..\\up.txt'", "'D:rel.txt'"})
        EXPECT_NE(std::string::npos, result.err.find(std::string("refused ") + name)) << name << "\n" << result.err;
    EXPECT_NE(std::string::npos, result.err.find("5 entries were refused")) << result.err;
    EXPECT_EQ("good", test::FileText(out + "/ok/good.txt"));
    EXPECT_EQ("6", test::FileText(out + "/ok/deeper/fine.txt"));
    // Nothing but the folder itself next to it, nothing at the root.
    std::vector<std::string> beside;
    for (const auto& entry : fs::directory_iterator(folder.Join("box"))) beside.push_back(entry.path().filename());
    EXPECT_EQ(std::vector<std::string>{"out"}, beside);
    EXPECT_FALSE(test::PathExists(folder.Join("evil.txt")));
    EXPECT_FALSE(test::PathExists(folder.Join("up.txt")));
    EXPECT_FALSE(test::PathExists("/abs.txt"));
}

TEST(MksetupExtract, DoesNotWriteThroughASymbolicLink) {
    test::TempFolder folder;
    test::PackagePlan plan;
    plan.files = {{"link\\a.txt", "a"}, {"b.txt", "b"}};
    std::string setup = WriteSetup(folder, plan);
    std::string out = folder.Join("out");
    ASSERT_TRUE(test::MakeFolders(out));
    ASSERT_TRUE(test::MakeFolders(folder.Join("elsewhere")));
    fs::create_directory_symlink(folder.Join("elsewhere"), out + "/link");
    test::CommandResult result = test::RunCommand(ExtractCommand, {setup, "-o", out, "-q"});
    EXPECT_EQ(1, result.code);
    EXPECT_NE(std::string::npos, result.err.find("symbolic link")) << result.err;
    EXPECT_FALSE(test::PathExists(folder.Join("elsewhere/a.txt")));
    EXPECT_EQ("b", test::FileText(out + "/b.txt"));
}

TEST(MksetupExtract, ReportsWhatTheEngineReports) {
    test::PackagePlan sound;
    sound.productCode = "OK";
    sound.files = {{"a.txt", "alpha"}, {"b.txt", std::string(5000, 'b')}};
    test::PackagePlan wrongSum = sound;
    wrongSum.computeChecksum = false;
    wrongSum.storedChecksum = 1;
    test::SetupLayout badProps, cut;
    badProps.propsByte0 = 230;
    cut.keepCompressed = 30;
    std::vector<uint8_t> endsInRecord = test::MakeRecordStream(sound);
    endsInRecord.resize(endsInRecord.size() - 5002);  // inside the second file's record
    const struct {
        const char* what;
        std::vector<uint8_t> stream;
        test::SetupLayout layout;
        int code;
        const char* testSays;
    } cases[] = {
        {"sound", test::MakeRecordStream(sound), {}, 0, "result 0: the package is sound (2 files, 5005 bytes)"},
        {"checksum mismatch", test::MakeRecordStream(wrongSum), {}, 1, "result -1: damaged package: checksum mismatch"},
        {"unsupported properties", test::MakeRecordStream(sound), badProps, 1,
         "result -4: damaged package: unsupported LZMA properties"},
        {"cut short", test::MakeRecordStream(sound), cut, 1,
         "result -1: damaged package: the compressed data is corrupt or cut short"},
        {"ends inside a record", endsInRecord, {}, 1,
         "result -1: damaged package: the package ends inside its header, a record or a file"},
    };
    for (const auto& c : cases) {
        test::TempFolder folder;
        std::string setup = folder.Join("setup.exe");
        ASSERT_TRUE(test::WriteWholeFile(setup, test::SetupBytes(c.stream, c.layout)));
        test::CommandResult tested = test::RunCommand(TestCommand, {setup});
        EXPECT_EQ(c.code, tested.code) << c.what;
        EXPECT_NE(std::string::npos, tested.out.find(c.testSays)) << c.what << "\n" << tested.out;
        EXPECT_EQ(c.code, test::RunCommand(ListCommand, {setup}).code) << c.what;
        EXPECT_EQ(c.code, test::RunCommand(ExtractCommand, {setup, "-o", folder.Join("out"), "-q"}).code) << c.what;
    }
    test::TempFolder folder;
    const struct {
        const char* what;
        std::string path;
        const char* says;
    } missing[] = {
        {"no such file", folder.Join("missing.exe"), "result 2: system error 2"},
        {"no package", folder.Join("plain.exe"), "result -1: no package"},
    };
    ASSERT_TRUE(test::WriteWholeFile(folder.Join("plain.exe"), std::string(100000, 'p')));
    for (const auto& c : missing) {
        test::CommandResult tested = test::RunCommand(TestCommand, {c.path});
        EXPECT_EQ(1, tested.code) << c.what;
        EXPECT_NE(std::string::npos, tested.out.find(c.says)) << c.what << "\n" << tested.out;
    }
}

TEST(MksetupExtract, AFileThatCannotBeWrittenIsNamed) {
    test::TempFolder folder;
    test::PackagePlan plan;
    plan.files = {{"a.txt", "a"}, {"b.txt", "b"}};
    std::string setup = WriteSetup(folder, plan);
    std::string out = folder.Join("out");
    ASSERT_TRUE(test::MakeFolders(out + "/b.txt"));  // a folder where the file should go
    test::CommandResult result = test::RunCommand(ExtractCommand, {setup, "-o", out, "-q"});
    EXPECT_EQ(1, result.code);
    EXPECT_NE(std::string::npos, result.err.find("b.txt': system error 5")) << result.err;
    EXPECT_EQ("a", test::FileText(out + "/a.txt"));
}

}  // namespace
