// What mksetup build refuses, what it warns about, and wrong usage.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include "mksetup_test_fixture.h"
#include "package/package_run.h"

namespace {

namespace fs = std::filesystem;

// Names of the files in a folder, the hidden ones (temporary setups) included.
std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

bool MakeSparseFile(const std::string& path, off_t size) {
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    bool ok = ftruncate(fd, size) == 0;
    close(fd);
    return ok;
}

struct RefusalCase {
    const char* what;
    std::vector<std::pair<std::string, std::string>> files;  // the product folder
    std::vector<std::string> options;                        // replaces the defaults given
    std::string message;                                     // part of the error
};

std::vector<std::string> Options(const test::TempFolder& folder, const std::string& source,
                                 const std::vector<std::string>& overrides) {
    std::vector<std::pair<std::string, std::string>> options = {
        {"--code", "QW"}, {"--window-class", "QwWindow"}, {"--main-program", "Qw.exe"},
        {"--stub", folder.Join("stub.exe")}, {"--date", "2024-01-01"}};
    for (size_t i = 0; i + 1 < overrides.size(); i += 2) {
        bool replaced = false;
        for (auto& option : options)
            if (option.first == overrides[i]) option.second = overrides[i + 1], replaced = true;
        if (!replaced) options.push_back({overrides[i], overrides[i + 1]});
    }
    std::vector<std::string> args = {source, "-o", folder.Join("out/setup.exe"), "-q"};
    for (const auto& option : options) {
        args.push_back(option.first);
        args.push_back(option.second);
    }
    return args;
}

TEST(MksetupRefusals, RefusedInputsLeaveNoOutput) {
    std::string deep;  // 1020 characters in folders of at most 200
    for (int i = 0; i < 5; ++i) deep += std::string(199, 'd') + "/";
    deep += std::string(20, 'f');
    std::string justFits;
    for (int i = 0; i < 5; ++i) justFits += std::string(199, 'd') + "/";
    justFits += std::string(19, 'f');
    const RefusalCase cases[] = {
        {"a name Windows-1252 cannot hold", {{"\xE6\x97\xA5.txt", "x"}}, {}, "Windows-1252 has no character"},
        {"a name holding byte 221", {{"\xC3\x9D.txt", "x"}}, {}, "byte 221"},
        {"a name holding a colon", {{"a:b.txt", "x"}}, {}, "cannot hold the character ':'"},
        {"a name holding a backslash", {{"a\\b.txt", "x"}}, {}, "cannot hold the character '\\'"},
        {"a name of 1020 characters", {{deep, "x"}}, {}, "at most 1019"},
        {"a product code of 4 characters", {{"a.txt", "x"}}, {"--code", "ABCD"}, "at most 3"},
        {"a window class of 32 characters", {{"a.txt", "x"}}, {"--window-class", std::string(32, 'w')}, "at most 31"},
        {"a main program of 32 characters", {{"a.txt", "x"}}, {"--main-program", std::string(28, 'm') + ".exe"},
         "at most 31"},
        {"a product code holding byte 221", {{"a.txt", "x"}}, {"--code", "\xC3\x9D"}, "byte 221"},
        {"a window class Windows-1252 cannot hold", {{"a.txt", "x"}}, {"--window-class", "\xE2\x98\x83"},
         "Windows-1252 has no character"},
        {"a date before 2012", {{"a.txt", "x"}}, {"--date", "2011-12-31"}, "before 2012-01-01"},
        {"a date that does not exist", {{"a.txt", "x"}}, {"--date", "2023-02-29"}, "no such calendar date"},
        {"a missing source folder", {}, {}, "is not a folder"},
        {"an empty source folder", {{"sub/.keep-out", ""}}, {}, "holds no files"},
        {"a stub holding the signature at 89999", {{"a.txt", "x"}}, {"--stub", "STUB@89999"}, "signature at offset 89999"},
        {"a stub holding the signature further on", {{"a.txt", "x"}}, {"--stub", "STUB@120000"}, "signature at offset 120000"},
        {"a missing stub", {{"a.txt", "x"}}, {"--stub", "/nonexistent/stub.exe"}, "is not a file"},
        {"an order file naming a stranger", {{"a.txt", "x"}, {"b.txt", "y"}}, {"--order", "ORDER:a.txt\nc.txt\nb.txt\n"},
         "line 2: 'c.txt' is not a file"},
        {"an order file naming a file twice", {{"a.txt", "x"}, {"b.txt", "y"}},
         {"--order", "ORDER:a.txt\nb.txt\na.txt\n"}, "line 3: 'a.txt' is named twice"},
        {"an order file missing a file", {{"a.txt", "x"}, {"b.txt", "y"}}, {"--order", "ORDER:b.txt\n"},
         "does not name 'a.txt'"},
        {"a missing order file", {{"a.txt", "x"}}, {"--order", "/nonexistent/order.txt"}, "cannot read the order file"},
        {"an uninstaller of its own", {{"FILE_ID.DIZ", "Notes"}, {"uninst.EXE", "x"}}, {"--uninstaller-exe", "UNINST"},
         "'uninst.EXE' would be installed as 'uninst.EXE': --add-uninstaller brings its own"},
        {"a list of its own in a platform folder", {{"FILE_ID.DIZ", "Notes"}, {"64/UNINST.lst", "x"}},
         {"--uninstaller-exe", "UNINST"}, "'64/UNINST.lst' would be installed as 'UNINST.lst'"},
        {"an uninstaller without a product name", {{"a.txt", "x"}}, {"--uninstaller-exe", "UNINST"},
         "--add-uninstaller needs a product name"},
        {"a missing uninstaller", {{"FILE_ID.DIZ", "Notes"}}, {"--uninstaller-exe", "/nonexistent/UnInst.exe"},
         "the uninstaller '/nonexistent/UnInst.exe' is not a file"},
    };
    for (const RefusalCase& c : cases) {
        test::TempFolder folder;
        test::WriteStub(folder);
        ASSERT_TRUE(test::MakeFolders(folder.Join("out")));
        ASSERT_TRUE(test::WriteWholeFile(folder.Join("out/setup.exe"), "the previous setup"));
        std::string source = folder.Join("product");
        if (!c.files.empty()) test::MakeProduct(folder, "product", c.files);
        if (std::string(c.what) == "an empty source folder") fs::remove(source + "/sub/.keep-out");
        std::vector<std::string> overrides = c.options;
        for (std::string& value : overrides) {
            if (value.rfind("STUB@", 0) == 0) {
                size_t at = std::stoul(value.substr(5));
                std::string stub(at + 100, '\0');
                stub.replace(at, 4, reinterpret_cast<const char*>(kPackageSignature), 4);
                ASSERT_TRUE(test::WriteWholeFile(folder.Join("bad-stub.exe"), stub));
                value = folder.Join("bad-stub.exe");
            } else if (value.rfind("ORDER:", 0) == 0) {
                ASSERT_TRUE(test::WriteWholeFile(folder.Join("order.txt"), value.substr(6)));
                value = folder.Join("order.txt");
            }
        }
        std::vector<std::string> args = Options(folder, source, overrides);
        auto uninstaller = std::find_if(args.begin(), args.end(), [](const std::string& value) {
            return value == "UNINST" || value == "/nonexistent/UnInst.exe";
        });
        if (uninstaller != args.end()) {
            if (*uninstaller == "UNINST") {
                ASSERT_TRUE(test::WriteWholeFile(*uninstaller = folder.Join("UnInst.exe"), "program"));
            }
            args.push_back("--add-uninstaller");
        }
        test::CommandResult result = test::RunCommand(BuildCommand, args);
        EXPECT_EQ(1, result.code) << c.what << "\n" << result.err;
        EXPECT_NE(std::string::npos, result.err.find(c.message)) << c.what << "\n" << result.err;
        EXPECT_EQ(std::vector<std::string>{"setup.exe"}, FolderNames(folder.Join("out"))) << c.what;
        EXPECT_EQ("the previous setup", test::FileText(folder.Join("out/setup.exe"))) << c.what;
    }
    // The longest name that may be stored builds.
    test::TempFolder folder;
    test::WriteStub(folder);
    ASSERT_TRUE(test::MakeFolders(folder.Join("out")));
    std::string source = test::MakeProduct(folder, "product", {{justFits, "x"}});
    EXPECT_EQ(0, test::RunCommand(BuildCommand, Options(folder, source, {})).code);
}

TEST(MksetupRefusals, SizesTheInstallerCannotRead) {
    test::TempFolder folder;
    test::WriteStub(folder);
    ASSERT_TRUE(test::MakeFolders(folder.Join("out")));
    ASSERT_TRUE(test::MakeFolders(folder.Join("product")));
    ASSERT_TRUE(MakeSparseFile(folder.Join("product/huge.bin"), 0x100000000ll));
    test::CommandResult result = test::RunCommand(BuildCommand, Options(folder, folder.Join("product"), {}));
    EXPECT_EQ(1, result.code);
    EXPECT_NE(std::string::npos, result.err.find("less than 4 GiB")) << result.err;

    ASSERT_TRUE(fs::remove(folder.Join("product/huge.bin")));
    ASSERT_TRUE(test::WriteWholeFile(folder.Join("product/a.txt"), "a"));
    ASSERT_TRUE(MakeSparseFile(folder.Join("huge-stub.exe"), 0x80000000ll));
    result = test::RunCommand(BuildCommand, Options(folder, folder.Join("product"), {"--stub", folder.Join("huge-stub.exe")}));
    EXPECT_EQ(1, result.code);
    EXPECT_NE(std::string::npos, result.err.find("2 GiB")) << result.err;
    EXPECT_TRUE(FolderNames(folder.Join("out")).empty());
}

TEST(MksetupRefusals, SourceDateEpochMustBeAUsableDate) {
    test::TempFolder folder;
    test::WriteStub(folder);
    std::string source = test::MakeProduct(folder, "product", {{"a.txt", "x"}});
    const struct {
        const char* value;
        int code;
        const char* message;
    } cases[] = {
        {"0", 1, "before 2012-01-01"},
        {"soon", 1, "is not a number of seconds"},
        {"1325376000", 0, ""},  // 2012-01-01 00:00 UTC, the first date a package stores
    };
    for (const auto& c : cases) {
        setenv("SOURCE_DATE_EPOCH", c.value, 1);
        std::vector<std::string> args = {source, "-o", folder.Join("setup.exe"), "--code", "Q", "--window-class", "",
                                         "--main-program", "", "--stub", folder.Join("stub.exe"), "-q"};
        test::CommandResult result = test::RunCommand(BuildCommand, args);
        unsetenv("SOURCE_DATE_EPOCH");
        EXPECT_EQ(c.code, result.code) << c.value << result.err;
        EXPECT_NE(std::string::npos, result.err.find(c.message)) << c.value << result.err;
    }
    EXPECT_NE(std::string::npos, test::RunCommand(ListCommand, {folder.Join("setup.exe")}).out.find("2012-01-01"));
}

TEST(MksetupRefusals, WrongUsageAnswers2) {
    test::TempFolder folder;
    std::string stub = test::WriteStub(folder);
    std::string source = test::MakeProduct(folder, "product", {{"a.txt", "x"}});
    std::string out = folder.Join("setup.exe");
    const struct {
        const char* what;
        int (*command)(const std::vector<std::string>&);
        std::vector<std::string> args;
    } cases[] = {
        {"build without arguments", BuildCommand, {}},
        {"build without -o", BuildCommand, {source, "--code", "Q", "--window-class", "W", "--main-program", "M"}},
        {"build without --code", BuildCommand, {source, "-o", out, "--window-class", "W", "--main-program", "M"}},
        {"build with two folders", BuildCommand, test::BuildArgs(source, out, stub, {source})},
        {"build with an unknown option", BuildCommand, test::BuildArgs(source, out, stub, {"--fast"})},
        {"build with an option twice", BuildCommand, test::BuildArgs(source, out, stub, {"--code", "X"})},
        {"build with a value missing", BuildCommand, {source, "-o"}},
        {"build with a date of another form", BuildCommand,
         {source, "-o", out, "--code", "Q", "--window-class", "W", "--main-program", "M", "--date", "29.02.2024"}},
        {"list without a file", ListCommand, {}},
        {"list with two files", ListCommand, {out, out}},
        {"test with an unknown option", TestCommand, {out, "--verbose"}},
        {"extract without -o", ExtractCommand, {out}},
    };
    for (const auto& c : cases) {
        test::CommandResult result = test::RunCommand(c.command, c.args);
        EXPECT_EQ(2, result.code) << c.what << "\n" << result.err;
        EXPECT_NE(std::string::npos, result.err.find("--help")) << c.what;
    }
    EXPECT_FALSE(test::PathExists(out));
}

TEST(MksetupRefusals, EveryCommandHasHelp) {
    for (auto command : {BuildCommand, ListCommand, TestCommand, ExtractCommand}) {
        test::CommandResult result = test::RunCommand(command, {"--help"});
        EXPECT_EQ(0, result.code);
        EXPECT_EQ(0u, result.out.find("Usage: mksetup ")) << result.out;
    }
    test::CommandResult build = test::RunCommand(BuildCommand, {"--help"});
    EXPECT_NE(std::string::npos, build.out.find("build/windows/Setup.exe")) << "--help says where the stub is looked for";
}

TEST(MksetupRefusals, WithoutAStubTheUserIsToldToPassOne) {
    test::TempFolder folder;
    std::string source = test::MakeProduct(folder, "product", {{"a.txt", "x"}});
    std::vector<std::string> args = {source, "-o", folder.Join("setup.exe"), "--code", "Q", "--window-class", "",
                                     "--main-program", "", "--date", "2020-01-01"};
    test::CommandResult result = test::RunCommand(BuildCommand, args);
    EXPECT_EQ(1, result.code);
    EXPECT_NE(std::string::npos, result.err.find("pass --stub")) << result.err;
}

// ----- Warnings ----------------------------------------------------------------

struct WarningCase {
    const char* what;
    std::vector<std::pair<std::string, std::string>> files;
    std::string mainProgram;
    std::vector<std::string> expected;  // parts of warnings; empty: no warning at all
};

TEST(MksetupWarnings, WhatTheInstallerWouldDropIsNamed) {
    const std::pair<std::string, std::string> diz = {"FILE_ID.DIZ", "Quill\r\n"}, uninst = {"UnInst.exe", "u"},
                                              main = {"Qw.exe", "q"};
    const WarningCase cases[] = {
        {"a complete product", {diz, uninst, main, {"64/core.dll", "c"}, {"32/core.dll", "c"}}, "Qw.exe", {}},
        {"a subfolder of 64", {diz, uninst, main, {"64/sub/x.dll", "x"}}, "Qw.exe",
         {"'64\\sub\\x.dll' is never installed: the installer takes no subfolders of 64"}},
        {"another folder beside 64", {diz, uninst, main, {"64/a.dll", "a"}, {"docs/b.txt", "b"}}, "Qw.exe",
         {"'docs\\b.txt' is never installed: with a 64 folder"}},
        {"an empty file cannot mark a platform", {diz, uninst, main, {"64/a.dll", ""}, {"docs/b.txt", "b"}}, "Qw.exe",
         {}},
        {"names that collide once flattened", {diz, uninst, main, {"a/read.me", "1"}, {"b/READ.ME", "2"}}, "Qw.exe",
         {"'a\\read.me' and 'b\\READ.ME' are installed as the same file 'READ.ME'; the later one wins"}},
        {"a main program that is not installed", {diz, uninst, main}, "Missing.exe",
         {"the main program 'Missing.exe' is not among the installed files"}},
        {"a main program inside a folder", {diz, uninst, {"bin/Qw.exe", "q"}}, "bin\\Qw.exe",
         {"is not among the installed files"}},
        {"no main program and none to stand in", {diz, uninst, {"app.exe", "a"}}, "", {"no shortcuts"}},
        {"no main program, one to stand in", {diz, uninst, {"Qapp.exe", "a"}}, "", {}},
        {"no description", {uninst, main}, "Qw.exe", {"no FILE_ID.DIZ at the top level"}},
        {"a description in a folder", {{"docs/FILE_ID.DIZ", "Q"}, uninst, main}, "Qw.exe",
         {"no FILE_ID.DIZ at the top level"}},
        {"an empty description", {{"FILE_ID.DIZ", ""}, uninst, main}, "Qw.exe", {"FILE_ID.DIZ is empty"}},
        {"no uninstaller", {diz, main}, "Qw.exe", {"no UnInst.exe is installed"}},
        {"a folder left empty", {diz, uninst, main, {"empty/.x", ""}}, "Qw.exe", {"a package holds files, not empty folders"}},
    };
    for (const WarningCase& c : cases) {
        test::TempFolder folder;
        std::string source = test::MakeProduct(folder, "product", c.files);
        if (std::string(c.what) == "a folder left empty") fs::remove(source + "/empty/.x");
        std::vector<std::string> args = {source, "-o", folder.Join("setup.exe"), "--code", "QW", "--window-class", "W",
                                         "--main-program", c.mainProgram, "--stub", test::WriteStub(folder),
                                         "--date", "2020-05-05", "-q"};
        test::CommandResult result = test::RunCommand(BuildCommand, args);
        EXPECT_EQ(0, result.code) << c.what << "\n" << result.err;
        if (c.expected.empty()) {
            EXPECT_EQ("", result.err) << c.what;
        }
        for (const std::string& part : c.expected)
            EXPECT_NE(std::string::npos, result.err.find(part)) << c.what << "\n" << result.err;
    }
}

}  // namespace

