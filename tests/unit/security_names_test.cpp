// Package names that try to escape the chosen folder or to make Windows write
// something else than a plain file: the rule that judges them, what the
// installer's flat placement leaves of each and does with it, and what
// mksetup extract does with it.
#include <filesystem>

#include <string.h>

#include <algorithm>

#include "common/text.h"
#include "extract_names.h"
#include "common/file_names.h"
#include "installer/placement.h"
#include "state/state.h"
#include "installer_support.h"
#include "mksetup_test_fixture.h"
#include "package/package_run.h"
#include "ui/language_list.h"

namespace {

namespace fs = std::filesystem;

TEST(PlainFileName, IsWhatWindowsStoresAsItself) {
    const struct {
        std::u16string name;
        bool plain;
    } cases[] = {
        {u"a.txt", true},       {u"Qw.exe", true},      {u".hidden", true},   {u"..a", true},
        {u"a..b", true},        {u" lead", true},       {u"CONSOLE", true},   {u"CONx.txt", true},
        {u"xCON", true},        {u"COM10", true},       {u"LPTX", true},      {u"\u20AC.txt", true},
        {u"", false},           {u".", false},          {u"..", false},       {u"...", false},
        {u"a.", false},         {u"a ", false},         {u" ", false},        {u"a:b", false},
        {u"C:x", false},        {u"a::$DATA", false},   {u"CON", false},      {u"con", false},
        {u"CON.txt", false},    {u"CON .txt", false},   {u"nul.tar.gz", false}, {u"AUX", false},
        {u"PRN", false},        {u"COM1", false},       {u"com9.log", false}, {u"COM0", false},
        {u"LPT1", false},       {u"LPT\u00B9", false},  {u"CONIN$", false},   {u"conout$", false},
        {u"a<b", false},        {u"a>b", false},        {u"a\"b", false},     {u"a|b", false},
        {u"a?b", false},        {u"a*b", false},        {u"a\tb", false},     {u"a\x1B", false},
        {u"a\\b", false},       {u"a/b", false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsPlainFileName(c.name.c_str()), c.plain) << test::Utf8(c.name);
    EXPECT_FALSE(IsPlainFileName(nullptr));
}

TEST(PlainFileName, MakeSingleNameKeepsOneNameInItsFolder) {
    const struct {
        std::u16string before, after;
        bool changed;
    } cases[] = {
        {u"Sample Tool", u"Sample Tool", false},
        {u"Tool ", u"Tool ", false},  // Windows drops the space; nothing escapes
        {u"CON", u"CON", false},      // a device name only makes the creation fail
        {u"..\\..\\Startup", u".._.._Startup", true},
        {u"C:x", u"C_x", true},
        {u"AC/DC", u"AC_DC", true},
        {u"..", u"__", true},
        {u". .", u"___", true},
        {u"a\tb", u"a_b", true},
        {u"", u"", false},
    };
    for (const auto& c : cases) {
        std::u16string name = c.before;
        EXPECT_EQ(MakeSingleName(&name[0]), c.changed) << test::Utf8(c.before);
        EXPECT_EQ(name, c.after) << test::Utf8(c.before);
    }
}

// ----- The installer's flat placement -------------------------------------------

struct NameCase {
    std::string stored;     // the entry's name as stored (Windows-1252)
    std::string installed;  // what lands in the destination; empty: refused
};

void PrintTo(const NameCase& c, std::ostream* out) { *out << c.stored; }

class HostileEntry : public ::testing::TestWithParam<NameCase> {};

// One package with the entry and a plain file, installed into an empty
// destination below an empty folder: the plain file always arrives; the entry
// arrives under its file name or is refused with one message naming it; and
// nothing appears anywhere but in the destination.
TEST_P(HostileEntry, LandsInsideTheDestinationOrIsRefused) {
    const NameCase& c = GetParam();
    test::StateScope state;
    test::TempFolder root;
    std::string destination = root.Join("box/dest");
    ASSERT_TRUE(test::MakeFolders(destination));
    test::PackagePlan plan;
    plan.files = {{c.stored, "hostile"}, {"ok.txt", "ok"}};
    test::WriteSetupFile(root.Join("setup.exe"), plan);

    auto model = CreateMainDialogModel();
    InstallContext install;
    memset(&install, 0, sizeof install);
    install.dialog = &model->window;
    CopyText(test::U16(destination).c_str(), install.destination, 1024);
    EXPECT_EQ(ProcessPackage(test::U16(root.Join("setup.exe")).c_str(), PlaceFileCallback, &install), 0);
    ReportRefusedEntries(&install);

    std::vector<std::string> expected = {"ok.txt"};
    if (!c.installed.empty()) expected.insert(expected.begin(), c.installed);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(test::FolderEntries(destination), expected);
    EXPECT_EQ(test::FolderEntries(root.Join("box")), std::vector<std::string>{"dest/"});
    EXPECT_EQ(test::FolderEntries(root.Path()), (std::vector<std::string>{"box/", "setup.exe"}));
    if (!c.installed.empty()) {
        EXPECT_EQ(test::FileText(destination + "/" + c.installed), "hostile");
        EXPECT_TRUE(model->messages.empty());
        return;
    }
    ASSERT_EQ(model->messages.size(), 1u);
    std::string text = test::Utf8(model->messages[0].text);
    std::string shown = c.stored.size() > 100 ? c.stored.substr(0, 100) + "..." : c.stored;
    for (char& ch : shown)
        if (static_cast<unsigned char>(ch) < 0x20) ch = '?';
    EXPECT_EQ(text.rfind("Entries of the package that were not installed: 1\r\n", 0), 0u) << text;
    EXPECT_NE(text.find("\r\n\r\n" + shown + "\r\n"), std::string::npos) << text;
    bool tooLong = c.stored.size() > 900;
    EXPECT_NE(text.find(tooLong ? "The filename or extension is too long."
                                : "The filename, directory name, or volume label syntax is incorrect."),
              std::string::npos)
        << text;
    EXPECT_EQ(model->messages[0].style, kMbIconError);
}

const NameCase kNames[] = {
    // Folder parts are dropped whatever they say: what is left stays inside.
    {"..\\..\\up.dll", "up.dll"},
    {"\\abs.dll", "abs.dll"},
    {"/etc/slash.dll", "slash.dll"},
    {"C:\\Windows\\drive.dll", "drive.dll"},
    {"\\\\server\\share\\unc.dll", "unc.dll"},
    // What names no file: the destination itself or its parent.
    {"..", ""},
    {".", ""},
    {"docs\\", ""},
    {"docs\\..", ""},
    {"", ""},
    {"\\", ""},
    {"//", ""},
    // A drive-relative name and streams.
    {"C:x.dll", ""},
    {"a.dll:evil", ""},
    {"docs\\a.dll::$DATA", ""},
    // Devices, with and without an extension, in any case.
    {"CON", ""},
    {"docs\\nul.txt", ""},
    {"COM1", ""},
    {"lpt9.log", ""},
    {"AUX .dll", ""},
    // Names Windows would store under another name.
    {"trailing.", ""},
    {"trailing ", ""},
    {"docs\\...", ""},
    // Characters Windows does not allow.
    {"what?.txt", ""},
    {"star*.txt", ""},
    {"pipe|.txt", ""},
    {"bell\x07.txt", ""},
    // A name that would be cut to fit the path names another file.
    {std::string(1000, 'n') + ".dll", ""},
};

INSTANTIATE_TEST_SUITE_P(Security, HostileEntry, ::testing::ValuesIn(kNames));

// ----- mksetup extract ---------------------------------------------------------------

TEST(ExtractNames, RefusesWhatWindowsWouldNotStoreAsItself) {
    const struct {
        std::u16string stored;
        const char* why;  // empty: accepted
    } cases[] = {
        {u"docs\\CON", "device name"},
        {u"COM1\\a.txt", "device name"},
        {u"docs\\nul.txt", "device name"},
        {u"trailing.", "ending in a dot or space"},
        {u"folder \\a.txt", "ending in a dot or space"},
        {u"docs\\what?.txt", "does not allow"},
        {u"a|b", "does not allow"},
        {u"bell\u0007", "does not allow"},
        {u"a.txt::$DATA", "drive letter or stream"},
        {u"docs\\..", "'..' part"},
        {u"//", "absolute name"},
        {u"docs\\.", "ends in a folder"},
        {u"CONSOLE\\com10.txt", ""},
        {u"docs\\.\\a.txt", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(test::Utf8(c.stored));
        std::vector<std::u16string> parts;
        std::string why;
        bool accepted = SafeEntryParts(c.stored, &parts, &why);
        EXPECT_EQ(accepted, c.why[0] == 0);
        if (!accepted) {
            EXPECT_NE(why.find(c.why), std::string::npos) << why;
        }
        for (const std::u16string& part : parts) EXPECT_TRUE(IsPlainFileName(part.c_str())) << test::Utf8(part);
    }
}

TEST(ExtractNames, TargetsStayBelowTheFolder) {
    std::vector<std::u16string> parts;
    std::string why;
    ASSERT_TRUE(SafeEntryParts(u"docs/sub\\a.txt", &parts, &why));
    EXPECT_EQ(EntryTarget("/out", parts), fs::path("/out/docs/sub/a.txt"));
}

// A package with every kind of name: extract refuses each hostile one by name,
// writes the rest below the folder and nothing beside it, and fails at the end.
TEST(ExtractNames, ExtractWritesOnlyBelowItsFolder) {
    test::TempFolder root;
    test::PackagePlan plan;
    plan.files = {{"ok\\a.txt", "a"},   {"CON", "1"},      {"docs\\nul.txt", "2"}, {"trailing.", "3"},
                  {"what?.txt", "4"}, {"..\\up.txt", "5"}, {"C:x.txt", "6"},      {"ok\\b.txt", "b"}};
    test::WriteSetupFile(root.Join("setup.exe"), plan);
    std::string out = root.Join("box/out");
    test::CommandResult result = test::RunCommand(ExtractCommand, {root.Join("setup.exe"), "-o", out, "-q"});
    EXPECT_EQ(result.code, 1);
    for (const char* name : {"'CON'", "'docs\\nul.txt'", "'trailing.'", "'what?.txt'", "'..\\up.txt'", "'C:x.txt'"})
        EXPECT_NE(result.err.find(std::string("refused ") + name), std::string::npos) << name << "\n" << result.err;
    EXPECT_NE(result.err.find("6 entries were refused"), std::string::npos) << result.err;
    EXPECT_EQ(test::FolderEntries(out), std::vector<std::string>{"ok/"});
    EXPECT_EQ(test::FolderEntries(out + "/ok"), (std::vector<std::string>{"a.txt", "b.txt"}));
    EXPECT_EQ(test::FolderEntries(root.Join("box")), std::vector<std::string>{"out/"});
    EXPECT_EQ(test::FolderEntries(root.Path()), (std::vector<std::string>{"box/", "setup.exe"}));
}

// mksetup build refuses what the installer would leave out, so a publisher
// learns of it before shipping.
TEST(BuildNames, RefusesNamesTheInstallerWouldLeaveOut) {
    const struct {
        const char* name;
        bool refused;
    } cases[] = {
        {"CON", true},        {"docs/nul.txt", true}, {"COM1.log", true}, {"trailing.", true},
        {"space ", true},     {"AUX .dll/a.txt", true}, {"CONSOLE.txt", false}, {"..a.txt", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder folder;
        std::string stub = test::WriteStub(folder);
        std::string product = test::MakeProduct(folder, "product", {{c.name, "x"}, {"FILE_ID.DIZ", "T\r\n"}});
        std::string out = folder.Join("setup.exe");
        test::CommandResult result = test::RunCommand(BuildCommand, test::BuildArgs(product, out, stub));
        EXPECT_EQ(result.code, c.refused ? 1 : 0) << result.err;
        EXPECT_EQ(test::PathExists(out), !c.refused);
        if (c.refused) {
            EXPECT_NE(result.err.find("Windows cannot store"), std::string::npos) << result.err;
        }
    }
}

}  // namespace
