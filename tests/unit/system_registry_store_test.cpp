// The registry store away from Windows: what it keeps, where it lives, and
// that no failure loses the store or gets reported.
#include <gtest/gtest.h>
#include <unistd.h>

#include <optional>
#include <string>

#include "common/test_seams.h"
#include "system/environment.h"
#include "system/install_records.h"
#include "system/registry.h"
#include "system/registry_delete.h"
#include "system/registry_file_posix.h"
#include "system_test_support.h"

namespace {

using systest::Get;
using systest::Put;
using systest::ScopedProduct;
using systest::ScopedVariable;
using systest::Utf8;

const char16_t kKey[] = u"Software\\Quillworks";

class RegistryStore : public ::testing::Test {
protected:
    test::TempFolder scratch;
    std::string storePath = scratch.Join("registry.txt");
    std::string temporary = storePath + "." + std::to_string(getpid()) + ".tmp";
    ScopedVariable store{"SETUP_REGISTRY", storePath.c_str()};
    void TearDown() override { gTestSeams = kNoTestSeams; }
};

TEST_F(RegistryStore, KeepsAnyTextExactly) {
    const std::u16string cases[][2] = {
        {u"plain", u"D:\\Tools\\Editor"},       {u"with=equals", u"a=b=c"},
        {u"[bracket]", u"[not a key]"},         {u";semicolon", u"#not a comment"},
        {u"percent%41", u"100%25 %zz"},         {u"", u"the default value"},
        {u"lines", u"one\ntwo\r\nthree\t"},     {u"\u00fcml\u00e4ut", u"Gr\u00fc\u00dfe \u20ac"},
        {u"astral", u"\U0001F600"},             {u"lone", std::u16string(1, char16_t(0xD800)) + u"x"},
        {u"empty", u""},                        {u"number-like", u"dword:00000001"},
    };
    for (const auto& c : cases) ASSERT_TRUE(Put(kCurrentUser, kKey, c[0], c[1]));
    for (const auto& c : cases) EXPECT_EQ(Get(kCurrentUser, kKey, c[0]), Utf8(c[1])) << Utf8(c[0]);
    // A string never reads back as a number line.
    EXPECT_NE(test::FileText(storePath).find("number-like=%64word:00000001%00"), std::string::npos);
}

TEST_F(RegistryStore, KeysAndNamesIgnoreCaseAndRootsStayApart) {
    ASSERT_TRUE(Put(kCurrentUser, u"Software\\Quillworks", u"Ed", u"user"));
    ASSERT_TRUE(Put(kLocalMachine, u"Software\\Quillworks", u"Ed", u"machine"));
    EXPECT_EQ(Get(kCurrentUser, u"SOFTWARE\\QUILLWORKS", u"ED"), "user");
    ASSERT_TRUE(Put(kCurrentUser, u"software\\quillworks", u"eD", u"again"));
    EXPECT_EQ(Get(kCurrentUser, kKey, u"Ed"), "again");
    EXPECT_EQ(Get(kLocalMachine, kKey, u"Ed"), "machine");
    EXPECT_EQ(test::FileText(storePath).find("=user"), std::string::npos);  // replaced, not added
    RegistryKey key;
    const struct {
        RegistryRoot root;
        const char16_t* path;
        bool exists;
    } keys[] = {{kLocalMachine, u"Software\\Quillworks", true}, {kLocalMachine, u"software", true},
                {kLocalMachine, u"Software\\Quill", false},     {kLocalMachine, u"Software\\Quillworks\\X", false},
                {kCurrentUser, u"Software", true},              {kCurrentUser, u"System", false}};
    for (const auto& k : keys) EXPECT_EQ(OpenRegistryKey(k.root, k.path, &key), k.exists) << Utf8(k.path);
}

TEST_F(RegistryStore, ReadsRespectTheByteCount) {
    ASSERT_TRUE(Put(kCurrentUser, kKey, u"full", u"abc"));         // 8 bytes with the terminator
    ASSERT_TRUE(Put(kCurrentUser, kKey, u"bare", u"abc", 6));      // stored without it
    ASSERT_TRUE(Put(kCurrentUser, kKey, u"short", u"abcdef", 4));  // only "ab" kept
    const struct {
        const char16_t* name;
        uint32_t byteCount;
        const char* expected;
    } cases[] = {{u"full", 8, "abc"}, {u"full", 7, "<missing>"}, {u"full", 6, "<missing>"}, {u"bare", 8, "abc"},
                 {u"bare", 6, "<missing>"}, {u"short", 8, "ab"}, {u"none", 8, "<missing>"}};
    for (const auto& c : cases)
        EXPECT_EQ(Get(kCurrentUser, kKey, c.name, c.byteCount), c.expected) << Utf8(c.name) << " " << c.byteCount;
}

TEST_F(RegistryStore, RewriteKeepsEveryOtherLine) {
    test::WriteWholeFile(storePath,
                         "; kept by hand\r\n[HKEY_CURRENT_USER\\Software\\Quillworks]\r\nXY=E:\\Other%00\r\n\n"
                         "something this format does not know\n\n[HKEY_LOCAL_MACHINE\\Software\\Else]\nA=b%00");
    ASSERT_TRUE(Put(kCurrentUser, kKey, u"ED", u"D:\\Tools"));
    ASSERT_TRUE(Put(kLocalMachine, u"Software\\Else", u"A", u"c"));
    // The new value joins its key's values, before the blank lines that end them.
    EXPECT_EQ(test::FileText(storePath),
              "; kept by hand\r\n[HKEY_CURRENT_USER\\Software\\Quillworks]\r\nXY=E:\\Other%00\r\n\n"
              "something this format does not know\nED=D:\\Tools%00\n\n[HKEY_LOCAL_MACHINE\\Software\\Else]\nA=c%00\n");
}

TEST_F(RegistryStore, InterruptedWriteLeavesOldStore) {
    ASSERT_TRUE(Put(kCurrentUser, kKey, u"ED", u"D:\\Old"));
    const std::string before = test::FileText(storePath);
    for (int64_t crashAfter : {0, 7, 60, 100000}) {
        SCOPED_TRACE(crashAfter);
        gTestSeams.storeCrashAfterBytes = crashAfter;
        ScopedProduct product("ED", "Editor");
        RememberInstallFolder(u"D:\\New\\Folder\\Somewhere\\Else");
        gTestSeams = kNoTestSeams;
        EXPECT_TRUE(test::PathExists(temporary));  // what the crash left behind
        EXPECT_EQ(test::FileText(storePath), before);
    }
    ASSERT_TRUE(Put(kCurrentUser, kKey, u"ED", u"D:\\New"));
    EXPECT_EQ(Get(kCurrentUser, kKey, u"ED"), "D:\\New");
    EXPECT_FALSE(test::PathExists(temporary));
}

TEST_F(RegistryStore, FailedOrUnreadableStoresAreNeverReplaced) {
    const struct {
        const char* what;
        const char* path;    // the store, below a fresh folder
        const char* folder;  // made below that folder first
        const char* file;    // made with a store's text
        off_t size;          // the file's size, when not 0
        bool blockTemporary;  // a folder where the temporary file goes
    } cases[] = {
        {"folder at the temporary file's place", "registry.txt", nullptr, "registry.txt", 0, true},
        {"folder at the store's place", "registry.txt", "registry.txt", nullptr, 0, false},
        {"store below a file", "file/registry.txt", nullptr, "file", 0, false},
        {"store too large", "registry.txt", nullptr, "registry.txt", 17 << 20, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempFolder place;
        std::string path = place.Join(c.path);
        if (c.folder) test::MakeFolders(place.Join(c.folder));
        if (c.file) test::WriteWholeFile(place.Join(c.file), "[HKEY_CURRENT_USER\\Software\\Quillworks]\nED=D:\\Old%00\n");
        if (c.size) {
            ASSERT_EQ(truncate(path.c_str(), c.size), 0);
        }
        if (c.blockTemporary) test::MakeFolders(path + "." + std::to_string(getpid()) + ".tmp");
        const std::string before = test::FileText(path);
        ScopedVariable where("SETUP_REGISTRY", path.c_str());
        ScopedProduct product("ED", "Editor");
        RememberInstallFolder(u"D:\\New");
        UninstallEntry entry = {u"D:\\New\\UnInst.exe", u"", u"D:\\New", u"", 0};
        WriteUninstallEntry(&entry);
        EXPECT_FALSE(Put(kCurrentUser, kKey, u"ED", u"D:\\New"));
        EXPECT_EQ(test::FileText(path), before);
        if (c.folder) {
            EXPECT_TRUE(test::IsFolder(path));
        }
    }
}

TEST_F(RegistryStore, LocationFollowsTheEnvironment) {
    const struct {
        const char* registry;  // SETUP_REGISTRY, XDG_DATA_HOME, HOME; null: unset
        const char* dataHome;
        const char* home;
        const char* expected;  // relative to the scratch folder; null: no store at all
    } cases[] = {
        {"$T/deep/new/store.txt", "$T/xdg", "$T/home", "deep/new/store.txt"},
        {nullptr, "$T/xdg", "$T/home", "xdg/setup/registry.txt"},
        {"", "$T/xdg", "$T/home", "xdg/setup/registry.txt"},
        {nullptr, "relative/xdg", "$T/home", "home/.local/share/setup/registry.txt"},
        {nullptr, nullptr, "$T/home", "home/.local/share/setup/registry.txt"},
        {nullptr, nullptr, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        test::TempFolder place;
        std::string values[3];
        const char* names[3] = {"SETUP_REGISTRY", "XDG_DATA_HOME", "HOME"};
        const char* given[3] = {c.registry, c.dataHome, c.home};
        std::optional<ScopedVariable> variables[3];
        for (int i = 0; i < 3; ++i) {
            values[i] = systest::Expand(given[i] ? given[i] : "", place.path);
            variables[i].emplace(names[i], given[i] ? values[i].c_str() : nullptr);
        }
        EXPECT_EQ(Put(kCurrentUser, kKey, u"ED", u"D:\\Here"), c.expected != nullptr);
        if (c.expected) {
            EXPECT_NE(test::FileText(place.Join(c.expected)).find("ED=D:\\Here%00"), std::string::npos);
        }
    }
}

TEST(RegistryEnvironment, ReadsVariablesAndTheWindowsFolder) {
    const struct {
        const char* value;  // null: unset
        int32_t capacity;
        const char* expected;
    } cases[] = {{nullptr, 64, ""}, {"C:\\Program Files", 64, "C:\\Program Files"},
                 {"Gr\xC3\xBC\xC3\x9F" "e", 64, "Gr\xC3\xBC\xC3\x9F" "e"}, {"abcd", 5, "abcd"}, {"abcde", 5, ""}};
    for (const auto& c : cases) {
        ScopedVariable variable("SETUP_TEST_VARIABLE", c.value);
        ScopedVariable windows("SETUP_WINDOWS_DIR", c.value);
        char16_t buffer[64] = u"junk", folder[64] = u"junk";
        ReadEnvironmentVariable(u"SETUP_TEST_VARIABLE", buffer, c.capacity);
        ReadWindowsFolder(folder, c.capacity);
        EXPECT_EQ(Utf8(buffer), c.expected);
        EXPECT_EQ(Utf8(folder), c.expected);
    }
}

}  // namespace

namespace {

TEST_F(RegistryStore, DeletesOneValueOrOneKeyAndNothingElse) {
    const char16_t kEntry[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Notes";
    const char16_t kParent[] = u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    struct Case {
        const char* what;
        RegistryRoot root;
        const char16_t* key;
        const char16_t* value;  // null: the whole key
        bool deleted;
    } cases[] = {
        {"a value", kCurrentUser, kKey, u"SNO", true},
        {"a value, any letter case", kCurrentUser, u"software\\QUILLWORKS", u"sno", true},
        {"a missing value", kCurrentUser, kKey, u"XYZ", false},
        {"a value under the other root", kLocalMachine, kKey, u"SNO", false},
        {"a key", kLocalMachine, kEntry, nullptr, true},
        {"a missing key", kLocalMachine, u"SOFTWARE\\Nothing", nullptr, false},
        {"a key with a key beneath", kLocalMachine, kParent, nullptr, false},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Put(kCurrentUser, kKey, u"SNO", u"D:\\Notes"));
        ASSERT_TRUE(Put(kCurrentUser, kKey, u"OTH", u"D:\\Other"));
        ASSERT_TRUE(Put(kLocalMachine, kEntry, u"UninstallString", u"D:\\Notes\\UnInst.exe"));
        ASSERT_TRUE(Put(kLocalMachine, kEntry, u"DisplayName", u"Notes"));
        ASSERT_TRUE(Put(kLocalMachine, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other",
                        u"DisplayName", u"Other"));
        bool deleted = c.value ? DeleteRegistryValue(c.root, c.key, c.value) : DeleteRegistryKey(c.root, c.key);
        EXPECT_EQ(c.deleted, deleted) << c.what;
        bool valueGone = c.deleted && c.value;
        bool keyGone = c.deleted && !c.value;
        EXPECT_EQ(valueGone ? "<missing>" : "D:\\Notes", Get(kCurrentUser, kKey, u"SNO")) << c.what;
        EXPECT_EQ(Get(kCurrentUser, kKey, u"OTH"), "D:\\Other") << c.what;
        EXPECT_EQ(keyGone ? "<missing>" : "Notes", Get(kLocalMachine, kEntry, u"DisplayName")) << c.what;
        RegistryKey open;
        EXPECT_EQ(!keyGone, OpenRegistryKey(kLocalMachine, kEntry, &open)) << c.what;
        EXPECT_EQ(Get(kLocalMachine, u"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Other", u"DisplayName"),
                  "Other")
            << c.what;
    }
}

}  // namespace
