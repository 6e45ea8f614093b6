// The install pass's placement rules, run over real setup files into real
// folders: platform and language filters, flat paths, the main program and
// the uninstaller, and files already standing at the destination.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "common/text.h"
#include "installer/placement.h"
#include "state/state.h"
#include "installer_support.h"
#include "package/package_run.h"
#include "ui/language_list.h"
#include "ui/window.h"

using test::PackageFile;

namespace {

struct RowSetting {
    const char* code;
    bool ticked;
};

struct Placement {
    std::unique_ptr<DialogModel> model;
    InstallContext install;
    int32_t result = 0;
};

struct PlacementSetup {
    std::vector<PackageFile> files;
    const char16_t* platformFolder;
    const char16_t* prefix;
    std::vector<RowSetting> rows;  // beyond English and German (both ticked)
    const char16_t* mainProgram;
    std::string destinationSuffix;  // appended to the destination as typed
};

PlacementSetup Package(std::vector<PackageFile> files, const char16_t* platformFolder = u"",
                     const char16_t* prefix = u"", std::vector<RowSetting> rows = {},
                     const char16_t* mainProgram = u"", std::string destinationSuffix = "") {
    return {files, platformFolder, prefix, rows, mainProgram, destinationSuffix};
}

// Rows as the scan would leave them, then one install pass into `destination`.
std::unique_ptr<Placement> Place(const PlacementSetup& setup, const test::TempFolder& folder,
                                 const std::string& destination) {
    test::PackagePlan contents;
    contents.productCode = "TP";
    contents.files = setup.files;
    std::string setupFile = folder.Join("setup.exe");
    test::WriteSetupFile(setupFile, contents);
    CopyText(test::U16(setupFile).c_str(), gState->packagePath, 1024);
    CopyText(setup.prefix, gState->languagePrefix, 32);

    auto placement = std::make_unique<Placement>();
    placement->model = CreateMainDialogModel();
    Window list;
    GetControl(&placement->model->window, kIdLanguageList, &list);
    AddLanguageRow(&list, u"English", kCodeUS);
    AddLanguageRow(&list, u"German", kCodeDE);
    for (const RowSetting& row : setup.rows) {
        LanguageCode code = MakeLanguageCode(row.code, static_cast<int32_t>(strlen(row.code)));
        if (FindLanguageRow(&list, code) < 0) AddLanguageRow(&list, test::U16(row.code).c_str(), code);
        SetRowCheck(&list, FindLanguageRow(&list, code), row.ticked ? kRowTicked : kRowUnticked);
    }
    std::memset(&placement->install, 0, sizeof placement->install);
    placement->install.dialog = &placement->model->window;
    CopyText(test::U16(destination + setup.destinationSuffix).c_str(), placement->install.destination, 1024);
    CopyText(setup.mainProgram, placement->install.mainProgram, 32);
    CopyText(setup.platformFolder, placement->install.platformFolder, 4);
    placement->result = ProcessPackage(gState->packagePath, PlaceFileCallback, &placement->install);
    return placement;
}

const char kData[] = "data";

const std::vector<PackageFile> kPlatformPackage = {
    {"64\\a.dll", "64-bit a"}, {"32\\a32.dll", kData},   {"docs\\b.txt", kData},
    {"64\\sub\\c.dll", kData}, {"readme.txt", kData},
};

struct PlacementCase {
    const char* what;
    PlacementSetup setup;
    std::vector<std::string> installed;
    const char16_t* mainProgram;
    const char16_t* uninstaller;
};

void PrintTo(const PlacementCase& c, std::ostream* out) { *out << c.what; }

class PlacementTest : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(PlacementTest, InstallsWhatTheRulesLetThrough) {
    const PlacementCase& c = GetParam();
    test::StateScope state;
    test::TempFolder folder;
    std::string destination = folder.Join("dest");
    ASSERT_TRUE(test::MakeFolders(destination));
    auto placement = Place(c.setup, folder, destination);
    ASSERT_EQ(placement->result, 0);
    EXPECT_EQ(test::FolderEntries(destination), c.installed);
    EXPECT_EQ(std::u16string(placement->install.mainProgram), c.mainProgram);
    EXPECT_EQ(std::u16string(placement->install.uninstaller), c.uninstaller);
}

const PlacementCase kPlacements[] = {
    {"\"64\": its own files and top-level ones", Package(kPlatformPackage, u"64"), {"a.dll", "readme.txt"}, u"", u""},
    {"\"32\": the same rule", Package(kPlatformPackage, u"32"), {"a32.dll", "readme.txt"}, u"", u""},
    {"the platform folder is compared without regard to case", Package({{"DOC\\x.dll", kData}}, u"doc"),
     {"x.dll"}, u"", u""},
    {"no platform folder: everything, flat", Package(kPlatformPackage),
     {"a.dll", "a32.dll", "b.txt", "c.dll", "readme.txt"}, u"", u""},
    {"a folder separated by '/' only is no folder", Package({{"32/a.dll", kData}, {"64\\b.dll", kData}}, u"64"),
     {"a.dll", "b.dll"}, u"", u""},
    {"a folder part after '/' still counts once there is a '\\'",
     Package({{"64/sub\\c.dll", kData}, {"64\\d.dll", kData}}, u"64"), {"d.dll"}, u"", u""},
    {"unticked language: its .LNG and .CHM stay out, whatever the prefix's letters",
     Package({{"PROGRAM_IT.LNG", kData},
            {"PROGRAM_IT.CHM", kData},
            {"OTHERXX_IT.CHM", kData},
            {"PROGRAM_DE.LNG", kData},
            {"PROGRAM_HELP.TXT", kData},
            {"PROGRAM_LONGER.TXT", kData},
            {"PROGRAM.EXE", kData}},
           u"", u"PROGRAM", {{"IT", false}}),
     {"PROGRAM.EXE", "PROGRAM_DE.LNG", "PROGRAM_HELP.TXT", "PROGRAM_LONGER.TXT"}, u"", u""},
    {"a code of up to 4 letters is looked up by its first 3",
     Package({{"PROGRAM_HELP.TXT", kData}, {"PROGRAM_HEL.TXT", kData}}, u"", u"PROGRAM", {{"HEL", false}}), {}, u"",
     u""},
    {"the code's letters are upper-cased", Package({{"PROGRAM_it.lng", kData}}, u"", u"PROGRAM", {{"IT", false}}), {},
     u"", u""},
    {"unticked US: new English files stay out too",
     Package({{"PROGRAM_US.LNG", kData}}, u"", u"PROGRAM", {{"US", false}}), {}, u"", u""},
    {"a ticked row lets its files through", Package({{"PROGRAM_IT.LNG", kData}}, u"", u"PROGRAM", {{"IT", true}}),
     {"PROGRAM_IT.LNG"}, u"", u""},
    {"without language files a name starting with '_' is one",
     Package({{"_IT.txt", kData}, {"x_IT.txt", kData}}, u"", u"", {{"IT", false}}), {"x_IT.txt"}, u"", u""},
    {"the language filter looks behind the first folder only",
     Package({{"docs\\sub\\PROGRAM_IT.LNG", kData}, {"docs\\PROGRAM_IT.CHM", kData}}, u"", u"PROGRAM",
           {{"IT", false}}),
     {"PROGRAM_IT.LNG"}, u"", u""},
    {"the first Q*.EXE is the main program; uninst.EXE is the uninstaller",
     Package({{"Setup.exe", kData}, {"uninst.EXE", kData}, {"Qx.exe", kData}, {"Qz.exe", kData}}),
     {"Qx.exe", "Qz.exe", "Setup.exe", "uninst.EXE"}, u"Qx.exe", u"uninst.EXE"},
    {"a main program from the header stays", Package({{"Qx.exe", kData}}, u"", u"", {}, u"Main.exe"), {"Qx.exe"},
     u"Main.exe", u""},
    {"the last uninstaller placed wins; a skipped one does not count",
     Package({{"uninst.exe", kData}, {"64\\UnInst.EXE", kData}, {"32\\UNINST.EXE", kData}}, u"64"),
     {"UnInst.EXE", "uninst.exe"}, u"", u"UnInst.EXE"},
    {"Q.exe is long enough, .exe alone is not", Package({{".exe", kData}, {"Q.exe", kData}}), {".exe", "Q.exe"},
     u"Q.exe", u""},
    {"a destination typed with a trailing '/' gets no second separator",
     Package({{"docs\\b.txt", kData}}, u"", u"", {}, u"", "/"), {"b.txt"}, u"", u""},
    {"entries that name no file are left out",
     Package({{"docs\\", kData}, {"..", kData}, {"sub\\.", kData}, {"ok.txt", kData}}), {"ok.txt"}, u"", u""},
};

INSTANTIATE_TEST_SUITE_P(Placement, PlacementTest, ::testing::ValuesIn(kPlacements));

TEST(PlacementTest, SameNameInTwoFoldersEndsAsTheLaterFile) {
    test::StateScope state;
    test::TempFolder folder;
    std::string destination = folder.Join("dest");
    ASSERT_TRUE(test::MakeFolders(destination));
    auto placement = Place(Package({{"docs\\x.txt", "first"}, {"misc\\x.txt", "second"}}), folder, destination);
    ASSERT_EQ(placement->result, 0);
    EXPECT_EQ(test::FileText(destination + "/x.txt"), "second");
}

TEST(PlacementTest, StatusLineShowsTheDestinationPath) {
    test::StateScope state;
    test::TempFolder folder;
    std::string destination = folder.Join("dest");
    ASSERT_TRUE(test::MakeFolders(destination));
    auto placement = Place(Package({{"doc\\b.txt", kData}, {"skipped\\c.txt", kData}}, u"doc"), folder, destination);
    ASSERT_EQ(placement->result, 0);
    EXPECT_EQ(test::ControlText(placement->model.get(), kIdStatus), destination + "\\b.txt");
}

TEST(PlacementTest, PreviewCallsAndSkipsLeaveNoNameBehind) {
    test::StateScope state;
    auto model = CreateMainDialogModel();
    InstallContext install;
    std::memset(&install, 0, sizeof install);
    install.dialog = &model->window;
    CopyText(u"/nonexistent-folder", install.destination, 1024);
    CopyText(u"64", install.platformFolder, 4);
    char16_t name[1024] = u"32\\a.dll";
    const uint8_t data[] = {1};
    EXPECT_EQ(PlaceFileCallback(name, data, 1, &install), 0);
    EXPECT_EQ(std::u16string(name), u"32\\a.dll");
    EXPECT_EQ(PlaceFileCallback(name, nullptr, 1, &install), 0);
    EXPECT_EQ(name[0], 0);
    CopyText(u"64\\sub\\..\\a.dll", name, 1024);
    EXPECT_EQ(PlaceFileCallback(name, nullptr, 1, &install), 0);
    CopyText(u"64\\a.dll", name, 1024);
    EXPECT_EQ(PlaceFileCallback(name, nullptr, 1, &install), 1);
    EXPECT_EQ(std::u16string(name), u"/nonexistent-folder\\a.dll");
}

TEST(PlacementTest, ReplacesAnExistingFile) {
    test::StateScope state;
    test::TempFolder folder;
    std::string destination = folder.Join("dest");
    ASSERT_TRUE(test::MakeFolders(destination));
    ASSERT_TRUE(test::WriteWholeFile(destination + "/a.dll", "an old and longer version"));
    auto placement = Place(Package({{"a.dll", "new"}}), folder, destination);
    ASSERT_EQ(placement->result, 0);
    EXPECT_EQ(test::FileText(destination + "/a.dll"), "new");
}

// The old file is removed, not written through: a second name of it elsewhere
// keeps the old contents.
TEST(PlacementTest, RemovesAnExistingFileRatherThanWritingIntoIt) {
    test::StateScope state;
    test::TempFolder folder;
    std::string destination = folder.Join("dest");
    ASSERT_TRUE(test::MakeFolders(destination));
    ASSERT_TRUE(test::WriteWholeFile(folder.Join("shared.dll"), "shared"));
    ASSERT_EQ(link(folder.Join("shared.dll").c_str(), (destination + "/a.dll").c_str()), 0);
    auto placement = Place(Package({{"a.dll", "new"}}), folder, destination);
    ASSERT_EQ(placement->result, 0);
    EXPECT_EQ(test::FileText(destination + "/a.dll"), "new");
    EXPECT_EQ(test::FileText(folder.Join("shared.dll")), "shared");
}

enum class Blocker { Folder, ReadOnlyFile };

class UnreplaceableTest : public ::testing::TestWithParam<Blocker> {};

// The deletion fails quietly; the engine's creation of the file then fails the run
// with the system's code, and what was written before stays.
TEST_P(UnreplaceableTest, FailsTheRunWithAccessDenied) {
    test::StateScope state;
    test::TempFolder folder;
    std::string destination = folder.Join("dest");
    ASSERT_TRUE(test::MakeFolders(destination));
    std::string blocked = destination + "/b.dll";
    if (GetParam() == Blocker::Folder) {
        ASSERT_TRUE(test::MakeFolders(blocked));
    } else {
        ASSERT_TRUE(test::WriteWholeFile(blocked, "kept"));
        ASSERT_EQ(chmod(blocked.c_str(), 0444), 0);
    }
    auto placement = Place(Package({{"a.dll", kData}, {"b.dll", kData}, {"c.dll", kData}}), folder, destination);
    EXPECT_EQ(placement->result, 5);
    EXPECT_EQ(test::FileText(destination + "/a.dll"), kData);
    EXPECT_FALSE(test::PathExists(destination + "/c.dll"));
    if (GetParam() == Blocker::ReadOnlyFile) {
        EXPECT_EQ(test::FileText(blocked), "kept");
    } else {
        EXPECT_TRUE(test::IsFolder(blocked));
    }
}

INSTANTIATE_TEST_SUITE_P(Placement, UnreplaceableTest, ::testing::Values(Blocker::Folder, Blocker::ReadOnlyFile));

}  // namespace
