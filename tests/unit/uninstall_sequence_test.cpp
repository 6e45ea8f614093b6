// The uninstaller's sequence end to end on this machine: a product built with
// --add-uninstaller, installed by mksetup install, then changed as a user
// changes things and removed by mksetup uninstall.
#include <gtest/gtest.h>

#include <functional>
#include <iostream>
#include <sstream>
#include <memory>

#include "installer_support.h"
#include "mksetup_test_fixture.h"
#include "system/registry_store.h"
#include "system/shell.h"
#include "uninstall/file_list.h"
#include "test_support.h"

namespace {

const char16_t kEntryKey[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sample Notes";
const char16_t kMakerKey[] = u"Software\\Quillworks";

void Put(RegistryRoot where, const char16_t* key, const char16_t* name, const std::u16string& value) {
    RegistryKey open;
    ASSERT_TRUE(CreateRegistryKey(where, key, &open));
    WriteRegistryString(&open, name, value.c_str(), static_cast<uint32_t>(value.size() + 1) * 2);
    CloseRegistryKey(&open);
}

std::u16string Get(RegistryRoot where, const char16_t* key, const char16_t* name) {
    RegistryKey open;
    char16_t value[1024] = u"";
    if (!OpenRegistryKey(where, key, &open)) return u"<no key>";
    bool read = ReadRegistryString(&open, name, value, sizeof value);
    CloseRegistryKey(&open);
    return read ? value : u"<no value>";
}

const char16_t kOtherKey[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other Tool";

// A machine of its own: registry, special folders, and another product
// installed beside ours that must come through untouched.
struct Machine {
    Machine() {
        Env("SETUP_REGISTRY", root.Join("registry.txt"));
        Env("SETUP_FOLDER_DESKTOP", Folder("desktop"));
        Env("SETUP_FOLDER_COMMON_PROGRAMS", Folder("common"));
        Env("SETUP_FOLDER_APPDATA", Folder("appdata"));
        env.push_back(std::make_unique<test::ScopedEnv>("SETUP_FOLDER_PROGRAMS", nullptr));
        test::MakeFolders(root.Join("appdata/Microsoft/Internet Explorer/Quick Launch"));
        Put(kLocalMachine, kOtherKey, u"UninstallString", test::U16(root.Join("Other Tool\\UnInst.exe")));
        Put(kCurrentUser, kMakerKey, u"OTH", test::U16(root.Join("Other Tool")));
    }
    void Env(const char* name, const std::string& value) {
        env.push_back(std::make_unique<test::ScopedEnv>(name, value.c_str()));
    }
    std::string Folder(const std::string& name) {
        test::MakeFolders(root.Join(name));
        return root.Join(name);
    }
    std::string Dest() { return root.Join("Sample Notes"); }

    // Builds the sample with --add-uninstaller and installs it into Dest().
    void Install() {
        std::string product = test::MakeProduct(root, "product",
                                                {{"FILE_ID.DIZ", "Sample Notes Version 1.0\r\nfor 64-bit Windows\r\n"},
                                                 {"Notes.exe", "notes program"},
                                                 {"ReadMe.txt", "read me"},
                                                 {"Notes_IT.LNG", "[Lang]\r\nLanguage=Italiano\r\n"},
                                                 {"64/engine.dll", "engine"},
                                                 {"32/engine.dll", "old engine"}});
        std::string uninstaller = root.Join("UnInst-build.exe");
        ASSERT_TRUE(test::WriteWholeFile(uninstaller, "uninstaller program"));
        std::vector<std::string> args = {product, "-o", root.Join("Setup.exe"), "--code", "SNO",
                                         "--window-class", "NotesWindow", "--main-program", "Notes.exe",
                                         "--stub", test::WriteStub(root), "--date", "2024-02-29", "-q",
                                         "--add-uninstaller", "--uninstaller-exe", uninstaller};
        test::CommandResult built = test::RunCommand(BuildCommand, args);
        ASSERT_EQ(0, built.code) << built.err;
        test::CommandResult installed = test::RunCommand(InstallCommand, {root.Join("Setup.exe"), "--dest", Dest()});
        ASSERT_EQ(0, installed.code) << installed.err;
        ASSERT_TRUE(test::PathExists(Dest() + "/UnInst.lst"));
        ASSERT_TRUE(test::PathExists(root.Join("desktop/Sample Notes.lnk")));
    }

    test::TempFolder root;
    std::vector<std::unique_ptr<test::ScopedEnv>> env;
};

std::string FileLine(const std::string& name, const std::string& contents) {
    char line[kListLineCapacity];
    FormatListedFile(contents.size(), UpdateChecksum(0, contents.data(), static_cast<uint32_t>(contents.size())),
                     name.c_str(), line, sizeof line);
    return line;
}

TEST(UninstallSequence, RemovesExactlyWhatTheSetupInstalled) {
    struct Case {
        const char* what;
        std::function<void(Machine*)> change;  // what happened after the installation
        std::vector<std::string> args;         // after DIR
        int code;
        std::vector<std::string> gone, kept;   // below the machine's root
        const char* report;                    // in the output
        bool entryGone, rememberedGone;
    } cases[] = {
        {"a plain installation", [](Machine*) {}, {"--yes"}, 0,
         {"Sample Notes", "desktop/Sample Notes.lnk", "common/Sample Notes",
          "appdata/Microsoft/Internet Explorer/Quick Launch/Sample Notes.lnk"},
         {"desktop", "common"}, "Sample Notes has been removed.", true, true},
        {"a user file and a changed file",
         [](Machine* m) {
             test::WriteWholeFile(m->Dest() + "/notes.txt", "mine");
             test::WriteWholeFile(m->Dest() + "/ReadMe.txt", "READ ME");  // the size is the same
         },
         {"--yes"}, 1,
         {"Sample Notes/Notes.exe", "Sample Notes/engine.dll", "Sample Notes/Notes_IT.LNG", "Sample Notes/UnInst.exe",
          "Sample Notes/UnInst.lst", "desktop/Sample Notes.lnk", "common/Sample Notes"},
         {"Sample Notes/notes.txt", "Sample Notes/ReadMe.txt"},
         "These files were kept:\n  ReadMe.txt (changed since installation)", true, true},
        {"the answer No", [](Machine*) {}, {}, 2, {},
         {"Sample Notes/Notes.exe", "Sample Notes/UnInst.lst", "desktop/Sample Notes.lnk"}, "[y/N]", false, false},
        {"a damaged list",
         [](Machine* m) { test::WriteWholeFile(m->Dest() + "/UnInst.lst", "Setup uninstall list 1\r\n"); },
         {"--yes"}, 2, {}, {"Sample Notes/Notes.exe", "Sample Notes/ReadMe.txt", "desktop/Sample Notes.lnk"},
         "The list of installed files is missing or damaged. Nothing was removed.", false, false},
        {"a list naming files outside its folder",
         [](Machine* m) {
             test::WriteWholeFile(m->root.Join("victim.txt"), "victim");
             std::string list = test::FileText(m->Dest() + "/UnInst.lst");
             std::string lines;
             for (const char* name : {"..\\victim.txt", "../victim.txt", "*.txt", "CON", "C:victim.txt", "victim.txt."})
                 lines += FileLine(name, "victim");
             size_t end = list.rfind("end\t");
             int count = std::stoi(list.substr(end + 4)) + 6;
             test::WriteWholeFile(m->Dest() + "/UnInst.lst", list.substr(0, end) + lines + "end\t" + std::to_string(count) + "\r\n");
         },
         {"--yes"}, 0, {"Sample Notes"}, {"victim.txt"}, "Sample Notes has been removed.", true, true},
        {"links, entry and remembered folder of another copy",
         [](Machine* m) {
             CreateShortcut(test::U16(m->root.Join("desktop/Sample Notes.lnk")).c_str(), u"C:\\Other\\Notes.exe",
                            u"C:\\Other");
             Put(kLocalMachine, kEntryKey, u"UninstallString", u"C:\\Other\\UnInst.exe");
             Put(kCurrentUser, kMakerKey, u"SNO", u"C:\\Other");
         },
         {"--yes"}, 0, {"Sample Notes", "common/Sample Notes"}, {"desktop/Sample Notes.lnk"}, "", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Machine m;
        m.Install();
        c.change(&m);
        std::vector<std::string> args = {m.Dest()};
        args.insert(args.end(), c.args.begin(), c.args.end());
        std::istringstream answer("n\n");  // the question on standard input is answered No
        std::streambuf* terminal = std::cin.rdbuf(answer.rdbuf());
        test::CommandResult result = test::RunCommand(UninstallCommand, args);
        std::cin.rdbuf(terminal);
        EXPECT_EQ(c.code, result.code) << result.out << result.err;
        for (const std::string& path : c.gone) EXPECT_FALSE(test::PathExists(m.root.Join(path))) << path;
        for (const std::string& path : c.kept) EXPECT_TRUE(test::PathExists(m.root.Join(path))) << path;
        EXPECT_NE(std::string::npos, (result.out + result.err).find(c.report)) << result.out << result.err;
        EXPECT_EQ(c.entryGone, Get(kLocalMachine, kEntryKey, u"UninstallString") == u"<no key>");
        EXPECT_EQ(c.rememberedGone, Get(kCurrentUser, kMakerKey, u"SNO") == u"<no value>");
        EXPECT_EQ(test::U16(m.root.Join("Other Tool\\UnInst.exe")), Get(kLocalMachine, kOtherKey, u"UninstallString"));
        EXPECT_EQ(test::U16(m.root.Join("Other Tool")), Get(kCurrentUser, kMakerKey, u"OTH"));
    }
}

}  // namespace

namespace {

TEST(UninstallSequence, TheListNamesEveryFileTheSetupMayInstallAndRebuildsTheSame) {
    Machine m;
    m.Install();
    std::string list = test::FileText(m.Dest() + "/UnInst.lst");
    std::string expected = std::string(kListVersionLine) +
                           "\r\nproduct\tSample Notes\r\ncode\tSNO\r\nclass\tNotesWindow\r\nmain\tNotes.exe\r\n" +
                           FileLine("engine.dll", "old engine") + FileLine("engine.dll", "engine") +
                           FileLine("FILE_ID.DIZ", "Sample Notes Version 1.0\r\nfor 64-bit Windows\r\n") +
                           FileLine("Notes.exe", "notes program") +
                           FileLine("Notes_IT.LNG", "[Lang]\r\nLanguage=Italiano\r\n") +
                           FileLine("ReadMe.txt", "read me") + FileLine("UnInst.exe", "uninstaller program") +
                           "end\t7\r\n";
    EXPECT_EQ(expected, list);
    std::string first = test::FileText(m.root.Join("Setup.exe"));
    m.Install();
    EXPECT_EQ(first, test::FileText(m.root.Join("Setup.exe")));
    test::CommandResult alone = test::RunCommand(
        BuildCommand, {m.root.Join("product"), "-o", m.root.Join("x.exe"), "--code", "", "--window-class", "",
                       "--main-program", "", "--uninstaller-exe", m.root.Join("UnInst-build.exe")});
    EXPECT_EQ(2, alone.code);
    EXPECT_NE(std::string::npos, alone.err.find("--uninstaller-exe goes with --add-uninstaller")) << alone.err;
}

}  // namespace

namespace {

typedef std::vector<std::pair<std::string, std::string>> Files;

// Builds a version of the product with --add-uninstaller and installs it over Dest().
void InstallVersion(Machine* m, const std::string& version, const Files& files) {
    Files all = files;
    all.push_back({"FILE_ID.DIZ", "Sample Notes Version " + version + "\r\n"});
    std::string product = test::MakeProduct(m->root, "product-" + version, all);
    std::string uninstaller = m->root.Join("UnInst-build.exe");
    ASSERT_TRUE(test::WriteWholeFile(uninstaller, "uninstaller program"));
    std::string setup = m->root.Join("Setup-" + version + ".exe");
    test::CommandResult built = test::RunCommand(
        BuildCommand, {product, "-o", setup, "--code", "SNO", "--window-class", "NotesWindow", "--main-program", "",
                       "--stub", test::WriteStub(m->root), "-q", "--add-uninstaller", "--uninstaller-exe", uninstaller});
    ASSERT_EQ(0, built.code) << built.err;
    test::CommandResult installed = test::RunCommand(InstallCommand, {setup, "--dest", m->Dest()});
    ASSERT_EQ(0, installed.code) << installed.err;
}

const Files kVersion1 = {{"a.txt", "first a"}, {"b.dll", "b library"}};
const Files kVersion2 = {{"a.txt", "second a, longer"}, {"c.dll", "c library"}};

// Updates: every installed version's list is kept (once for the same
// contents), the uninstaller reads them all, and its report names whatever
// stays, the folder included, with exit status 1.
TEST(UninstallSequence, AcrossUpdatesEveryVersionIsKnownAndWhatStaysIsNamed) {
    struct Case {
        const char* what;
        std::vector<const Files*> versions;
        std::function<void(Machine*)> change;
        std::vector<std::string> listsBefore;  // the lists in the folder before the removal
        int code;
        std::vector<std::string> left;         // the folder's entries afterwards (none: the folder is gone)
        std::vector<std::string> report;       // each in the output
    } cases[] = {
        {"v1 then v2: one file dropped, one changed, one added", {&kVersion1, &kVersion2}, [](Machine*) {},
         {"UnInst-1.lst", "UnInst.lst"}, 0, {}, {"Sample Notes has been removed."}},
        {"v1, v2, then v1 again", {&kVersion1, &kVersion2, &kVersion1}, [](Machine*) {},
         {"UnInst-2.lst", "UnInst.lst"}, 0, {}, {"Sample Notes has been removed."}},
        {"the same setup twice", {&kVersion1, &kVersion1}, [](Machine*) {}, {"UnInst.lst"}, 0, {},
         {"Sample Notes has been removed."}},
        {"a user file and a changed file after an update", {&kVersion1, &kVersion2},
         [](Machine* m) {
             test::WriteWholeFile(m->Dest() + "/notes.txt", "mine");
             test::WriteWholeFile(m->Dest() + "/c.dll", "c library, patched");
         },
         {"UnInst-1.lst", "UnInst.lst"}, 1, {"c.dll", "notes.txt"},
         {"c.dll (changed since installation)", "notes.txt (not installed by the setup)", "The folder ", " stays."}},
        {"a damaged older list", {&kVersion1, &kVersion2},
         [](Machine* m) { test::WriteWholeFile(m->Dest() + "/UnInst-1.lst", "Setup uninstall list 1\r\n"); },
         {"UnInst-1.lst", "UnInst.lst"}, 1, {"UnInst-1.lst", "b.dll"},
         {"UnInst-1.lst (an earlier list, damaged or of another product: ignored)",
          "b.dll (not installed by the setup)", " stays."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Machine m;
        for (const Files* version : c.versions)
            InstallVersion(&m, version == &kVersion1 ? "1" : "2", *version);
        c.change(&m);
        std::vector<std::string> lists;
        for (const std::string& name : test::FolderEntries(m.Dest()))
            if (name.find(".lst") != std::string::npos) lists.push_back(name);
        EXPECT_EQ(c.listsBefore, lists);
        test::CommandResult result = test::RunCommand(UninstallCommand, {m.Dest(), "--yes"});
        EXPECT_EQ(c.code, result.code) << result.out << result.err;
        if (c.left.empty()) EXPECT_FALSE(test::PathExists(m.Dest()));
        else EXPECT_EQ(c.left, test::FolderEntries(m.Dest()));
        for (const std::string& text : c.report)
            EXPECT_NE(std::string::npos, (result.out + result.err).find(text)) << text << "\n" << result.out << result.err;
        EXPECT_EQ(u"<no key>", Get(kLocalMachine, kEntryKey, u"UninstallString"));
    }
}

}  // namespace