namespace {

TEST(MksetupWarnings, ManyFilesOfOneCauseAndFolderMakeOneLine) {
    test::TempFolder folder;
    std::vector<std::pair<std::string, std::string>> files = {
        {"FILE_ID.DIZ", "Quill\r\n"}, {"UnInst.exe", "u"}, {"Qw.exe", "q"}, {"64/core.dll", "c"},
        {"docs/sub/a.txt", "a"}, {"docs/sub/b.txt", "b"}, {"notes/only.txt", "o"}};
    for (int i = 0; i < 1000; ++i) files.push_back({"docs/f" + std::to_string(1000 + i) + ".txt", "x"});
    std::string source = test::MakeProduct(folder, "product", files);
    const char kReason[] = "never installed: with a 64 folder in the package only top-level files and those in 64 "
                           "are installed: ";
    struct Case {
        bool verbose;
        std::vector<std::string> lines;  // each a part of one warning line, in this order
        std::string absent;
    } cases[] = {
        {false,
         {std::string("docs\\\xE2\x80\xA6: 1,000 files are ") + kReason +
              "'docs\\f1000.txt', 'docs\\f1001.txt', 'docs\\f1002.txt', \xE2\x80\xA6",
          std::string("docs\\sub\\\xE2\x80\xA6: 2 files are ") + kReason + "'docs\\sub\\a.txt', 'docs\\sub\\b.txt'",
          "'notes\\only.txt' is never installed: with a 64 folder"},
         "'docs\\f1003.txt'"},
        {true, {"'docs\\f1998.txt', 'docs\\f1999.txt'"}, "\xE2\x80\xA6\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {source, "-o", folder.Join("setup.exe"), "--code", "QW", "--window-class", "W",
                                         "--main-program", "Qw.exe", "--stub", test::WriteStub(folder),
                                         "--date", "2020-05-05", "-q"};
        if (c.verbose) args.push_back("--verbose");
        test::CommandResult result = test::RunCommand(BuildCommand, args);
        EXPECT_EQ(0, result.code) << result.err;
        EXPECT_EQ(3, std::count(result.err.begin(), result.err.end(), '\n')) << result.err.substr(0, 2000);
        size_t at = 0;
        for (const std::string& part : c.lines) {
            at = result.err.find(part, at);
            EXPECT_NE(std::string::npos, at) << part << "\n" << result.err.substr(0, 2000);
            if (at == std::string::npos) break;
        }
        EXPECT_EQ(std::string::npos, result.err.find(c.absent)) << c.absent;
    }
}

}  // namespace
