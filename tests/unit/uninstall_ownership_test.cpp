// What the uninstaller takes for its own: paths, links and folders.
#include <gtest/gtest.h>

#include "installer_support.h"
#include "system/shell_link.h"
#include "test_support.h"
#include "uninstall/ownership.h"

namespace {

TEST(UninstallOwnership, PathsCompareAsWindowsComparesThem) {
    struct Case {
        const char16_t *a, *b;
        bool same;
    } cases[] = {
        {u"C:\\Apps\\Notes\\UnInst.exe", u"c:/apps/NOTES/uninst.EXE", true},
        {u"C:\\Apps\\Notes\\", u"C:\\Apps\\Notes", true},
        {u"C:\\Apps\\Notes", u"C:\\Apps\\Note", false},
        {u"C:\\Apps\\Notes", u"C:\\Apps\\Notes\\x", false},
        {u"", u"", false},
        {u"\\", u"/", false},
        {u"C:\\Apps\\\xE9", u"C:\\Apps\\\xC9", false},  // only ASCII letters fold
    };
    for (const Case& c : cases) EXPECT_EQ(c.same, SamePath(c.a, c.b)) << test::Utf8(c.a) << " / " << test::Utf8(c.b);
}

TEST(UninstallOwnership, AnUninstallCommandNamesTheProgramQuotedOrNot) {
    const std::u16string tooLong = u"\"C:\\" + std::u16string(1100, u'a') + u"\"";
    struct Case {
        const char16_t* command;
        bool names;
    } cases[] = {
        {u"\"C:\\Program Files\\Notes\\UnInst.exe\"", true},
        {u"C:\\Program Files\\Notes\\UnInst.exe", true},  // as older setups wrote it
        {u"\"c:/program files/notes/uninst.exe\"  ", true},
        {u"\"C:\\Program Files\\Notes\\UnInst.exe\" /S", false},
        {u"\"C:\\Program Files\\Notes\\UnInst.exe", false},
        {u"\"C:\\Program Files\\Notes\\Other.exe\"", false},
        {u"\"\"", false},
        {tooLong.c_str(), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.names, CommandNamesProgram(c.command, u"C:\\Program Files\\Notes\\UnInst.exe"))
            << test::Utf8(c.command);
}

TEST(UninstallOwnership, ALinkIsOursOnlyWhenItsTargetLiesDirectlyInTheFolder) {
    struct Case {
        const char16_t* target;
        bool ours;
    } cases[] = {
        {u"C:\\Apps\\Notes\\Notes.exe", true},
        {u"c:/apps/notes/UnInst.exe", true},
        {u"C:\\Apps\\Notes\\\\Notes.exe", true},
        {u"C:\\Apps\\Notes\\sub\\Notes.exe", false},
        {u"C:\\Apps\\Notes2\\Notes.exe", false},
        {u"C:\\Apps\\Notes.exe", false},
        {u"C:\\Apps\\Notes\\", false},
        {u"Notes.exe", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.ours, LiesDirectlyIn(c.target, u"C:\\Apps\\Notes\\")) << test::Utf8(c.target);
}

TEST(UninstallOwnership, RootsAndSpecialFoldersAreNeverRemoved) {
    test::TempFolder root;
    std::string desktop = root.Join("Desktop");
    test::ScopedEnv desktopFolder("SETUP_FOLDER_DESKTOP", desktop.c_str());
    test::ScopedEnv programFiles("ProgramFiles", "D:\\Program Files");
    struct Case {
        std::u16string folder;
        bool isProtected;
    } cases[] = {
        {u"C:\\", true},
        {u"C:", true},
        {u"\\\\server\\share\\", true},
        {u"\\\\server\\share\\apps", false},
        {u"relative\\folder", true},
        {u"", true},
        {u"/", true},
        {test::U16(desktop), true},
        {test::U16(desktop + "/"), true},
        {test::U16(root.Path()), true},  // holds the desktop
        {test::U16(desktop + "/Sample Notes"), false},
        {u"d:/program files", true},
        {u"D:\\Program Files\\Sample Notes", false},
        {u"D:\\Program", false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.isProtected, IsProtectedFolder(c.folder.c_str())) << test::Utf8(c.folder);
}

TEST(UninstallOwnership, LinkTargetsReadBackAsWritten) {
    struct Case {
        const char16_t* target;
    } cases[] = {{u"C:\\Apps\\Notes\\Notes.exe"}, {u"C:\\Apps\\\x65E5\x672C\\Notes.exe"}, {u"D:\\\xE4.exe"}};
    for (const Case& c : cases) {
        uint8_t link[kShellLinkCapacity];
        uint32_t size = BuildShellLink(c.target, u"C:\\Apps", kShowCommandShow, link, sizeof link);
        ASSERT_GT(size, 0u);
        char16_t target[1024];
        EXPECT_TRUE(ReadShellLinkTarget(link, size, target, 1024));
        EXPECT_EQ(std::u16string(c.target), target);
        // Every cut of a link is refused or read within its bytes (the sanitizers watch).
        for (uint32_t cut = 0; cut < size; ++cut) {
            std::vector<uint8_t> part(link, link + cut);
            ReadShellLinkTarget(part.data(), cut, target, 1024);
        }
        EXPECT_FALSE(ReadShellLinkTarget(link, size, target, 8)) << "a target longer than the buffer";
    }
    // LinkInfo offsets far beyond the bytes, the Unicode one wrapping round past 4 GiB.
    for (uint32_t field : {16u, 24u, 28u, 32u}) {
        uint8_t link[kShellLinkCapacity];
        uint32_t size = BuildShellLink(u"C:\\Apps\\\x65E5.exe", u"C:\\Apps", kShowCommandShow, link, sizeof link);
        uint32_t info = 0x4C;
        uint32_t huge = 0xFFFFFFFFu - info;
        for (int k = 0; k < 4; ++k) link[info + field + k] = static_cast<uint8_t>(huge >> (8 * k));
        std::vector<uint8_t> exact(link, link + size);
        char16_t target[1024];
        EXPECT_FALSE(ReadShellLinkTarget(exact.data(), size, target, 1024)) << "offset at " << field;
    }
    const uint8_t notALink[16] = {'n', 'o', 't'};
    char16_t target[1024];
    EXPECT_FALSE(ReadShellLinkTarget(notALink, sizeof notALink, target, 1024));
    EXPECT_EQ(u'\0', target[0]);
}

}  // namespace
