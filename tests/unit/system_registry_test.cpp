// The registry records: the proposed destination with its fallback chain, the
// remembered folder and the uninstall entry, run against a scratch store.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "system/install_records.h"
#include "system/registry.h"
#include "system_test_support.h"

namespace {

using systest::Get;
using systest::Put;
using systest::ScopedProduct;
using systest::ScopedVariable;
using systest::U16;
using systest::Utf8;

const char16_t kMakerKey[] = u"Software\\Quillworks";
const char16_t kCurrentVersion[] = u"Software\\Microsoft\\Windows\\CurrentVersion";
const char16_t kUninstallEditor[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Editor";

// An entry as a setup without a version in its description writes it.
void WriteEntry(const char16_t* command, const char16_t* icon, const char16_t* folder = u"D:\\Tools",
                uint64_t bytes = 0, const char16_t* version = u"") {
    UninstallEntry entry = {command, icon, folder, version, bytes};
    WriteUninstallEntry(&entry);
}

class RegistryRecords : public ::testing::Test {
protected:
    test::TempFolder scratch;
    std::string storePath = scratch.Join("registry.txt");
    ScopedVariable store{"SETUP_REGISTRY", storePath.c_str()};
    ScopedVariable programFiles{"ProgramFiles", nullptr};
    ScopedVariable windows{"SETUP_WINDOWS_DIR", nullptr};

    static std::string Proposal(int32_t capacity = 1024) {
        std::u16string buffer(static_cast<size_t>(capacity) + 8, u'#');
        GetDefaultInstallFolder(&buffer[0], capacity);
        return Utf8(buffer.c_str());
    }

    // The value lines of one key in the store, in file order.
    std::vector<std::string> Section(const std::string& header) const {
        std::istringstream in(test::FileText(storePath));
        std::vector<std::string> lines;
        bool inside = false;
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line[0] == '[') inside = line == "[" + header + "]";
            else if (inside && !line.empty()) lines.push_back(line);
        }
        return lines;
    }
};

