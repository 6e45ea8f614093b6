// The scan pass over real setup files: product description, language files,
// the language-file prefix and the platform folders.
#include <gtest/gtest.h>

#include "common/text.h"
#include "installer/scan.h"
#include "state/state.h"
#include "installer_support.h"
#include "package/package_run.h"
#include "ui/texts.h"
#include "ui/window.h"

using test::PackageFile;
using test::RowView;

namespace {

struct Scanned {
    std::unique_ptr<DialogModel> model;
    int32_t result;
};

// What the dialog does before the scan, then the scan pass itself.
Scanned Scan(const std::vector<PackageFile>& files) {
    test::TempFolder folder;
    test::PackagePlan contents;
    contents.productCode = "TP";
    contents.files = files;
    std::string setup = folder.Join("setup.exe");
    test::WriteSetupFile(setup, contents);
    std::u16string path = test::U16(setup);
    CopyText(path.c_str(), gState->packagePath, 1024);
    Scanned scanned{CreateMainDialogModel(), 0};
    ApplyCurrentTexts(&scanned.model->window, kDialogTextIds);
    Window list;
    GetControl(&scanned.model->window, kIdLanguageList, &list);
    AddDefaultLanguageRows(&list);
    scanned.result = ProcessPackage(gState->packagePath, ScanFileCallback, &scanned.model->window);
    return scanned;
}

const char kSomething[] = "x";

struct DescriptionCase {
    const char* what;
    std::vector<PackageFile> files;
    const char* caption;
    const char* title;
    const char* platformLine;
    const char* productName;
};

void PrintTo(const DescriptionCase& c, std::ostream* out) { *out << c.what; }

class DescriptionTest : public ::testing::TestWithParam<DescriptionCase> {};

TEST_P(DescriptionTest, FillsCaptionTitleAndPlatformLine) {
    const DescriptionCase& c = GetParam();
    test::StateScope state;
    Scanned scanned = Scan(c.files);
    ASSERT_EQ(scanned.result, 0);
    EXPECT_EQ(test::Caption(scanned.model.get()), c.caption);
    EXPECT_EQ(test::ControlText(scanned.model.get(), kIdTitle), c.title);
    EXPECT_EQ(test::ControlText(scanned.model.get(), kIdPlatformLine), c.platformLine);
    EXPECT_STREQ(gState->productName, c.productName);
}

const DescriptionCase kDescriptions[] = {
    {"title, version and extra text",
     {{"64\\a.dll", kSomething}, {"FILE_ID.DIZ", "Product Name Version 2.5 (2009)\r\nfor 32-bit and 64-bit Windows\r\n"}},
     "Setup Product Name 2.5", "Product Name 2.5", "32-bit and 64-bit ", "Product Name"},
    {"a description inside a folder is an ordinary file",
     {{"64\\FILE_ID.DIZ", "Nested Version 1\r\nfor 64-bit Windows"}}, "Setup", "", "", ""},
    {"a description before any platform folder has no platform line",
     {{"FILE_ID.DIZ", "Tool Version 1.0\r\nfor 32-bit and 64-bit Windows"}, {"64\\a.dll", kSomething}},
     "Setup Tool 1.0", "Tool 1.0", "", "Tool"},
    {"two spaces before '(' leave one",
     {{"FILE_ID.DIZ", "Tool  (2009)"}}, "Setup Tool  ", "Tool  ", "", "Tool "},
    {"no \" Version \": empty version and a trailing space",
     {{"FILE_ID.DIZ", "Plain Tool\r\n"}}, "Setup Plain Tool ", "Plain Tool ", "", "Plain Tool"},
    {"\"for Windows\" gives an empty platform line",
     {{"32\\a.dll", kSomething}, {"FILE_ID.DIZ", "Tool Version 3\r\nfor Windows"}}, "Setup Tool 3", "Tool 3", "", "Tool"},
    {"a second line without Windows gives an empty platform line",
     {{"32\\a.dll", kSomething}, {"FILE_ID.DIZ", "Tool Version 3\nfor every system"}}, "Setup Tool 3", "Tool 3", "", "Tool"},
    {"an LF alone does not end the platform line; \"FOR \" is skipped whatever its case",
     {{"32\\a.dll", kSomething}, {"FILE_ID.DIZ", "Tool\nFOR x86\nand x64 Windows"}}, "Setup Tool ", "Tool ",
     "x86\nand x64 ", "Tool"},
    {"the title ends at '['", {{"FILE_ID.DIZ", "Editor [beta] Version 9"}}, "Setup Editor ", "Editor ", "", "Editor"},
    {"a first line that starts with '(' has no title",
     {{"FILE_ID.DIZ", "(c) Someone"}}, "Setup  ", " ", "", ""},
    {"a long version is cut to 31 characters",
     {{"FILE_ID.DIZ", "T Version 1234567890123456789012345678901234567890"}},
     "Setup T 1234567890123456789012345678901", "T 1234567890123456789012345678901", "", "T"},
    {"a 40-character title names the product with its first 31",
     {{"FILE_ID.DIZ", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789WXYZ Version 1"}},
     "Setup ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789WXYZ 1", "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789WXYZ 1", "",
     "ABCDEFGHIJKLMNOPQRSTUVWXYZ01234"},
    {"only the first description names the product; a later one still shows",
     {{"FILE_ID.DIZ", "Alpha Version 1"}, {"64\\a.dll", kSomething},
      {"file_id.diz", "Beta Version 2\r\nfor 64-bit Windows"}},
     "Setup Alpha 1 Beta 2", "Beta 2", "64-bit ", "Alpha"},
};

INSTANTIATE_TEST_SUITE_P(Scan, DescriptionTest, ::testing::ValuesIn(kDescriptions));

TEST(ScanTest, DescriptionSetsTheTitleFont) {
    test::StateScope state;
    Scanned scanned = Scan({{"FILE_ID.DIZ", "Tool"}});
    EXPECT_TRUE(FindModelControl(scanned.model.get(), kIdTitle)->titleFont);
}

struct PrefixCase {
    const char* what;
    std::vector<PackageFile> files;
    const char16_t* prefix;
};

void PrintTo(const PrefixCase& c, std::ostream* out) { *out << c.what; }

class PrefixTest : public ::testing::TestWithParam<PrefixCase> {};

TEST_P(PrefixTest, ComesFromTheFirstLanguageFile) {
    test::StateScope state;
    Scanned scanned = Scan(GetParam().files);
    ASSERT_EQ(scanned.result, 0);
    EXPECT_EQ(std::u16string(gState->languagePrefix), GetParam().prefix);
}

const PrefixCase kPrefixes[] = {
    {"underscore, code and extension go", {{"PROGRAM_DE.LNG", "["}}, u"PROGRAM"},
    {"folder parts do not count", {{"lang\\sub/Tool_IT.lng", "["}}, u"Tool"},
    {"a name of exactly 7 characters is kept whole", {{"_DE.LNG", "["}}, u"_DE.LNG"},
    {"a long name is cut to 31 characters, then loses 7",
     {{"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_DE.LNG", "["}}, u"ABCDEFGHIJKLMNOPQRSTUVWX"},
    {"the first language file wins", {{"A_DE.LNG", "["}, {"BBBBBB_IT.LNG", "["}}, u"A"},
    {"an empty language file is never previewed", {{"EMPTY_DE.LNG", ""}, {"FULL_IT.LNG", "["}}, u"FULL"},
    {"a name of 6 characters is too short", {{"AB.LNG", "["}, {"CD_FR.LNG", "["}}, u"CD"},
    {"no language file, no prefix", {{"readme.txt", "x"}}, u""},
};

INSTANTIATE_TEST_SUITE_P(Scan, PrefixTest, ::testing::ValuesIn(kPrefixes));

std::string Utf16Le(const std::u16string& text, bool mark) {
    std::string bytes = mark ? std::string("\xFF\xFE", 2) : std::string();
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

struct LanguageCase {
    const char* what;
    std::vector<PackageFile> files;
    std::vector<RowView> rows;
};

void PrintTo(const LanguageCase& c, std::ostream* out) { *out << c.what; }

class LanguageFileTest : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(LanguageFileTest, AddsTheRowsItNames) {
    test::StateScope state;
    Scanned scanned = Scan(GetParam().files);
    ASSERT_EQ(scanned.result, 0);
    EXPECT_EQ(test::Rows(scanned.model.get()), GetParam().rows);
}

const RowView kEnglish{"English", "US", true};
const RowView kGerman{"German", "DE", true};

const LanguageCase kLanguageFiles[] = {
    {"no language file: the two built-in rows", {}, {kEnglish, kGerman}},
    {"the name ends at '('", {{"P_FR.LNG", "[Lang]\r\nLanguage=Francais (French)\r\n"}},
     {kEnglish, {"Francais", "FR", true}, kGerman}},
    {"a space before '=' leaves an empty name", {{"P_FR.LNG", "[Lang]\r\nLanguage = German\r\n"}}, {kEnglish, kGerman}},
    {"\"Language=Deutsch (German)\" is \"Deutsch\" and does not rename the German row",
     {{"P_DE.LNG", "[x]\r\nLanguage=Deutsch (German)\r\n"}}, {kEnglish, kGerman}},
    {"a package language with a new code", {{"P_DK.LNG", "[x]\r\nLanguage=Deutsch (German)\r\n"}},
     {{"Deutsch", "DK", true}, kEnglish, kGerman}},
    {"trailing spaces go, the name also ends at '=' and LF",
     {{"P_DA.LNG", "[x]\nLanguage=Dansk   =x\n"}, {"P_NL.LNG", "[x]\nLanguage=Nederlands\nmore"}},
     {{"Dansk", "DA", true}, kEnglish, kGerman, {"Nederlands", "NL", true}}},
    {"UTF-16LE with its mark", {{"P_IT.LNG", Utf16Le(u"[x]\r\nLanguage=Italiano\r\n", true)}},
     {kEnglish, kGerman, {"Italiano", "IT", true}}},
    {"UTF-16LE with its mark and an odd length", {{"P_IT.LNG", Utf16Le(u"[x]Language=It", true) + "a"}},
     {kEnglish, kGerman, {"Ita", "IT", true}}},
    {"UTF-16LE without the mark is ANSI text and fails",
     {{"P_IT.LNG", Utf16Le(u"[x]\r\nLanguage=Italiano\r\n", false)}, {"Q_ES.LNG", Utf16Le(u"; Language=Es", false)}},
     {kEnglish, kGerman}},
    {"a file that does not start with '['", {{"P_IT.LNG", " [x]\r\nLanguage=Italiano\r\n"}}, {kEnglish, kGerman}},
    {"no \"Language\"", {{"P_IT.LNG", "[x]\r\nSprache=Italiano\r\n"}}, {kEnglish, kGerman}},
    {"\"Language\" at the very end", {{"P_IT.LNG", "[Language"}}, {kEnglish, kGerman}},
    {"a name of spaces only", {{"P_IT.LNG", "[x]Language=   (it)"}}, {kEnglish, kGerman}},
    {"two files of one code add one row, the first one's",
     {{"A_FR.LNG", "[x]Language=Francais"}, {"B_FR.LNG", "[x]Language=French"}},
     {kEnglish, {"Francais", "FR", true}, kGerman}},
    {"the code is upper-cased", {{"tool_fr.lng", "[x]Language=Francais"}}, {kEnglish, {"Francais", "FR", true}, kGerman}},
    {"Windows-1252 names", {{"P_FR.LNG", "[x]Language=Fran\xE7" "ais"}}, {kEnglish, {"Fran\xC3\xA7" "ais", "FR", true}, kGerman}},
    {"an empty language file adds nothing", {{"P_FR.LNG", ""}}, {kEnglish, kGerman}},
    {"a language file in a folder counts", {{"lang\\P_SV.LNG", "[x]Language=Svenska"}},
     {kEnglish, kGerman, {"Svenska", "SV", true}}},
};

INSTANTIATE_TEST_SUITE_P(Scan, LanguageFileTest, ::testing::ValuesIn(kLanguageFiles));

struct FlagCase {
    const char* what;
    std::vector<PackageFile> files;
    uint8_t flags;
};

void PrintTo(const FlagCase& c, std::ostream* out) { *out << c.what; }

class PlatformFlagTest : public ::testing::TestWithParam<FlagCase> {};

TEST_P(PlatformFlagTest, MarksTopLevelPlatformFolders) {
    test::StateScope state;
    Scanned scanned = Scan(GetParam().files);
    ASSERT_EQ(scanned.result, 0);
    EXPECT_EQ(gState->platformFlags, GetParam().flags);
}

const FlagCase kFlags[] = {
    {"32\\a", {{"32\\a", kSomething}}, kPlatform32},
    {"32/a counts like 32\\a", {{"32/a", kSomething}}, kPlatform32},
    {"64\\sub\\b", {{"64\\sub\\b", kSomething}}, kPlatform64},
    {"both folders", {{"64\\b", kSomething}, {"32\\a", kSomething}}, kPlatform32 | kPlatform64},
    {"32x\\a", {{"32x\\a", kSomething}}, 0},
    {"3\\a", {{"3\\a", kSomething}}, 0},
    {"a nested 64 folder", {{"a\\64\\b", kSomething}}, 0},
    {"a file named 64", {{"64", kSomething}}, 0},
    {"an empty file never reaches the scan", {{"64\\empty", ""}}, 0},
};

INSTANTIATE_TEST_SUITE_P(Scan, PlatformFlagTest, ::testing::ValuesIn(kFlags));

TEST(ScanTest, AnswersZeroAndWritesNothing) {
    test::StateScope state;
    char16_t name[1024] = u"64\\a.dll";
    const uint8_t data[] = {'x'};
    EXPECT_EQ(ScanFileCallback(name, nullptr, 1, nullptr), 0);
    auto model = CreateMainDialogModel();
    EXPECT_EQ(ScanFileCallback(name, data, 1, &model->window), 0);
    EXPECT_EQ(std::u16string(name), u"64\\a.dll");
}

TEST(ScanTest, BuiltInRowsFollowTheTextTable) {
    test::StateScope state;
    SetDefaultLanguageOverride(1031);
    gState->languageCode[0] = 0;
    SelectTextTable();
    auto model = CreateMainDialogModel();
    Window list;
    ASSERT_TRUE(GetControl(&model->window, kIdLanguageList, &list));
    AddDefaultLanguageRows(&list);
    EXPECT_EQ(test::Rows(model.get()), (std::vector<RowView>{{"Deutsch", "DE", true}, {"Englisch", "US", true}}));
}

}  // namespace
