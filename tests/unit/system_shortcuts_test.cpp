// Special folders and shortcuts: which links are made where, and that every
// link we write reads back, through lnkinfo (an independent reader) for the
// target and working directory and through our own reader for the rest.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/path.h"
#include "system/shell_link.h"
#include "system/shortcuts.h"
#include "system_test_support.h"

namespace {

using systest::ScopedProduct;
using systest::ScopedVariable;
using systest::U16;
using systest::Utf8;

const std::string kQuickLaunch = "AppData/Microsoft/Internet Explorer/Quick Launch";

// The special folders of one test: real folders in a scratch folder, each
// left out (its variable unset) when a test says so.
struct ShellPlace {
    explicit ShellPlace(bool desktop = true, bool programs = true, bool common = true, bool appData = true) {
        const char* variables[4] = {"SETUP_FOLDER_DESKTOP", "SETUP_FOLDER_PROGRAMS", "SETUP_FOLDER_COMMON_PROGRAMS",
                                    "SETUP_FOLDER_APPDATA"};
        const char* names[4] = {"Desktop", "Programs", "Common", "AppData"};
        bool present[4] = {desktop, programs, common, appData};
        for (int i = 0; i < 4; ++i) {
            std::string path = scratch.Join(names[i]);
            if (present[i]) test::MakeFolders(path);
            folders[i].emplace(variables[i], present[i] ? path.c_str() : nullptr);
        }
    }
    std::string Join(const std::string& name) const { return scratch.Join(name); }
    std::vector<std::string> Links() const {  // every .lnk, relative and sorted
        std::vector<std::string> links;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(scratch.path))
            if (entry.path().extension() == ".lnk")
                links.push_back(std::filesystem::relative(entry.path(), scratch.path).string());
        std::sort(links.begin(), links.end());
        return links;
    }
    test::TempFolder scratch;
    std::optional<ScopedVariable> folders[4];
};

uint32_t Number(const std::string& bytes, size_t at, size_t size) {
    uint32_t value = 0;
    for (size_t i = 0; i < size && at + i < bytes.size(); ++i)
        value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}

std::u16string WideAt(const std::string& bytes, size_t at, size_t count) {  // count npos: up to a zero
    std::u16string text;
    for (size_t i = 0; i < count && at + 2 * i + 1 < bytes.size(); ++i) {
        char16_t c = static_cast<char16_t>(Number(bytes, at + 2 * i, 2));
        if (count == std::string::npos && c == 0) break;
        text += c;
    }
    return text;
}

// Our own reader of the fields lnkinfo does not show faithfully.
struct LinkFacts {
    bool valid = false;
    uint32_t flags = 0, showCommand = 0, linkInfoHeaderSize = 0;
    std::u16string target, workingDirectory;
};

