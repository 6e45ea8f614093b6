// The setup's command line: every switch, letter case, /D= with spaces and
// last, and each malformed form.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "installer/switches.h"
#include "test_support.h"

namespace {

std::string Codes(const SetupSwitches& switches) {
    std::string codes;
    for (int32_t i = 0; i < switches.languageCount; ++i) {
        char letters[8];
        LanguageCodeText(switches.languages[i], letters);
        codes += (codes.empty() ? "" : ",") + std::string(letters);
    }
    return switches.hasLanguages ? "[" + codes + "]" : "-";
}

// The parsed switches as one line: S ? M D Q flags, the languages, folder and log.
std::string Summary(const SetupSwitches& s) {
    std::string flags;
    flags += s.silent ? 'S' : '.';
    flags += s.help ? '?' : '.';
    flags += s.noStartMenu ? 'M' : '.';
    flags += s.noDesktop ? 'D' : '.';
    flags += s.noQuickLaunch ? 'Q' : '.';
    return flags + " " + Codes(s) + " dest=" + test::Utf8(s.destination) + " log=" + test::Utf8(s.logPath);
}

TEST(SetupSwitches, EverySwitchInAnyCaseAndEachMalformedForm) {
    const struct {
        const char16_t* line;
        bool understood;
        const char* expected;  // Summary() when understood, else the problem
    } cases[] = {
        {u"", true, "..... - dest= log="},
        {u"   \t ", true, "..... - dest= log="},
        {u"/S", true, "S.... - dest= log="},
        {u"/s /nostartmenu /NoDesktop /NOQUICKLAUNCH", true, "S.MDQ - dest= log="},
        {u"/?", true, ".?... - dest= log="},
        {u"/help", true, ".?... - dest= log="},
        {u"/LANG=us,De,it", true, "..... [US,DE,IT] dest= log="},
        {u"/lang=ABCD", true, "..... [ABCD] dest= log="},
        {u"/LOG=C:\\setup.log /S", true, "S.... - dest= log=C:\\setup.log"},
        {u"\"/LOG=C:\\a b\\setup.log\"", true, "..... - dest= log=C:\\a b\\setup.log"},
        {u"/LOG=\"C:\\a b.log\"", true, "..... - dest= log=C:\\a b.log"},
        {u"/S /D=C:\\Some Folder\\With Spaces", true, "S.... - dest=C:\\Some Folder\\With Spaces log="},
        {u"/d=C:\\Trailing Blanks   ", true, "..... - dest=C:\\Trailing Blanks log="},
        {u"/D=\\\\server\\share\\Notes", true, "..... - dest=\\\\server\\share\\Notes log="},
        {u"/D=C:\\Tools/S", true, "..... - dest=C:\\Tools/S log="},
        // Wrong usage.
        {u"/BOGUS", false, "Not understood: /BOGUS"},
        {u"/S /SILENT", false, "Not understood: /SILENT"},
        {u"S", false, "Not understood: S"},
        {u"/S=1", false, "Not understood: /S=1"},
        {u"/LANG", false, "Not understood: /LANG"},
        {u"/LANG=", false, "Not understood: /LANG="},
        {u"/LANG=US,,DE", false, "Not understood: /LANG=US,,DE"},
        {u"/LANG=US,", false, "Not understood: /LANG=US,"},
        {u"/LANG=ENGLISH", false, "Not understood: /LANG=ENGLISH"},
        {u"/LANG=U?", false, "Not understood: /LANG=U?"},
        {u"/LOG=", false, "Not understood: /LOG="},
        {u"/D=C:\\Folder /S", false, "Not understood (/D= comes last): /D=C:\\Folder /S"},
        {u"/D=", false, "Not understood: /D="},
        {u"/D=Relative\\Folder", false, "Not understood: /D=Relative\\Folder"},
        {u"/D=\"C:\\Quoted\"", false, "Not understood: /D=\"C:\\Quoted\""},
        {u"/D=C:", false, "Not understood: /D=C:"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(test::Utf8(c.line));
        SetupSwitches switches;
        std::memset(&switches, 0, sizeof switches);
        ASSERT_EQ(ParseSetupSwitches(c.line, &switches), c.understood);
        EXPECT_EQ(c.understood ? Summary(switches) : test::Utf8(switches.problem), c.expected);
    }
}

TEST(SetupSwitches, ADestinationPastTheDialogsLimitIsWrongUsage) {
    for (size_t length : {1021u, 1022u, 5000u}) {
        std::u16string line = u"/D=C:\\" + std::u16string(length - 3, u'x');
        SetupSwitches switches;
        std::memset(&switches, 0, sizeof switches);
        EXPECT_EQ(ParseSetupSwitches(line.c_str(), &switches), length <= 1021) << length;
    }
}

TEST(SetupSwitches, TheUsageNamesTheProblemFirst) {
    SetupSwitches switches;
    std::memset(&switches, 0, sizeof switches);
    ASSERT_FALSE(ParseSetupSwitches(u"/X", &switches));
    char16_t text[2400];
    SetupUsageText(&switches, text, 2400);
    std::string usage = test::Utf8(text);
    EXPECT_EQ(usage.rfind("Not understood: /X\n\nSetup.exe [/S]", 0), 0u) << usage;
    EXPECT_NE(usage.find("536870913"), std::string::npos);
}

}  // namespace
