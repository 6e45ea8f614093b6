// A hostile setup as a whole: its title, header and entries try to reach out
// of the destination, the Start menu and the desktop. The installation writes
// only where it may; the product name stays one name; the header's main
// program cannot aim the shortcuts elsewhere; and what mksetup prints of a
// package cannot steer the terminal.
#include "fault_test_machine.h"
#include "installer/scan.h"
#include "mksetup_test_fixture.h"

namespace {

test::PackagePlan Hostile() {
    test::PackagePlan plan;
    plan.productCode = "EVL";
    plan.windowClass = "EvilWindow";
    plan.mainProgram = "..\\..\\evil.exe";
    plan.files = {{"FILE_ID.DIZ", "..\\..\\Evil Version 6.6\r\n"},
                  {"..\\..\\..\\evil.dll", "up"},
                  {"C:\\Windows\\System32\\drive.dll", "drive"},
                  {"CON", "device"},
                  {"docs\\..", "parent"},
                  {"notes.txt:hidden", "stream"},
                  {"Qgood.exe", "main"},
                  {"UnInst.exe", "uninstall"}};
    return plan;
}

class HostileSetup : public test::Machine {};

// Everything the installation makes lies in the destination, the registry
// store, the Start-menu group and on the desktop, under one-name names.
TEST_F(HostileSetup, WritesOnlyWhereAnInstallationMay) {
    auto model = OpenDialog(Hostile());
    const std::vector<std::string> before = Tree();
    EXPECT_STREQ(gState->productName, ".._.._Evil");
    EXPECT_EQ(test::ControlText(model.get(), kIdDestination), ProposedText(".._.._Evil"));
    EXPECT_EQ(RunInstall(&model->window), 0);

    std::vector<std::string> made;
    for (const std::string& entry : Tree())
        if (std::find(before.begin(), before.end(), entry) == before.end()) made.push_back(entry);
    const std::string dest = "Programs/.._.._Evil/";
    EXPECT_EQ(made, (std::vector<std::string>{
                        "Programs/.._.._Evil/",
                        dest + "FILE_ID.DIZ",
                        dest + "Qgood.exe",
                        dest + "UnInst.exe",
                        dest + "drive.dll",
                        dest + "evil.dll",
                        "common/.._.._Evil/",
                        "common/.._.._Evil/.._.._Evil.lnk",
                        "common/.._.._Evil/Uninstall.lnk",
                        "desktop/.._.._Evil.lnk",
                        "registry.txt",
                        "registry.txt.lock",
                    }));
    // Three entries refused, told in one message, then the success.
    std::vector<std::string> messages = Messages(model.get());
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].rfind("Entries of the package that were not installed: 3\r\n", 0), 0u) << messages[0];
    EXPECT_NE(messages[0].find("\r\n\r\nCON\r\ndocs\\..\r\nnotes.txt:hidden\r\n"), std::string::npos) << messages[0];
    EXPECT_EQ(messages[1], ".._.._Evil has been successfully installed.");
    EXPECT_EQ(UninstallName(".._.._Evil"), ".._.._Evil");
    EXPECT_EQ(Registry(kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\.._.._Evil",
                       "DisplayIcon"),
              ProposedText(".._.._Evil") + "\\Qgood.exe");
}

// A main program named in the header must be a plain file name: otherwise it
// is not taken, and the package's own Q*.EXE stands in for it.
TEST_F(HostileSetup, AHeaderMainProgramWithFoldersIsNotTaken) {
    const struct {
        const char* header;
        const char* icon;  // the uninstall entry's icon path below the destination
    } cases[] = {
        {"..\\..\\evil.exe", "Qgood.exe"},
        {"C:\\Windows\\regedit.exe", "Qgood.exe"},
        {"sub/Qother.exe", "Qgood.exe"},
        {"NUL", "Qgood.exe"},
        {"Main.exe", "Main.exe"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.header);
        test::PackagePlan plan;
        plan.productCode = "HDR";
        plan.mainProgram = c.header;
        plan.files = {{"FILE_ID.DIZ", "Header Test\r\n"}, {"Qgood.exe", "main"}, {"UnInst.exe", "bye"}};
        auto model = OpenDialog(plan);
        std::string folder = root.Join("dest-" + std::to_string(&c - cases));
        SetItemText(&model->window, kIdDestination, test::U16(folder).c_str());
        EXPECT_EQ(RunInstall(&model->window), 0);
        EXPECT_EQ(Registry(kLocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Header Test",
                           "DisplayIcon"),
                  folder + "\\" + c.icon);
    }
}