LinkFacts ReadLink(const std::string& bytes) {
    static const unsigned char kClassId[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
    LinkFacts facts;
    if (bytes.size() < 0x50 || Number(bytes, 0, 4) != 0x4C || memcmp(bytes.data() + 4, kClassId, 16) != 0)
        return facts;
    facts.flags = Number(bytes, 0x14, 4);
    facts.showCommand = Number(bytes, 0x3C, 4);
    size_t at = 0x4C;
    if (facts.flags & 0x01) at += 2 + Number(bytes, at, 2);
    if (facts.flags & 0x02) {
        facts.linkInfoHeaderSize = Number(bytes, at + 4, 4);
        if (facts.linkInfoHeaderSize >= 0x24)
            facts.target = WideAt(bytes, at + Number(bytes, at + 0x1C, 4), std::string::npos);
        for (size_t p = at + Number(bytes, at + 0x10, 4); facts.linkInfoHeaderSize < 0x24 && p < bytes.size() && bytes[p]; ++p)
            facts.target += static_cast<char16_t>(static_cast<unsigned char>(bytes[p]));  // the Latin-1 part of 1252
        at += Number(bytes, at, 4);
    }
    for (uint32_t flag : {0x04u, 0x08u, 0x10u, 0x20u, 0x40u}) {
        if (!(facts.flags & flag)) continue;
        size_t count = Number(bytes, at, 2);
        if (flag == 0x10) facts.workingDirectory = WideAt(bytes, at + 2, count);
        at += 2 + count * 2;
    }
    facts.valid = at + 4 == bytes.size() && Number(bytes, at, 4) == 0;
    return facts;
}

// lnkinfo's report as key/value pairs; "exit" holds its exit status.
std::map<std::string, std::string> LnkInfo(const std::string& path) {
    std::map<std::string, std::string> fields;
    FILE* pipe = popen(("lnkinfo '" + path + "' 2>&1").c_str(), "r");
    if (!pipe) return fields;
    for (char line[4096]; fgets(line, sizeof line, pipe);) {
        std::string text(line);
        size_t colon = text.find(": ");
        if (colon == std::string::npos) continue;
        std::string key = text.substr(0, colon);
        key.erase(0, key.find_first_not_of(" \t"));
        key.erase(key.find_last_not_of(" \t") + 1);
        fields.emplace(key, text.substr(colon + 2, text.find_last_not_of("\r\n") - colon - 1));
    }
    fields["exit"] = std::to_string(pclose(pipe));
    return fields;
}

void ExpectLink(const std::string& path, const std::string& target, const std::string& workingDirectory) {
    SCOPED_TRACE(path);
    LinkFacts facts = ReadLink(test::FileText(path));
    ASSERT_TRUE(facts.valid);
    EXPECT_EQ(facts.showCommand, 5u);
    EXPECT_EQ(facts.flags, workingDirectory.empty() ? 0x82u : 0x92u);  // link info, working directory, Unicode
    EXPECT_EQ(Utf8(facts.target), target);
    EXPECT_EQ(Utf8(facts.workingDirectory), workingDirectory);
    std::map<std::string, std::string> info = LnkInfo(path);
    ASSERT_EQ(info["exit"], "0") << "lnkinfo (liblnk-utils) must be installed and read the link";
    EXPECT_EQ(info["Local path"], target);
    EXPECT_EQ(info.count("Working directory") ? info["Working directory"] : "", workingDirectory);
}

InstallContext Context(const char16_t* destination, const char16_t* uninstaller) {
    InstallContext context = {};
    std::u16string(destination).copy(context.destination, kPathCapacity - 1);
    std::u16string(u"tool.exe").copy(context.mainProgram, 31);
    std::u16string(uninstaller).copy(context.uninstaller, 31);
    return context;
}

TEST(QuickLaunch, OfferedOnlyWithTheFolderAndNoPinnedTaskbar) {
    const struct {
        const char* what;
        bool appData, quickLaunch, pinned, offered;
    } cases[] = {{"pinned taskbar hides it", true, true, true, false},
                 {"quick launch folder offered", true, true, false, true},
                 {"no folder at all", true, false, false, false},
                 {"no application data folder", false, false, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ShellPlace place(true, true, true, c.appData);
        if (c.quickLaunch) test::MakeFolders(place.Join(kQuickLaunch));
        if (c.pinned) test::MakeFolders(place.Join(kQuickLaunch + "/User Pinned/TaskBar"));
        EXPECT_EQ(HasQuickLaunchFolder(), c.offered);
        std::string folder = place.Join("AppData") + "\\Microsoft\\Internet Explorer\\Quick Launch";
        // The folder only when the buffer holds it whole.
        for (int32_t capacity : {1024, static_cast<int32_t>(folder.size() + 1), static_cast<int32_t>(folder.size())}) {
            std::u16string buffer(1024, u'#');
            GetQuickLaunchFolder(&buffer[0], capacity);
            EXPECT_EQ(Utf8(buffer.c_str()), c.offered && capacity > static_cast<int32_t>(folder.size()) ? folder : "");
        }
        CreateQuickLaunchShortcut(u"D:\\Apps\\Tool\\tool.exe", u"Editor");
        EXPECT_EQ(place.Links(), c.offered ? std::vector<std::string>{kQuickLaunch + "/Editor.lnk"}
                                           : std::vector<std::string>{});
    }
}

TEST(Shortcuts, NamedAndStartedAsInstalled) {
    for (const char16_t* destination : {u"D:\\Apps\\Tool", u"D:\\Apps\\Tool\\"}) {
        SCOPED_TRACE(Utf8(destination));
        ShellPlace place;
        test::MakeFolders(place.Join(kQuickLaunch));
        ScopedProduct product("ED", "Editor");
        InstallContext context = Context(destination, u"UnInst.exe");
        CreateStartMenuGroup(&context);
        char16_t target[kPathCapacity] = {};
        std::u16string(destination).copy(target, kPathCapacity - 1);
        AppendPathPart(context.mainProgram, target, kPathCapacity);
        CreateDesktopShortcut(target, u"Editor");
        CreateQuickLaunchShortcut(target, u"Editor");
        EXPECT_EQ(place.Links(), (std::vector<std::string>{kQuickLaunch + "/Editor.lnk", "Common/Editor/Editor.lnk",
                                                            "Common/Editor/Uninstall.lnk", "Desktop/Editor.lnk"}));
        // The group's links start in the destination as typed, the others in the target's folder.
        ExpectLink(place.Join("Common/Editor/Editor.lnk"), "D:\\Apps\\Tool\\tool.exe", Utf8(destination));
        ExpectLink(place.Join("Common/Editor/Uninstall.lnk"), "D:\\Apps\\Tool\\UnInst.exe", Utf8(destination));
        ExpectLink(place.Join("Desktop/Editor.lnk"), "D:\\Apps\\Tool\\tool.exe", "D:\\Apps\\Tool");
        ExpectLink(place.Join(kQuickLaunch + "/Editor.lnk"), "D:\\Apps\\Tool\\tool.exe", "D:\\Apps\\Tool");
    }
}

TEST(Shortcuts, StartMenuGroupRules) {
    const struct {
        const char* what;
        bool common, programs;
        bool commonUncreatable;  // the all-users folder is found, the group cannot be made in it
        bool groupExists;
        const char16_t* uninstaller;
        const char* product;
        std::vector<std::string> links;
    } cases[] = {
        {"all users first", true, true, false, false, u"UnInst.exe", "Editor",
         {"Common/Editor/Editor.lnk", "Common/Editor/Uninstall.lnk"}},
        {"the user's folder otherwise", false, true, false, false, u"UnInst.exe", "Editor",
         {"Programs/Editor/Editor.lnk", "Programs/Editor/Uninstall.lnk"}},
        {"no programs folder at all", false, false, false, false, u"UnInst.exe", "Editor", {}},
        {"failed group is not moved", true, true, true, false, u"UnInst.exe", "Editor", {}},
        {"existing group left alone", true, true, false, true, u"UnInst.exe", "Editor", {}},
        {"no uninstaller", true, true, false, false, u"", "Editor", {"Common/Editor/Editor.lnk"}},
        {"empty product name", true, true, false, false, u"UnInst.exe", "", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ShellPlace place(true, c.programs, c.common, true);
        std::string blocked = place.Join("blocker/Common");
        std::optional<ScopedVariable> common;
        if (c.commonUncreatable) test::WriteWholeFile(place.Join("blocker"), "a file where a folder should be");
        if (c.commonUncreatable) common.emplace("SETUP_FOLDER_COMMON_PROGRAMS", blocked.c_str());
        if (c.groupExists) test::MakeFolders(place.Join("Common/Editor"));
        ScopedProduct product("ED", c.product);
        InstallContext context = Context(u"D:\\Apps\\Tool", c.uninstaller);
        CreateStartMenuGroup(&context);
        EXPECT_EQ(place.Links(), c.links);
        for (const std::string& link : c.links)
            ExpectLink(place.Join(link), link.find("Uninstall") != std::string::npos ? "D:\\Apps\\Tool\\UnInst.exe"
                                                                                     : "D:\\Apps\\Tool\\tool.exe",
                       "D:\\Apps\\Tool");
    }
}

TEST(Shortcuts, DesktopLinkNeedsANameAndAFolder) {
    const struct {
        const char* what;
        bool desktop;
        const char16_t* name;
        const char16_t* target;
        const char* workingDirectory;  // null: no link
    } cases[] = {
        {"made", true, u"Editor", u"D:\\Apps\\Tool\\tool.exe", "D:\\Apps\\Tool"},
        {"no desktop folder", false, u"Editor", u"D:\\Apps\\Tool\\tool.exe", nullptr},
        {"empty name", true, u"", u"D:\\Apps\\Tool\\tool.exe", nullptr},
        {"drive root keeps its separator", true, u"Editor", u"D:\\tool.exe", "D:\\"},
        {"bare file name: no working directory", true, u"Editor", u"tool.exe", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ShellPlace place(c.desktop, true, true, true);
        if (c.desktop) test::WriteWholeFile(place.Join("Desktop/Editor.lnk"), std::string(10000, 'x'));  // replaced
        CreateDesktopShortcut(c.target, c.name);
        if (c.workingDirectory) ExpectLink(place.Join("Desktop/Editor.lnk"), Utf8(c.target), c.workingDirectory);
        if (!c.workingDirectory && c.desktop) {
            EXPECT_EQ(test::FileText(place.Join("Desktop/Editor.lnk")).size(), 10000u);
        }
        if (!c.desktop) {
            EXPECT_TRUE(place.Links().empty());
        }
    }
}

TEST(Shortcuts, FailedLinksOnlyReturnTheirStatus) {
    ShellPlace place;
    test::MakeFolders(place.Join("Desktop/Folder.lnk"));
    const struct {
        std::string link;
        const char16_t* target;
        uint32_t status;  // as HRESULT_FROM_WIN32, the kind the Windows shell answers
    } cases[] = {{place.Join("Desktop/Folder.lnk"), u"D:\\tool.exe", 0x80070005u},
                 {place.Join("missing/Editor.lnk"), u"D:\\tool.exe", 0x80070003u},
                 {"/dev/full", u"D:\\tool.exe", 0x80070070u},
                 {place.Join("Desktop/Empty.lnk"), u"", 0x80070057u}};
    for (const auto& c : cases)
        EXPECT_EQ(static_cast<uint32_t>(CreateShortcut(U16(c.link).c_str(), c.target, u"D:\\")), c.status) << c.link;
    struct stat st;
    ASSERT_EQ(stat("/dev/full", &st), 0);
    EXPECT_TRUE(S_ISCHR(st.st_mode));  // a failed write removes only a file of its own
    EXPECT_EQ(place.Links(), (std::vector<std::string>{"Desktop/Folder.lnk"}));
}

TEST(Shortcuts, TargetsBeyondTheAnsiCodePageKeepTheirCharacters) {
    const struct {
        const char* folder;
        uint32_t linkInfoHeaderSize;  // 0x24 adds the Unicode path
    } cases[] = {{"C:\\Apps\\Tool", 0x1C},
                 {"C:\\Apps\\Gr\xC3\xBC\xC3\x9F" "e", 0x1C},
                 {"C:\\Apps\\\xC5\x81\xC3\xB3" "d\xC5\xBA", 0x24}};
    for (const auto& c : cases) {
        ShellPlace place;
        std::string link = place.Join("Desktop/Editor.lnk"), target = std::string(c.folder) + "\\tool.exe";
        ASSERT_EQ(CreateShortcut(U16(link).c_str(), U16(target).c_str(), U16(c.folder).c_str()), 0);
        EXPECT_EQ(ReadLink(test::FileText(link)).linkInfoHeaderSize, c.linkInfoHeaderSize) << c.folder;
        ExpectLink(link, target, c.folder);
    }
    uint8_t bytes[kShellLinkCapacity];
    EXPECT_GT(BuildShellLink(std::u16string(1023, u'x').c_str(), std::u16string(1023, u'x').c_str(), 5, bytes,
                             sizeof bytes), 0u);
    EXPECT_EQ(BuildShellLink(std::u16string(1024, u'x').c_str(), u"", 5, bytes, sizeof bytes), 0u);
    EXPECT_EQ(BuildShellLink(u"D:\\tool.exe", u"D:\\", 5, bytes, 100), 0u);
}

TEST(SpecialFolders, ComeFromTheirVariables) {
    ShellPlace place;
    const struct {
        int32_t number;
        const char* folder;
    } cases[] = {{0, "Desktop"}, {2, "Programs"}, {23, "Common"}, {26, "AppData"}, {5, nullptr}};
    for (const auto& c : cases) {
        char16_t path[kPathCapacity] = u"junk";
        EXPECT_EQ(GetSpecialFolder(c.number, path) == 0, c.folder != nullptr) << c.number;
        EXPECT_EQ(Utf8(path), c.folder ? place.Join(c.folder) : "") << c.number;
    }
    // Neither an empty value nor one too long for the buffer names a folder.
    for (const std::string& value : {std::string(), std::string(kPathCapacity, 'x')}) {
        ScopedVariable desktop("SETUP_FOLDER_DESKTOP", value.c_str());
        char16_t path[kPathCapacity] = u"junk";
        EXPECT_NE(GetSpecialFolder(0, path), 0);
        EXPECT_EQ(path[0], 0);
    }
}

}  // namespace