TEST_F(RegistryRecords, ProposalFollowsTheFallbackChain) {
    const struct {
        const char* what;
        const char* code;
        const char* name;
        const char* rememberedName;  // the value's name; null: nothing remembered
        const char* remembered;
        const char* programFilesDir;  // null: no such value
        const char* environment;      // null: unset
        const char* windowsFolder;    // null: unset
        bool programmeExists;
        const char* expected;
    } cases[] = {
        {"remembered folder unchanged", "ED", "Editor", "ED", "D:\\Tools\\Editor", "C:\\Program Files", nullptr,
         nullptr, false, "D:\\Tools\\Editor"},
        {"program files plus name", "ED", "Editor", nullptr, nullptr, "C:\\Program Files", "E:\\Env", nullptr,
         false, "C:\\Program Files\\Editor"},
        {"registry base with separator", "ED", "Editor", nullptr, nullptr, "D:\\", nullptr, nullptr, false,
         "D:\\Editor"},
        {"environment base with separator", "ED", "Editor", nullptr, nullptr, nullptr, "D:\\", nullptr, false,
         "D:\\Editor"},
        {"empty registry value gives way", "ED", "Editor", nullptr, nullptr, "", "E:\\Apps", "C:\\Windows", false,
         "E:\\Apps\\Editor"},
        {"Programme when it exists", "ED", "Editor", nullptr, nullptr, nullptr, nullptr, "$T\\Windows", true,
         "$T\\Programme\\Editor"},
        {"Program Files otherwise", "ED", "Editor", nullptr, nullptr, nullptr, nullptr, "$T\\Windows", false,
         "$T\\Program Files\\Editor"},
        {"Windows on a drive root", "ED", "Editor", nullptr, nullptr, nullptr, nullptr, "C:\\Windows", false,
         "C:\\Program Files\\Editor"},
        {"empty code never reads", "", "Editor", "", "D:\\Wrong", "C:\\Program Files", nullptr, nullptr, false,
         "C:\\Program Files\\Editor"},
        {"other product's folder ignored", "ED", "Editor", "XY", "D:\\Other", "C:\\Progs", nullptr, nullptr, false,
         "C:\\Progs\\Editor"},
        {"empty remembered value absent", "ED", "Editor", "ED", "", "C:\\Program Files", nullptr, nullptr, false,
         "C:\\Program Files\\Editor"},
        {"empty name keeps separator", "ED", "", nullptr, nullptr, "C:\\Program Files", nullptr, nullptr, false,
         "C:\\Program Files\\"},
        {"nothing found", "ED", "Editor", nullptr, nullptr, nullptr, nullptr, nullptr, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        remove(storePath.c_str());
        test::TempFolder parent;
        test::MakeFolders(parent.Join("Windows"));
        if (c.programmeExists) test::MakeFolders(parent.Join("Programme"));
        ScopedProduct product(c.code, c.name);
        ScopedVariable environment("ProgramFiles", c.environment);
        std::string windowsFolder = systest::Expand(c.windowsFolder ? c.windowsFolder : "", parent.path);
        ScopedVariable windowsVariable("SETUP_WINDOWS_DIR", c.windowsFolder ? windowsFolder.c_str() : nullptr);
        if (c.rememberedName) {
            ASSERT_TRUE(Put(kCurrentUser, kMakerKey, U16(c.rememberedName), U16(c.remembered)));
        }
        if (c.programFilesDir) {
            ASSERT_TRUE(Put(kLocalMachine, kCurrentVersion, u"ProgramFilesDir", U16(c.programFilesDir)));
        }
        EXPECT_EQ(Proposal(), systest::Expand(c.expected, parent.path));
    }
}

TEST_F(RegistryRecords, RememberedValueTooLargeCountsAsAbsent) {
    const struct {
        size_t length;  // characters of the remembered folder
        int32_t capacity;
        bool proposed;  // true: the remembered folder, false: the fallback
    } cases[] = {{1023, 1024, true}, {1024, 1024, false}, {9, 10, true}, {10, 10, false}};
    ScopedProduct product("ED", "Editor");
    ASSERT_TRUE(Put(kLocalMachine, kCurrentVersion, u"ProgramFilesDir", u"C:"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        std::string folder = "D:\\" + std::string(c.length - 3, 'x');
        ASSERT_TRUE(Put(kCurrentUser, kMakerKey, u"ED", U16(folder)));
        EXPECT_EQ(Proposal(c.capacity), c.proposed ? folder : std::string("C:\\Editor"));
    }
}

TEST_F(RegistryRecords, ProductsRememberTheirFoldersSideBySide) {
    const struct {
        const char* code;
        const char16_t* folder;
    } installs[] = {{"ED", u"D:\\Tools\\Editor"}, {"XY", u"E:\\Other"}, {"ED", u"F:\\New"}, {"", u"G:\\None"},
                    {"XY", u""}};
    for (const auto& install : installs) {
        ScopedProduct product(install.code, "Editor");
        RememberInstallFolder(install.folder);
    }
    ScopedProduct product("ED", "Editor");
    EXPECT_EQ(Proposal(), "F:\\New");
    EXPECT_EQ(Section("HKEY_CURRENT_USER\\Software\\Quillworks"),
              (std::vector<std::string>{"ED=F:\\New%00", "XY=E:\\Other%00"}));
}

TEST_F(RegistryRecords, UninstallEntryHoldsThePartsFiveValuesThenTheDeploymentValues) {
    ScopedProduct product("ED", "Editor");
    WriteEntry(u"\"D:\\Tools\\UnInst.exe\"", u"D:\\Tools\\editor.exe", u"D:\\Tools", 1025, u"2.5");
    // Each string with its terminator: (length + 1) x 2 bytes; numbers as REG_DWORD.
    std::vector<std::string> expected = {
        "DisplayName=Editor%00",
        "UninstallString=\"D:\\Tools\\UnInst.exe\"%00",
        "DisplayIcon=D:\\Tools\\editor.exe%00",
        "Publisher=Quillworks%00",
        "URLInfoAbout=" + Utf8(kUrlInfoAbout) + "%00",
        "DisplayVersion=2.5%00",
        "InstallLocation=D:\\Tools%00",
        "EstimatedSize=dword:00000002",  // 1025 bytes: 2 KiB, rounded up
        "QuietUninstallString=\"D:\\Tools\\UnInst.exe\" /S%00",
        "NoModify=dword:00000001",
        "NoRepair=dword:00000001",
    };
    EXPECT_EQ(Section("HKEY_LOCAL_MACHINE\\" + Utf8(kUninstallEditor)), expected);
    EXPECT_EQ(Utf8(kUrlInfoAbout).rfind("https://", 0), 0u);
    // A second installation, without a main program or a version, overwrites
    // in place and leaves no version.
    WriteEntry(u"E:\\Ed\\UnInst.exe", u"", u"E:\\Ed", 0x40000000000ull);
    expected[1] = "UninstallString=E:\\Ed\\UnInst.exe%00";
    expected[2] = "DisplayIcon=%00";  // an empty string: two bytes
    expected[6] = "InstallLocation=E:\\Ed%00";
    expected[7] = "EstimatedSize=dword:ffffffff";  // 4 TiB does not fit: the most a number holds
    expected[8] = "QuietUninstallString=E:\\Ed\\UnInst.exe /S%00";
    expected.erase(expected.begin() + 5);
    EXPECT_EQ(Section("HKEY_LOCAL_MACHINE\\" + Utf8(kUninstallEditor)), expected);
    EXPECT_EQ(Get(kLocalMachine, kUninstallEditor, u"DisplayIcon", 2), "");
}

TEST_F(RegistryRecords, EntriesOfTwoProductsStayApart) {
    for (const char* name : {"Editor", "Viewer"}) {
        ScopedProduct product("ED", name);
        WriteEntry(U16(std::string("D:\\") + name + "\\UnInst.exe").c_str(), u"");
    }
    EXPECT_EQ(Get(kLocalMachine, kUninstallEditor, u"UninstallString"), "D:\\Editor\\UnInst.exe");
    EXPECT_EQ(Get(kLocalMachine, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Viewer", u"DisplayName"),
              "Viewer");
}

TEST_F(RegistryRecords, EmptyProductNameWritesNoEntry) {
    ScopedProduct product("ED", "");
    WriteEntry(u"D:\\Tools\\UnInst.exe", u"D:\\Tools\\editor.exe");
    EXPECT_FALSE(test::PathExists(storePath));
}

}  // namespace
