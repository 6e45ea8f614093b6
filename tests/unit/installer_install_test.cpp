// The whole install sequence behind the Install button, on the POSIX backends:
// the dialog's proposals, the files, the language clean-up, the registry store
// and the shortcuts, and what a failed run leaves.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "common/text.h"
#include "installer/dialog_init.h"
#include "installer/install.h"
#include "installer/pass.h"
#include "installer/quiet_setup.h"
#include "installer/switches.h"
#include "state/state.h"
#include "installer_support.h"
#include "system/registry_store.h"
#include "ui/progress.h"
#include "ui/window.h"

using test::PackageFile;

namespace {

const char kData[] = "data";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

// A machine of its own for every test: registry store, special folders and a
// program-files folder, all inside one temporary folder.
class InstallTest : public ::testing::Test {
protected:
    InstallTest() {
        Env("SETUP_REGISTRY", root.Join("registry.txt"));
        Env("SETUP_FOLDER_DESKTOP", Folder("desktop"));
        Env("SETUP_FOLDER_COMMON_PROGRAMS", Folder("common"));
        Env("SETUP_FOLDER_PROGRAMS", Folder("programs"));
        Env("SETUP_FOLDER_APPDATA", Folder("appdata"));
        Env("ProgramFiles", Folder("Programs"));
        env.push_back(std::make_unique<test::ScopedEnv>("SETUP_WINDOWS_DIR", nullptr));
        test::MakeFolders(QuickLaunch());
    }

    void Env(const char* name, const std::string& value) {
        env.push_back(std::make_unique<test::ScopedEnv>(name, value.c_str()));
    }
    std::string Folder(const std::string& name) {
        test::MakeFolders(root.Join(name));
        return root.Join(name);
    }
    std::string QuickLaunch() { return root.Join("appdata/Microsoft/Internet Explorer/Quick Launch"); }

    // The folder the dialog proposes for a first installation of `product`.
    std::string Proposed(const std::string& product) { return root.Join("Programs/" + product); }

