// Path pieces: separators, joining, parents and file-name positions.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>

#include "common/path.h"
#include "common/native_path.h"
#include "test_support.h"

namespace {

struct Path {
    explicit Path(const std::u16string& text) {
        std::fill(places, places + kPathCapacity, u'#');
        std::copy(text.begin(), text.end(), places);
        places[text.size()] = 0;
    }
    std::u16string Text() const { return std::u16string(places); }
    char16_t places[kPathCapacity];
};

TEST(AddTrailingSeparator, AddsABackslashUnlessOneOfBothSeparatorsEndsThePath) {
    struct Case {
        std::u16string path;
        int32_t capacity;
        std::u16string expected;
    } cases[] = {
        {u"C:\\Tool", 32, u"C:\\Tool\\"}, {u"C:\\Tool\\", 32, u"C:\\Tool\\"}, {u"C:\\Tool/", 32, u"C:\\Tool/"},
        {u"", 32, u""},                   {u"abc", 4, u"abc"},               {u"abc", 5, u"abc\\"},
    };
    for (const auto& c : cases) {
        Path path(c.path);
        AddTrailingSeparator(path.places, c.capacity);
        EXPECT_EQ(path.Text(), c.expected) << test::Utf8(c.path);
    }
}

TEST(AppendPathPart, JoinsWithOneSeparatorAtTheSeam) {
    struct Case {
        const char16_t* part;
        std::u16string path;
        int32_t capacity;
        std::u16string expected;
        PathResult result;
    } cases[] = {
        {u"\\bin", u"C:\\Tool", 64, u"C:\\Tool\\bin", kPathFits},
        {u"bin", u"C:\\Tool\\", 64, u"C:\\Tool\\bin", kPathFits},
        {u"\\\\bin", u"C:\\Tool", 64, u"C:\\Tool\\\\bin", kPathFits},  // only one separator is skipped
        {u"bin", u"", 64, u"bin", kPathFits},
        {u"/bin", u"C:/Tool/", 64, u"C:/Tool/bin", kPathFits},
        {u"bin", u"C:\\Tool", 64, u"C:\\Tool\\bin", kPathFits},
        {u"", u"C:\\Tool", 64, u"C:\\Tool", kPathFits},
        {nullptr, u"C:\\Tool", 64, u"C:\\Tool", kPathFits},
        {u"binary", u"C:\\T", 9, u"C:\\T\\bin", kPathCut},
        {u"bin", u"C:\\Tool", 8, u"C:\\Tool", kPathNoRoom},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(test::Utf8(c.path) + " + " + test::Utf8(c.part));
        Path path(c.path);
        EXPECT_EQ(AppendPathPart(c.part, path.places, c.capacity), c.result);
        EXPECT_EQ(path.Text(), c.expected);
    }
}

TEST(CutToParentFolder, KeepsDriveRootsAndUncShares) {
    struct Case {
        std::u16string path;
        std::u16string expected;
    } cases[] = {
        {u"C:\\Programs\\Tool", u"C:\\Programs"},
        {u"C:\\Tool", u"C:\\"},
        {u"C:/Tool", u"C:/"},
        {u"C:\\", u"C:\\"},
        {u"C:\\Programs\\", u"C:\\Programs"},
        {u"C:", u""},
        {u"setup.exe", u""},
        {u"", u""},
        {u"\\\\server\\share\\dir", u"\\\\server\\share"},
        {u"\\\\server\\share", u"\\\\server"},
        {u"a/b\\c", u"a/b"},
        {u"ab\\c", u"ab"},  // only a drive letter's colon keeps the separator
        {u"/usr/bin", u"/usr"},
    };
    for (const auto& c : cases) {
        Path path(c.path);
        CutToParentFolder(path.places);
        EXPECT_EQ(path.Text(), c.expected) << test::Utf8(c.path);
    }
}

TEST(FileNamePosition, PointsBehindTheLastSeparator) {
    struct Case {
        const char16_t* path;
        int32_t expected;
    } cases[] = {
        {u"C:\\Tool\\setup.exe", 8}, {u"setup.exe", 0}, {u"C:\\Tool\\", 8}, {u"a/b\\c", 4}, {u"", 0},
        {u"\\x", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(FileNamePosition(c.path), c.expected) << test::Utf8(c.path);
}

TEST(NormalizeFullPath, GivesTheAbsoluteFormWithDotsResolved) {
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    const std::u16string here = test::U16(cwd);
    struct Case {
        std::u16string path;
        std::u16string expected;
    } cases[] = {
        {u"/a/b/../c/./d", u"/a/c/d"},
        {u"\\a\\b\\..\\c", u"/a/c"},
        {u"/a/b/", u"/a/b"},
        {u"/..", u"/"},
        {u"x\\y", here == u"/" ? u"/x/y" : here + u"/x/y"},
    };
    for (const auto& c : cases) {
        Path path(c.path);
        NormalizeFullPath(path.places);
        EXPECT_EQ(path.Text(), c.expected) << test::Utf8(c.path);
    }
}

TEST(NativePath, TurnsBothSeparatorsIntoSlashesAndEncodesUtf8) {
    char native[kNativePathCapacity];
    ASSERT_TRUE(ToNativePath(u"C:\\dir/\u00E4\u20AC\\\U0001F600", native));
    EXPECT_STREQ(native, "C:/dir/\xC3\xA4\xE2\x82\xAC/\xF0\x9F\x98\x80");
    char16_t back[64];
    FromNativeText("a/\xC3\xA4\xF0\x9F\x98\x80\xFF", back, 64);
    EXPECT_EQ(std::u16string(back), u"a/\u00E4\U0001F600\uFFFD");
    std::u16string tooLong(kNativePathCapacity, u'a');
    EXPECT_FALSE(ToNativePath(tooLong.c_str(), native));
}

TEST(MatchesPattern, MatchesLikeTheSystemFindFunctions) {
    struct Case {
        const char16_t* name;
        const char16_t* pattern;
        bool expected;
    } cases[] = {
        {u"German.LNG", u"*.lng", true},   {u"german.lng", u"*.LNG", true},  {u"German.LNGX", u"*.LNG", false},
        {u"Help.chm", u"?ELP.CHM", true},  {u"elp.chm", u"?ELP.CHM", false}, {u"README", u"*.*", true},
        {u"a.b.c", u"*.c", true},          {u"abc", u"*", true},             {u"", u"*", true},
        {u"\u00E4.lng", u"\u00C4.LNG", false},
        {u"Tool_DE.lng", u"Tool_??.lng", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(MatchesPattern(c.name, c.pattern), c.expected) << test::Utf8(c.name) << " ~ " << test::Utf8(c.pattern);
}

}  // namespace
