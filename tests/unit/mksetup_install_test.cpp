// mksetup install end to end: the built tool, run as a user runs it, on a
// sample product packed by our writer, into folders of a machine of its own.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <optional>

#include "installer_support.h"
#include "package/record_writer.h"
#include "system/registry_store.h"

using test::PackageFile;

namespace {

struct ToolRun {
    int exitCode;
    std::string out;
    std::string err;
};

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

class InstallCommandTest : public ::testing::Test {
protected:
    InstallCommandTest() {
        Env("SETUP_REGISTRY", root.Join("registry.txt"));
        Env("SETUP_FOLDER_DESKTOP", Folder("desktop"));
        Env("SETUP_FOLDER_COMMON_PROGRAMS", Folder("common"));
        Env("SETUP_FOLDER_APPDATA", Folder("appdata"));
        env.push_back(std::make_unique<test::ScopedEnv>("SETUP_FOLDER_PROGRAMS", nullptr));
        env.push_back(std::make_unique<test::ScopedEnv>("ProgramFiles", nullptr));
        env.push_back(std::make_unique<test::ScopedEnv>("SETUP_WINDOWS_DIR", nullptr));
        test::MakeFolders(QuickLaunch());
        test::WriteSetupFile(SetupFile(), SampleProduct());
    }

    void Env(const char* name, const std::string& value) {
        env.push_back(std::make_unique<test::ScopedEnv>(name, value.c_str()));
    }
    std::string Folder(const std::string& name) {
        test::MakeFolders(root.Join(name));
        return root.Join(name);
    }
    std::string QuickLaunch() { return root.Join("appdata/Microsoft/Internet Explorer/Quick Launch"); }
    std::string SetupFile() { return root.Join("Setup Sample.exe"); }
    std::string Destination() { return root.Join("Sample Editor"); }

    static test::PackagePlan SampleProduct() {
        test::PackagePlan contents;
        contents.productCode = "SED";
        contents.windowClass = "SampleEditorWindow";
        contents.mainProgram = "Qedit.exe";
        contents.dateWord = DateWord(2024, 5, 17);
        contents.files = {{"32\\Qedit.exe", "32-bit program"},
                      {"64\\Qedit.exe", "64-bit program"},
                      {"64\\engine.dll", "engine"},
                      {"FILE_ID.DIZ", "Sample Editor Version 2.5 (2024)\r\nfor 32-bit and 64-bit Windows\r\n"},
                      {"UnInst.exe", "uninstaller"},
                      {"Editor_DE.LNG", "[Lang]\r\nLanguage=Deutsch (German)\r\n"},
                      {"Editor_IT.LNG", "[Lang]\r\nLanguage=Italiano\r\n"},
                      {"Editor_IT.CHM", "aiuto"},
                      {"readme.txt", "read me"}};
        return contents;
    }

    ToolRun Run(const std::vector<std::string>& args) {
        std::string command = Quote(std::string(SETUP_BINARY_DIR) + "/mksetup") + " install";
        for (const std::string& arg : args) command += " " + Quote(arg);
        std::string errPath = root.Join("stderr.txt");
        command += " 2>" + Quote(errPath);
        ToolRun run{-1, "", ""};
        FILE* pipe = popen(command.c_str(), "r");
        if (!pipe) return run;
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
        int status = pclose(pipe);
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        test::ReadWholeFile(errPath, &run.err);
        return run;
    }

    std::optional<std::string> Registry(RegistryRoot where, const std::string& key, const std::string& name) {
        RegistryKey open;
        if (!OpenRegistryKey(where, test::U16(key).c_str(), &open)) return std::nullopt;
        char16_t value[1024];
        bool read = ReadRegistryString(&open, test::U16(name).c_str(), value, sizeof value);
        CloseRegistryKey(&open);
        if (!read) return std::nullopt;
        return test::Utf8(value);
    }

    // lnkinfo's "Local path" and "Working directory", read independently of our writer.
    std::pair<std::string, std::string> LinkInfo(const std::string& link) {
        std::string command = "lnkinfo " + Quote(link) + " 2>/dev/null";
        FILE* pipe = popen(command.c_str(), "r");
        std::pair<std::string, std::string> info;
        if (!pipe) return info;
        char line[2048];
        while (fgets(line, sizeof line, pipe)) {
            std::string text(line);
            if (!text.empty() && text.back() == '\n') text.pop_back();
            size_t colon = text.find(": ");
            if (colon == std::string::npos) continue;
            if (text.find("Local path") != std::string::npos) info.first = text.substr(colon + 2);
            if (text.find("Working directory") != std::string::npos) info.second = text.substr(colon + 2);
        }
        pclose(pipe);
        return info;
    }