TEST(ProductName, ATitleThatWouldReachElsewhereKeepsOneName) {
    const struct {
        const char* description;
        const char* productName;
    } cases[] = {
        {"Sample Tool Version 2.5 (2024)\r\n", "Sample Tool"},
        {"Tool  (2009)", "Tool "},  // kept exactly: Windows drops the space itself
        {"..\\..\\Startup Version 1\r\n", ".._.._Startup"},
        {"../../Startup\r\n", ".._.._Startup"},
        {"C:\\Windows\r\n", "C__Windows"},
        {"Fast: Editor\r\n", "Fast_ Editor"},
        {"..\r\n", "__"},
        {"...\r\n", "___"},
        {"Tab\there\r\n", "Tab_here"},
        {"\xC4rger\r\n", "\xC4rger"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.description);
        test::StateScope state;
        auto model = CreateMainDialogModel();
        ReadProductDescription(&model->window, reinterpret_cast<const uint8_t*>(c.description),
                               static_cast<uint32_t>(strlen(c.description)));
        EXPECT_STREQ(gState->productName, c.productName);
    }
}

// What mksetup prints of a package shows control characters as \xNN: a
// hostile name cannot move the cursor, retitle the window or clear the screen.
TEST_F(HostileSetup, MksetupNeverPrintsAPackagesControlCharacters) {
    test::PackagePlan plan;
    plan.productCode = "ESC";
    plan.windowClass = "Win\x1B]0;owned\x07";
    plan.mainProgram = "Q\x9D" "2J.exe";  // U+009D, a C1 control in Windows-1252
    plan.files = {{"FILE_ID.DIZ", "Esc\x1B[2J Tool\r\n"},
                  {"ESC_DE.LNG", "[S]\r\nLanguage=Deutsch\x1B[31m\r\n"},
                  {"name\x1B[1A.txt", "x"},
                  {"Qx.exe", "x"}};
    test::WriteSetupFile(Setup(), plan);
    const std::vector<std::vector<std::string>> commands = {
        {"list"}, {"test"}, {"extract", "-o", root.Join("out")}, {"install", "--dry-run"}, {"install"}};
    for (const std::vector<std::string>& command : commands) {
        SCOPED_TRACE(command[0]);
        std::vector<std::string> args(command.begin() + 1, command.end());
        args.insert(args.begin(), Setup());
        int (*run)(const std::vector<std::string>&) = command[0] == "list"      ? ListCommand
                                                      : command[0] == "test"    ? TestCommand
                                                      : command[0] == "extract" ? ExtractCommand
                                                                                : InstallCommand;
        test::CommandResult result = test::RunCommand(run, args);
        for (const std::string* output : {&result.out, &result.err}) {
            EXPECT_EQ(output->find('\x1B'), std::string::npos) << *output;
            EXPECT_EQ(output->find('\x07'), std::string::npos) << *output;
            EXPECT_EQ(output->find("\xC2\x9D"), std::string::npos) << *output;
        }
        if (command[0] == "list") {
            EXPECT_NE(result.out.find("name\\x1B[1A.txt"), std::string::npos) << result.out;
            EXPECT_NE(result.out.find("Win\\x1B]0;owned\\x07"), std::string::npos) << result.out;
        }
    }
}

}  // namespace