    std::unique_ptr<DialogModel> OpenDialog(const test::PackagePlan& contents) {
        std::string setup = root.Join("setup.exe");
        test::WriteSetupFile(setup, contents);
        CopyText(test::U16(setup).c_str(), gState->packagePath, 1024);
        auto model = CreateMainDialogModel();
        EXPECT_EQ(InitDialogContents(&model->window, nullptr), 0);
        return model;
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

    std::vector<std::string> Links() {
        std::vector<std::string> links;
        for (const char* place : {"common", "desktop", "programs"})
            for (const std::string& name : test::FolderEntries(root.Join(place)))
                for (const std::string& inner :
                     name.back() == '/' ? test::FolderEntries(root.Join(place) + "/" + name) : std::vector<std::string>{""})
                    links.push_back(std::string(place) + "/" + name + inner);
        for (const std::string& name : test::FolderEntries(QuickLaunch())) links.push_back("quicklaunch/" + name);
        return links;
    }

    test::TempFolder root;
    std::vector<std::unique_ptr<test::ScopedEnv>> env;
    test::StateScope state;
};

test::PackagePlan Sample(std::vector<PackageFile> files, const std::string& mainProgram = "") {
    test::PackagePlan contents;
    contents.productCode = "SMP";
    contents.windowClass = "SampleWindow";
    contents.mainProgram = mainProgram;
    contents.files = {{"FILE_ID.DIZ", "Sample Version 1.0\r\n"}};
    contents.files.insert(contents.files.end(), files.begin(), files.end());
    return contents;
}

struct FileCase {
    const char* what;
    std::vector<PackageFile> package;
    std::vector<PackageFile> before;  // already in the destination
    std::vector<std::string> untick;  // language codes the user unticks
    std::vector<std::string> after;   // the destination's entries afterwards
    PackageFile check;                // one file's contents afterwards
};

void PrintTo(const FileCase& c, std::ostream* out) { *out << c.what; }

class InstallFilesTest : public InstallTest, public ::testing::WithParamInterface<FileCase> {};

TEST_P(InstallFilesTest, LeavesTheDestinationAsExpected) {
    const FileCase& c = GetParam();
    std::string destination = Proposed("Sample");
    for (const PackageFile& file : c.before) {
        test::MakeFolders(destination);
        ASSERT_TRUE(test::WriteWholeFile(destination + "/" + file.name, file.bytes));
    }
    auto model = OpenDialog(Sample(c.package));
    std::vector<std::string> ticked;
    for (const test::RowView& row : test::Rows(model.get()))
        if (std::find(c.untick.begin(), c.untick.end(), row.code) == c.untick.end()) ticked.push_back(row.code);
    test::TickOnly(model.get(), ticked);
    ASSERT_EQ(RunInstall(&model->window), 0);
    std::vector<std::string> expected = c.after;
    expected.push_back("FILE_ID.DIZ");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(test::FolderEntries(destination), expected);
    if (!c.check.name.empty()) {
        EXPECT_EQ(test::FileText(destination + "/" + c.check.name), c.check.bytes);
    }
}

const FileCase kFileCases[] = {
    {"both platform folders: only \"64\" and the top level",
     {{"32\\a.dll", "32-bit"}, {"64\\a.dll", "64-bit"}, {"64\\only64.dll", kData}, {"32\\only32.dll", kData},
      {"top.txt", kData}},
     {}, {}, {"a.dll", "only64.dll", "top.txt"}, {"a.dll", "64-bit"}},
    {"unticking US deletes nothing (but new US files stay out)",
     {{"P_US.LNG", "[x]Language=English"}, {"P_DE.LNG", kData}},
     {{"old_US.LNG", kData}, {"old_US.CHM", kData}}, {"US"}, {"P_DE.LNG", "old_US.CHM", "old_US.LNG"}, {}},
    {"unticking DE deletes its .LNG and .CHM files of any prefix and keeps a text file",
     {{"P_DE.LNG", kData}, {"P_IT.LNG", "[x]Language=Italiano"}, {"readme.txt", kData}},
     {{"OTHER_DE.LNG", kData}, {"other_de.chm", kData}, {"program_de.lng", kData}, {"NOTES_DE.TXT", kData},
      {"x_DE.LNG.bak", kData}},
     {"DE"}, {"NOTES_DE.TXT", "P_IT.LNG", "readme.txt", "x_DE.LNG.bak"}, {}},
    {"an unticked package language: clean-up by code, placement by prefix length",
     {{"P_IT.LNG", "[x]Language=Italiano"}, {"P_IT.CHM", kData}, {"Q_IT.TXT", kData}, {"QQ_IT.TXT", kData}},
     {{"LONGNAME_IT.CHM", kData}}, {"IT"}, {"QQ_IT.TXT"}, {}},
    {"an old PSAPI.DLL is moved aside", {{"readme.txt", kData}}, {{"PSAPI.DLL", "old"}}, {},
     {"QWPSAPI.DLL", "readme.txt"}, {"QWPSAPI.DLL", "old"}},
    {"a package's own PSAPI.DLL is written after the old one moved",
     {{"PSAPI.DLL", "new"}}, {{"PSAPI.DLL", "old"}}, {}, {"PSAPI.DLL", "QWPSAPI.DLL"}, {"PSAPI.DLL", "new"}},
    {"an earlier copy aside keeps the old PSAPI.DLL in place", {{"readme.txt", kData}},
     {{"PSAPI.DLL", "second"}, {"QWPSAPI.DLL", "first"}}, {}, {"PSAPI.DLL", "QWPSAPI.DLL", "readme.txt"},
     {"QWPSAPI.DLL", "first"}},
};

INSTANTIATE_TEST_SUITE_P(Install, InstallFilesTest, ::testing::ValuesIn(kFileCases));

TEST_F(InstallTest, AFirstInstallationRegistersAndMakesEveryShortcut) {
    auto model = OpenDialog(Sample({{"64\\Qsample.exe", kData}, {"UnInst.exe", kData}}));
    std::string destination = Proposed("Sample");
    EXPECT_EQ(test::ControlText(model.get(), kIdDestination), root.Join("Programs") + "\\Sample");
    for (int32_t box : {kIdStartMenu, kIdDesktop, kIdQuickLaunch}) EXPECT_TRUE(test::Ticked(model.get(), box));
    ASSERT_EQ(RunInstall(&model->window), 0);

    std::string typed = test::ControlText(model.get(), kIdDestination);
    EXPECT_EQ(Registry(kCurrentUser, "Software\\Quillworks", "SMP"), typed);
    std::string key = std::string(kUninstallKey) + "Sample";
    EXPECT_EQ(Registry(kLocalMachine, key, "DisplayName"), "Sample");
    EXPECT_EQ(Registry(kLocalMachine, key, "UninstallString"), "\"" + typed + "\\UnInst.exe\"");
    EXPECT_EQ(Registry(kLocalMachine, key, "DisplayIcon"), typed + "\\Qsample.exe");
    EXPECT_EQ(Registry(kLocalMachine, key, "Publisher"), "Quillworks");
    EXPECT_EQ(Links(), (std::vector<std::string>{"common/Sample/Sample.lnk", "common/Sample/Uninstall.lnk",
                                                 "desktop/Sample.lnk", "quicklaunch/Sample.lnk"}));

    EXPECT_EQ(test::ControlText(model.get(), kIdStatus), "");
    EXPECT_FALSE(IsWaitCursorShown());
    ASSERT_EQ(model->messages.size(), 1u);
    EXPECT_EQ(test::Utf8(model->messages[0].text), "Sample has been successfully installed.");
    EXPECT_EQ(test::Utf8(model->messages[0].title), "Setup Sample 1.0");
    EXPECT_EQ(model->messages[0].style, kMbIconInformation);
    EXPECT_TRUE(test::PathExists(destination + "/Qsample.exe"));
}

TEST_F(InstallTest, WithoutAMainProgramNoShortcutAndAnEmptyIcon) {
    auto model = OpenDialog(Sample({{"Setup.exe", kData}, {"UnInst.exe", kData}}));
    ASSERT_EQ(RunInstall(&model->window), 0);
    EXPECT_EQ(Links(), std::vector<std::string>{});
    EXPECT_EQ(Registry(kLocalMachine, std::string(kUninstallKey) + "Sample", "DisplayIcon"), "");
}

TEST_F(InstallTest, TheHeaderNamesTheMainProgram) {
    auto model = OpenDialog(Sample({{"Qother.exe", kData}, {"Main.exe", kData}}, "Main.exe"));
    CheckItem(&model->window, kIdStartMenu, false);
    CheckItem(&model->window, kIdQuickLaunch, false);
    ASSERT_EQ(RunInstall(&model->window), 0);
    EXPECT_EQ(Links(), std::vector<std::string>{"desktop/Sample.lnk"});
}

TEST_F(InstallTest, WithoutAnUninstallerNoEntryButTheFolderIsRemembered) {
    auto model = OpenDialog(Sample({{"Qsample.exe", kData}}));
    ASSERT_EQ(RunInstall(&model->window), 0);
    EXPECT_EQ(Registry(kLocalMachine, std::string(kUninstallKey) + "Sample", "DisplayName"), std::nullopt);
    EXPECT_EQ(Registry(kCurrentUser, "Software\\Quillworks", "SMP"), test::ControlText(model.get(), kIdDestination));
}

TEST_F(InstallTest, AnUpdateLeavesBoxesUntickedAndUnticksMissingLanguages) {
    test::PackagePlan contents = Sample({{"P_IT.LNG", "[x]Language=Italiano"}, {"P_FR.LNG", "[x]Language=Francais"},
                                     {"Qsample.exe", kData}});
    std::string destination = root.Join("elsewhere");
    {
        auto first = OpenDialog(contents);
        SetItemText(&first->window, kIdDestination, test::U16(destination).c_str());
        ASSERT_EQ(RunInstall(&first->window), 0);
    }
    ASSERT_EQ(std::remove((destination + "/P_FR.LNG").c_str()), 0);
    auto second = OpenDialog(contents);
    EXPECT_EQ(test::ControlText(second.get(), kIdDestination), destination);
    for (int32_t box : {kIdStartMenu, kIdDesktop, kIdQuickLaunch}) EXPECT_FALSE(test::Ticked(second.get(), box));
    EXPECT_EQ(test::Rows(second.get()), (std::vector<test::RowView>{{"English", "US", true},
                                                                    {"Francais", "FR", false},
                                                                    {"German", "DE", true},
                                                                    {"Italiano", "IT", true}}));
}

TEST_F(InstallTest, WithoutAQuickLaunchFolderItsBoxIsHiddenAndNoLinkMade) {
    ASSERT_EQ(rmdir(QuickLaunch().c_str()), 0);
    auto model = OpenDialog(Sample({{"Qsample.exe", kData}}));
    EXPECT_FALSE(test::Visible(model.get(), kIdQuickLaunch));
    EXPECT_TRUE(test::Ticked(model.get(), kIdQuickLaunch));
    ASSERT_EQ(RunInstall(&model->window), 0);
    EXPECT_EQ(Links(), (std::vector<std::string>{"common/Sample/Sample.lnk", "desktop/Sample.lnk"}));
}

TEST_F(InstallTest, ALongTitleNamesTheProductWithItsFirst31Characters) {
    test::PackagePlan contents = Sample({{"Qsample.exe", kData}});
    contents.files[0].bytes = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789WXYZ Version 2";
    auto model = OpenDialog(contents);
    ASSERT_EQ(RunInstall(&model->window), 0);
    ASSERT_EQ(model->messages.size(), 1u);
    EXPECT_EQ(test::Utf8(model->messages[0].text), "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234 has been successfully installed.");
    EXPECT_TRUE(test::PathExists(root.Join("desktop/ABCDEFGHIJKLMNOPQRSTUVWXYZ01234.lnk")));
}

TEST_F(InstallTest, AnEmptyDestinationDoesNothingAndSaysNothing) {
    auto model = OpenDialog(Sample({{"Qsample.exe", kData}}));
    SetItemText(&model->window, kIdDestination, u"");
    EXPECT_EQ(RunInstall(&model->window), -1);
    EXPECT_TRUE(model->messages.empty());
    EXPECT_FALSE(test::PathExists(Proposed("Sample")));
    EXPECT_EQ(Registry(kCurrentUser, "Software\\Quillworks", "SMP"), std::nullopt);
}

enum class Blocker { Folder, FileWithoutWriteBits };

class InstallFailureTest : public InstallTest, public ::testing::WithParamInterface<Blocker> {};

// What stands at b.dll cannot be replaced: the run fails with the system's
// message, earlier files stay, nothing is registered, and a second try after
// the obstacle is gone succeeds.
TEST_P(InstallFailureTest, FailsWithTheSystemMessageAndRegistersNothing) {
    std::string destination = Proposed("Sample");
    std::string blocked = destination + "/b.dll";
    ASSERT_TRUE(test::MakeFolders(destination));
    if (GetParam() == Blocker::Folder) {
        ASSERT_TRUE(test::MakeFolders(blocked));
    } else {
        ASSERT_TRUE(test::WriteWholeFile(blocked, "kept"));
        ASSERT_EQ(chmod(blocked.c_str(), 0444), 0);
    }
    auto model = OpenDialog(Sample({{"a.dll", kData}, {"b.dll", kData}, {"Qsample.exe", kData}, {"UnInst.exe", kData}}));
    EXPECT_EQ(RunInstall(&model->window), 5);
    ASSERT_EQ(model->messages.size(), 1u);
    EXPECT_EQ(test::Utf8(model->messages[0].text).rfind("Access is denied.", 0), 0u);
    EXPECT_EQ(test::Utf8(model->messages[0].title), "");
    EXPECT_EQ(model->messages[0].style, kMbIconError);
    EXPECT_FALSE(IsWaitCursorShown());
    EXPECT_TRUE(test::PathExists(destination + "/a.dll"));
    EXPECT_FALSE(test::PathExists(destination + "/Qsample.exe"));
    if (GetParam() == Blocker::FileWithoutWriteBits) {
        EXPECT_EQ(test::FileText(blocked), "kept");
    }
    EXPECT_EQ(Registry(kCurrentUser, "Software\\Quillworks", "SMP"), std::nullopt);
    EXPECT_EQ(Registry(kLocalMachine, std::string(kUninstallKey) + "Sample", "DisplayName"), std::nullopt);
    EXPECT_EQ(Links(), std::vector<std::string>{});

    if (GetParam() == Blocker::Folder) ASSERT_EQ(rmdir(blocked.c_str()), 0);
    else ASSERT_EQ(chmod(blocked.c_str(), 0644), 0);
    EXPECT_EQ(RunInstall(&model->window), 0);
    EXPECT_EQ(test::FileText(blocked), kData);
}

INSTANTIATE_TEST_SUITE_P(Install, InstallFailureTest, ::testing::Values(Blocker::Folder, Blocker::FileWithoutWriteBits));

// Setup.exe /S on the model: the exit code an administrator reads, what got
// installed, what the log says, and that no box was left for anyone to answer.
TEST_F(InstallTest, UnattendedRunsEndWithTheirExitCodeAndLogWhatTheyDid) {
    const std::string log = root.Join("setup.log");
    const struct {
        const char* what;
        const char16_t* line;
        const char* destination;  // set after parsing, as /D= would (native paths are no C:\ paths)
        bool broken;
        uint32_t exit;
        bool installed;
        const char* logged;       // a line the log holds
    } cases[] = {
        {"proposals", u"/S", nullptr, false, 0, true, "Sample has been successfully installed."},
        {"a language it lacks", u"/S /LANG=US,XX", nullptr, false, kExitUsage, false,
         "This setup offers no language XX"},
        {"an unknown switch", u"/S /BOGUS", nullptr, false, kExitUsage, false, "Not understood: /BOGUS"},
        {"help", u"/S /?", nullptr, false, 0, false, "/?\tthis text"},
        {"a damaged package", u"/S", nullptr, true, kExitDamaged, false, "Broken file, please download again."},
        {"a folder below a file", u"/S", "blocker/Sample", false, kErrorPathNotFound, false, ""},
    };
    test::WriteWholeFile(root.Join("blocker"), "a file");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        std::remove(log.c_str());
        std::filesystem::remove_all(Proposed("Sample"));
        test::PackagePlan plan = Sample({{"Qsample.exe", kData}, {"UnInst.exe", kData}});
        if (c.broken) {
            plan.computeChecksum = false;
            plan.storedChecksum = 12345;
        }
        std::string setup = root.Join("setup.exe");
        test::WriteSetupFile(setup, plan);
        CopyText(test::U16(setup).c_str(), gState->packagePath, 1024);
        SetupSwitches switches;
        memset(&switches, 0, sizeof switches);
        bool understood = ParseSetupSwitches(c.line, &switches);
        CopyText(test::U16(log).c_str(), switches.logPath, 1024);
        std::string folder = c.destination ? root.Join(c.destination) : Proposed("Sample");
        if (c.destination) CopyText(test::U16(folder).c_str(), switches.destination, 1024);
        auto model = CreateMainDialogModel();
        EXPECT_EQ(RunQuietSetup(&model->window, &switches, understood), c.exit);
        EXPECT_EQ(test::PathExists(folder + "/Qsample.exe"), c.installed);
        EXPECT_TRUE(model->messages.empty());
        std::string text = test::FileText(log);
        EXPECT_NE(text.find(std::string(c.logged) + "\r\n"), std::string::npos) << text;
        if (!c.installed) continue;
        EXPECT_NE(text.find("Sample\\Qsample.exe\r\n"), std::string::npos) << text;
        EXPECT_NE(text.find("Registry: HKEY_LOCAL_MACHINE\\" + std::string(kUninstallKey) + "Sample\r\n"),
                  std::string::npos) << text;
        EXPECT_NE(text.find("Shortcut: " + root.Join("desktop") + "\\Sample.lnk\r\n"), std::string::npos) << text;
        EXPECT_EQ(Registry(kLocalMachine, std::string(kUninstallKey) + "Sample", "DisplayVersion"), "1.0");
    }
}

TEST(UnattendedLog, ALogThatCannotBeMadeStopsBeforeAnything) {
    test::TempFolder root;
    test::StateScope state;
    SetupSwitches switches;
    memset(&switches, 0, sizeof switches);
    ASSERT_TRUE(ParseSetupSwitches(u"/S", &switches));
    CopyText(test::U16(root.Join("missing/setup.log")).c_str(), switches.logPath, 1024);
    auto model = CreateMainDialogModel();
    EXPECT_EQ(RunQuietSetup(&model->window, &switches, true), kErrorPathNotFound);
    EXPECT_EQ(test::FolderEntries(root.Path()), std::vector<std::string>{});
}

TEST_F(InstallTest, ABrokenPackageShowsTheBrokenFileMessage) {
    auto model = OpenDialog(Sample({{"Qsample.exe", kData}}));
    test::PackagePlan broken = Sample({{"Qsample.exe", kData}});
    broken.computeChecksum = false;
    broken.storedChecksum = 12345;
    test::WriteSetupFile(root.Join("setup.exe"), broken);
    EXPECT_EQ(RunInstall(&model->window), -1);
    ASSERT_EQ(model->messages.size(), 1u);
    EXPECT_EQ(test::Utf8(model->messages[0].text), "Broken file, please download again.");
    EXPECT_EQ(test::Utf8(model->messages[0].title), "setup.exe");
    EXPECT_EQ(model->messages[0].style, kMbIconError);
    EXPECT_EQ(Registry(kCurrentUser, "Software\\Quillworks", "SMP"), std::nullopt);
}

// A language file whose code holds wildcards is refused by the placement, so
// on the next run its file is missing and its row would start unticked; the
// clean-up would then delete "*_??.*", every language's files. No row is made
// for such a code, and the clean-up takes no code that is not plain.
class OddLanguageCodeTest : public InstallTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(OddLanguageCodeTest, NeverWidensTheCleanUpOnAnUpdate) {
    test::PackagePlan contents = Sample({{"P_IT.LNG", "[x]Language=Italiano"}, {"P_IT.CHM", kData},
                                         {"P_FR.LNG", "[x]Language=Francais"}, {GetParam(), "[x]Language=Odd"},
                                         {"Qsample.exe", kData}});
    std::string destination = Proposed("Sample");
    for (int run = 0; run < 2; ++run) {
        auto model = OpenDialog(contents);
        EXPECT_EQ(test::Rows(model.get()), (std::vector<test::RowView>{{"English", "US", true},
                                                                        {"Francais", "FR", true},
                                                                        {"German", "DE", true},
                                                                        {"Italiano", "IT", true}}))
            << "run " << run;
        ASSERT_EQ(RunInstall(&model->window), 0);
        for (const char* name : {"P_FR.LNG", "P_IT.LNG", "P_IT.CHM", "Qsample.exe"})
            EXPECT_TRUE(test::PathExists(destination + "/" + name)) << name << " after run " << run;
    }
}

INSTANTIATE_TEST_SUITE_P(Install, OddLanguageCodeTest,
                         ::testing::Values("P_??.LNG", "P_*X.LNG", "P_I*.LNG", "P__?.LNG", "P_-1.LNG",
                                           "P_\xE4" "1.LNG"));

// Links in the destination, one dangling and one to a file elsewhere: each is
// replaced by the package's file, and nothing outside the folder is touched.
TEST_F(InstallTest, ALinkInTheDestinationIsReplacedNotWrittenThrough) {
    std::string destination = Proposed("Sample");
    std::string outside = Folder("outside");
    ASSERT_TRUE(test::MakeFolders(destination));
    ASSERT_TRUE(test::WriteWholeFile(outside + "/kept.txt", "kept"));
    ASSERT_EQ(symlink((outside + "/created.txt").c_str(), (destination + "/dangling.txt").c_str()), 0);
    ASSERT_EQ(symlink((outside + "/kept.txt").c_str(), (destination + "/existing.txt").c_str()), 0);
    auto model = OpenDialog(Sample({{"dangling.txt", "one"}, {"existing.txt", "two"}}));
    ASSERT_EQ(RunInstall(&model->window), 0);
    for (const char* name : {"dangling.txt", "existing.txt"}) {
        struct stat st;
        ASSERT_EQ(lstat((destination + "/" + name).c_str(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode)) << name;
    }
    EXPECT_EQ(test::FileText(destination + "/dangling.txt"), "one");
    EXPECT_EQ(test::FileText(destination + "/existing.txt"), "two");
    EXPECT_EQ(test::FolderEntries(outside), std::vector<std::string>{"kept.txt"});
    EXPECT_EQ(test::FileText(outside + "/kept.txt"), "kept");
}

// However many names a package holds that are no plain file names, the user
// gets one box about them, naming the first five and telling the count, and
// then the success message for the rest.
TEST_F(InstallTest, RefusedEntriesAreToldInOneBox) {
    const struct {
        std::vector<PackageFile> files;
        std::string count;
        std::vector<std::string> named;
        bool more;
    } cases[] = {
        {{{"CON", kData}, {"a.txt", kData}}, "1", {"CON"}, false},
        {{{"a:b", kData}, {"NUL", kData}, {"x?.txt", kData}, {"docs\\", kData}, {"star*", kData}, {"b.", kData},
          {"c ", kData}, {"a.txt", kData}},
         "7", {"a:b", "NUL", "x?.txt", "docs\\", "star*"}, true},
    };
    for (const auto& c : cases) {
        auto model = OpenDialog(Sample(c.files));
        ASSERT_EQ(RunInstall(&model->window), 0);
        ASSERT_EQ(model->messages.size(), 2u);
        std::string text = test::Utf8(model->messages[0].text);
        EXPECT_EQ(text.rfind("Entries of the package that were not installed: " + c.count + "\r\n"
                             "The filename, directory name, or volume label syntax is incorrect.\r\n\r\n", 0), 0u)
            << text;
        std::string names;
        for (const std::string& name : c.named) names += name + "\r\n";
        EXPECT_NE(text.find("\r\n\r\n" + names + (c.more ? "..." : "")), std::string::npos) << text;
        EXPECT_EQ(text.find("b."), std::string::npos) << text;
        EXPECT_EQ(model->messages[0].style, kMbIconError);
        EXPECT_EQ(test::Utf8(model->messages[1].text), "Sample has been successfully installed.");
        EXPECT_TRUE(test::PathExists(Proposed("Sample") + "/a.txt"));
    }
}

// Without a window class of its own, the product's windows are looked for by
// the product's name, cut to the field's 31 characters.
TEST_F(InstallTest, TheProductNameStandsInForAMissingWindowClass) {
    const struct {
        const char* windowClass;
        const char* title;
        const char* expected;
    } cases[] = {
        {"SampleWindow", "Sample Version 1.0", "SampleWindow"},
        {"", "Sample Version 1.0", "Sample"},
        {"", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 Version 2", "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234"},
        {"", "(no title)", ""},
    };
    for (const auto& c : cases) {
        test::StateScope fresh;
        test::PackagePlan contents = Sample({{"Qsample.exe", kData}});
        contents.windowClass = c.windowClass;
        contents.files[0].bytes = c.title;
        OpenDialog(contents);
        EXPECT_STREQ(gState->windowClass, c.expected) << c.title;
    }
}

TEST_F(InstallTest, TheCleanUpTakesOnlyPlainCodes) {
    std::string folder = Folder("languages");
    for (const char* name : {"P_IT.LNG", "P_FR.CHM", "P_DE.LNG"})
        ASSERT_TRUE(test::WriteWholeFile(folder + "/" + name, kData));
    for (const char* code : {"??", "*", "I?", "*T", "", ".", "I T", "\xE4" "T"}) {
        DeleteUnselectedLanguageFiles(test::U16(folder).c_str(), code);
        EXPECT_EQ(test::FolderEntries(folder).size(), 3u) << "code '" << code << "'";
    }
    DeleteUnselectedLanguageFiles(test::U16(folder).c_str(), "it");
    EXPECT_EQ(test::FolderEntries(folder), (std::vector<std::string>{"P_DE.LNG", "P_FR.CHM"}));
}

TEST_F(InstallTest, LanguageFilePathJoinsPrefixAndCode) {
    CopyText(u"Tool", gState->languagePrefix, 32);
    struct {
        const char16_t* destination;
        const char16_t* path;
    } cases[] = {{u"D:\\Apps", u"D:\\Apps\\Tool_IT.LNG"},
                 {u"D:\\Apps\\", u"D:\\Apps\\Tool_IT.LNG"},
                 {u"/opt/x/", u"/opt/x/Tool_IT.LNG"},
                 {u"", u"Tool_IT.LNG"}};
    for (const auto& c : cases) {
        char16_t path[1024];
        LanguageFilePath(c.destination, "IT", path, 1024);
        EXPECT_EQ(std::u16string(path), c.path);
    }
    char16_t small[8];
    LanguageFilePath(u"D:\\Apps", "IT", small, 8);
    EXPECT_EQ(std::u16string(small), u"D:\\Apps");
}

}  // namespace

// Both passes run while the dialog answers: every chunk lets it, with the
// controls that could start another pass or change what the pass reads
// locked, and the bar climbing from 0 to its end; afterwards all is as before.
TEST_F(InstallTest, BothPassesLetTheDialogAnswerWithTheControlsLockedAndTheBarClimbing) {
    std::string big(300000, 'x');
    for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 2654435761u) >> 13);
    std::string setup = root.Join("setup.exe");
    test::WriteSetupFile(setup, Sample({{"64\\Qsample.exe", kData}, {"big.bin", big}}));
    CopyText(test::U16(setup).c_str(), gState->packagePath, 1024);
    auto model = CreateMainDialogModel();
    struct Seen {
        int answers = 0, unlocked = 0, notRunning = 0, barHidden = 0;
    } seen;
    const int32_t locked[] = {kIdInstall, kIdCancel, kIdBrowse, kIdDestination, kIdLanguageList, kIdStartMenu,
                              kIdDesktop, kIdQuickLaunch};
    model->onAnswering = [&](const DialogModel& dialog) {
        ++seen.answers;
        for (int32_t id : locked)
            if (FindModelControl(const_cast<DialogModel*>(&dialog), id)->enabled) ++seen.unlocked;
        if (!IsDialogPassRunning()) ++seen.notRunning;
        if (!FindModelControl(const_cast<DialogModel*>(&dialog), kIdProgress)->visible) ++seen.barHidden;
    };
    const std::vector<int32_t>& positions = FindModelControl(model.get(), kIdProgress)->positions;
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "scan" : "install");
        seen = Seen();
        size_t first = positions.size();
        ASSERT_EQ(pass == 0 ? InitDialogContents(&model->window, nullptr) : RunInstall(&model->window), 0);
        EXPECT_GE(seen.answers, 5);  // one per 64 KiB chunk at least
        EXPECT_EQ(seen.unlocked, 0);
        EXPECT_EQ(seen.notRunning, 0);
        EXPECT_EQ(seen.barHidden, 0);
        ASSERT_GT(positions.size(), first + 1);
        EXPECT_EQ(positions[first], 0);
        EXPECT_TRUE(std::is_sorted(positions.begin() + first, positions.end()));
        EXPECT_EQ(positions.back(), kProgressRange);
        EXPECT_FALSE(IsDialogPassRunning());
        EXPECT_FALSE(test::Visible(model.get(), kIdProgress));
        for (int32_t id : locked) EXPECT_TRUE(FindModelControl(model.get(), id)->enabled) << id;
    }
}

TEST(ProgressPosition, RunsFromZeroToTheRangeAndNeverPast) {
    struct Case {
        uint64_t done, total;
        int32_t position;
    } cases[] = {
        {0, 0, 0},          {5, 0, 0},                      {0, 100, 0},
        {50, 100, 5000},    {99, 100, 9900},                {100, 100, kProgressRange},
        {250, 100, kProgressRange}, {1, 3, 3333},           {0xFFFFFFFFull - 1, 0xFFFFFFFFull, 9999},
        {0xFFFFFFFFull, 0xFFFFFFFFull, kProgressRange},     {65536, 0x100000000ull, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ProgressPosition(c.done, c.total), c.position) << c.done << " of " << c.total;
}