    test::TempFolder root;
    std::vector<std::unique_ptr<test::ScopedEnv>> env;
};

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

TEST_F(InstallCommandTest, InstallsTheSampleProduct) {
    test::ScopedTimeZone zone("XST-3");  // 12:00 local is 09:00 UTC, in the tool as here
    ToolRun run = Run({SetupFile(), "--dest", Destination()});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.err, "");

    // What the dialog shows, then each file as the status line shows it, then the message.
    for (const char* line : {"Caption: Setup Sample Editor 2.5\n", "Title: Sample Editor 2.5\n",
                             "Platform line: 32-bit and 64-bit \n", "  [x] English (US)\n", "  [x] German (DE)\n",
                             "  [x] Italiano (IT)\n", "  [x] Put entry to Start Menu\n", "  [x] Create a Desktop icon\n",
                             "  [x] Create a Quick Launch icon\n", "Sample Editor has been successfully installed.\n"})
        EXPECT_TRUE(Contains(run.out, line)) << line << " missing from:\n" << run.out;
    std::string typed = Destination();
    for (const char* name : {"Qedit.exe", "engine.dll", "FILE_ID.DIZ", "UnInst.exe", "Editor_IT.CHM", "readme.txt"})
        EXPECT_TRUE(Contains(run.out, typed + "\\" + name + "\n")) << name;

    EXPECT_EQ(test::FolderEntries(Destination()),
              (std::vector<std::string>{"Editor_DE.LNG", "Editor_IT.CHM", "Editor_IT.LNG", "FILE_ID.DIZ", "Qedit.exe",
                                        "UnInst.exe", "engine.dll", "readme.txt"}));
    EXPECT_EQ(test::FileText(Destination() + "/Qedit.exe"), "64-bit program");
    const uint64_t noonUtc = (1715936400ull + 11644473600ull) * 10000000ull;  // 2024-05-17 09:00:00 UTC
    for (const std::string& name : test::FolderEntries(Destination()))
        EXPECT_EQ(test::FileModificationTime(Destination() + "/" + name), noonUtc) << name;

    EXPECT_EQ(Registry(kCurrentUser, "Software\\Quillworks", "SED"), typed);
    std::string key = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sample Editor";
    EXPECT_EQ(Registry(kLocalMachine, key, "DisplayName"), "Sample Editor");
    EXPECT_EQ(Registry(kLocalMachine, key, "UninstallString"), "\"" + typed + "\\UnInst.exe\"");
    EXPECT_EQ(Registry(kLocalMachine, key, "DisplayIcon"), typed + "\\Qedit.exe");
    EXPECT_EQ(Registry(kLocalMachine, key, "Publisher"), "Quillworks");

    const std::pair<std::string, std::string> program{typed + "\\Qedit.exe", typed};
    EXPECT_EQ(LinkInfo(root.Join("desktop/Sample Editor.lnk")), program);
    EXPECT_EQ(LinkInfo(QuickLaunch() + "/Sample Editor.lnk"), program);
    EXPECT_EQ(LinkInfo(root.Join("common/Sample Editor/Sample Editor.lnk")), program);
    EXPECT_EQ(LinkInfo(root.Join("common/Sample Editor/Uninstall.lnk")),
              (std::pair<std::string, std::string>{typed + "\\UnInst.exe", typed}));
}

TEST_F(InstallCommandTest, ChoicesOnTheCommandLineReplaceTheDialogsDefaults) {
    test::MakeFolders(Destination());
    test::WriteWholeFile(Destination() + "/Old_DE.CHM", "old German help");
    ToolRun run = Run({SetupFile(), "--dest", Destination(), "--languages", "it", "--no-start-menu", "--no-quick-launch"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, "(languages: IT; shortcuts: desktop)")) << run.out;
    EXPECT_EQ(test::FolderEntries(Destination()),
              (std::vector<std::string>{"Editor_IT.CHM", "Editor_IT.LNG", "FILE_ID.DIZ", "Qedit.exe", "UnInst.exe",
                                        "engine.dll", "readme.txt"}));
    EXPECT_TRUE(test::PathExists(root.Join("desktop/Sample Editor.lnk")));
    EXPECT_EQ(test::FolderEntries(root.Join("common")), std::vector<std::string>{});
    EXPECT_EQ(test::FolderEntries(QuickLaunch()), std::vector<std::string>{});
}

TEST_F(InstallCommandTest, AnUpdateFindsTheRememberedFolder) {
    ASSERT_EQ(Run({SetupFile(), "--dest", Destination(), "--no-desktop"}).exitCode, 0);
    ASSERT_EQ(remove((Destination() + "/Editor_IT.LNG").c_str()), 0);
    ToolRun run = Run({SetupFile(), "--dry-run"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(Contains(run.out, "Destination folder: " + Destination() + "\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, "  [ ] Italiano (IT)\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, "  [ ] Create a Desktop icon\n")) << run.out;
    EXPECT_TRUE(Contains(run.out, "nothing installed")) << run.out;
    EXPECT_FALSE(test::PathExists(root.Join("desktop/Sample Editor.lnk")));
}

TEST_F(InstallCommandTest, ADryRunWritesNothing) {
    ToolRun run = Run({SetupFile(), "--dest", Destination(), "--dry-run"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_FALSE(test::PathExists(Destination()));
    EXPECT_FALSE(test::PathExists(root.Join("registry.txt")));
}

TEST_F(InstallCommandTest, ABrokenSetupFailsWithTheBrokenFileMessage) {
    test::PackagePlan broken = SampleProduct();
    broken.computeChecksum = false;
    broken.storedChecksum = 1;
    test::WriteSetupFile(SetupFile(), broken);
    ToolRun run = Run({SetupFile(), "--dest", Destination()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Contains(run.err, "Broken file, please download again.")) << run.err;
    EXPECT_FALSE(test::PathExists(Destination()));
    EXPECT_FALSE(test::PathExists(root.Join("registry.txt")));
}

struct UnwritableCase {
    const char* what;
    const char* blocker;  // a file, or a folder when it ends in '/', made inside the root
    const char* dest;     // relative to the root
    const char* message;
};

void PrintTo(const UnwritableCase& c, std::ostream* out) { *out << c.what; }

class UnwritableDestinationTest : public InstallCommandTest, public ::testing::WithParamInterface<UnwritableCase> {};

TEST_P(UnwritableDestinationTest, FailsWithTheSystemsMessage) {
    const UnwritableCase& c = GetParam();
    std::string blocker = root.Join(c.blocker);
    if (blocker.back() == '/') ASSERT_TRUE(test::MakeFolders(blocker));
    else ASSERT_TRUE(test::WriteWholeFile(blocker, "in the way"));
    ToolRun run = Run({SetupFile(), "--dest", root.Join(c.dest)});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(Contains(run.err, c.message)) << run.err;
    EXPECT_FALSE(Contains(run.out, "successfully installed")) << run.out;
    EXPECT_EQ(Registry(kCurrentUser, "Software\\Quillworks", "SED"), std::nullopt);
    EXPECT_EQ(test::FolderEntries(root.Join("desktop")), std::vector<std::string>{});
}

const UnwritableCase kUnwritable[] = {
    {"a file stands where the folder should be", "taken", "taken/Sample Editor",
     "The system cannot find the path specified."},
    {"a folder stands where a file should go", "Sample Editor/engine.dll/", "Sample Editor", "Access is denied."},
};

INSTANTIATE_TEST_SUITE_P(InstallCommand, UnwritableDestinationTest, ::testing::ValuesIn(kUnwritable));

struct UsageCase {
    const char* what;
    std::vector<std::string> args;  // "SETUP" stands for the sample setup
    const char* message;
};

void PrintTo(const UsageCase& c, std::ostream* out) { *out << c.what; }

class InstallUsageTest : public InstallCommandTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(InstallUsageTest, RefusesWithExitCode2) {
    std::vector<std::string> args;
    for (const std::string& arg : GetParam().args) args.push_back(arg == "SETUP" ? SetupFile() : arg);
    ToolRun run = Run(args);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(Contains(run.err, GetParam().message)) << run.err;
    EXPECT_FALSE(test::PathExists(root.Join("registry.txt")));
}

const UsageCase kUsageCases[] = {
    {"no setup file", {}, "no setup file given"},
    {"two setup files", {"SETUP", "SETUP"}, "more than one setup file"},
    {"a setup file that is not there", {"missing.exe"}, "no setup file missing.exe"},
    {"an unknown option", {"SETUP", "--everything"}, "unknown option '--everything'"},
    {"--dest without a value", {"SETUP", "--dest"}, "--dest needs a value"},
    {"contradicting boxes", {"SETUP", "--desktop", "--no-desktop"}, "contradict"},
    {"a language the setup does not offer", {"SETUP", "--languages", "US,FR"}, "offers no language FR"},
    {"a language code too long", {"SETUP", "--languages", "ENGLISH"}, "bad language code"},
    {"no destination anywhere", {"SETUP"}, "give one with --dest"},
};

INSTANTIATE_TEST_SUITE_P(InstallCommand, InstallUsageTest, ::testing::ValuesIn(kUsageCases));

TEST_F(InstallCommandTest, HelpDescribesEveryOption) {
    ToolRun run = Run({"--help"});
    EXPECT_EQ(run.exitCode, 0);
    for (const char* option : {"--dest", "--languages", "--start-menu", "--no-desktop", "--quick-launch", "--dry-run"})
        EXPECT_TRUE(Contains(run.out, option)) << option;
}

}  // namespace
