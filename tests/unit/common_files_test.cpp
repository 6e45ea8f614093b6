// Files, folders, errors, memory and threads through the POSIX backend, which
// must answer with the same Windows error codes as the real platform.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <thread>

#include "common/files.h"
#include "common/folders.h"
#include "common/find.h"
#include "common/memory.h"
#include "common/path.h"
#include "common/thread.h"
#include "test_support.h"

namespace {

// Answers the error code of a failed open, 0 on success (the file is closed again).
uint32_t OpenCode(const std::u16string& path, uint32_t mode, bool* handleUntouched = nullptr) {
    DiskFile file = 12345;
    uint32_t code = OpenDiskFile(path.c_str(), &file, mode);
    if (handleUntouched) *handleUntouched = file == 12345;
    if (code == 0) CloseDiskFile(file);
    return code;
}

struct OpenCase {
    const char* what;
    std::string path;  // inside the test folder
    uint32_t mode;
    uint32_t expected;
};

TEST(OpenDiskFile, AnswersTheWindowsCodes) {
    test::TempFolder folder;
    ASSERT_TRUE(test::WriteWholeFile(folder.Join("file.txt"), "contents"));
    ASSERT_TRUE(test::WriteWholeFile(folder.Join("readonly.txt"), "keep"));
    ASSERT_EQ(chmod(folder.Join("readonly.txt").c_str(), 0444), 0);
    ASSERT_TRUE(test::MakeFolders(folder.Join("folder")));
    ASSERT_EQ(symlink("file.txt", folder.Join("link.txt").c_str()), 0);
    ASSERT_EQ(symlink("gone.txt", folder.Join("dangling.txt").c_str()), 0);
    const OpenCase cases[] = {
        {"read an existing file", "file.txt", kDiskRead, 0},
        {"read a missing file", "missing.txt", kDiskRead, kErrorFileNotFound},
        {"read in a missing folder", "nofolder/x.txt", kDiskRead, kErrorPathNotFound},
        {"read below a file", "file.txt/x.txt", kDiskRead, kErrorPathNotFound},
        {"read a folder", "folder", kDiskRead, kErrorAccessDenied},
        {"write a new file", "new.txt", kDiskWrite, 0},
        {"write in a missing folder", "nofolder/x.txt", kDiskWrite, kErrorPathNotFound},
        {"write where a folder stands", "folder", kDiskWrite, kErrorAccessDenied},
        {"replace a read-only file", "readonly.txt", kDiskWrite, kErrorAccessDenied},
        {"backslashes as separators", "folder\\..\\file.txt", kDiskRead, 0},
        {"read through a link", "link.txt", kDiskRead, 0},
        {"write through a link", "link.txt", kDiskWrite, kErrorAccessDenied},
        {"write through a dangling link", "dangling.txt", kDiskWrite, kErrorAccessDenied},
    };
    for (const OpenCase& c : cases) {
        SCOPED_TRACE(c.what);
        bool untouched = false;
        EXPECT_EQ(OpenCode(folder.U16(c.path), c.mode, &untouched), c.expected);
        if (c.expected != 0) {
            EXPECT_TRUE(untouched);
        }
    }
    EXPECT_EQ(test::FileText(folder.Join("readonly.txt")), "keep");
    EXPECT_EQ(test::FileText(folder.Join("file.txt")), "contents");
    EXPECT_FALSE(test::PathExists(folder.Join("gone.txt")));
}

TEST(OpenDiskFile, WriteModeEmptiesAnExistingFileAndReadModeReadsIt) {
    test::TempFolder folder;
    const std::string path = folder.Join("data.bin");
    ASSERT_TRUE(test::WriteWholeFile(path, "a much longer old text"));
    DiskFile file = kInvalidDiskFile;
    ASSERT_EQ(OpenDiskFile(folder.U16("data.bin").c_str(), &file, kDiskWrite), 0u);
    EXPECT_EQ(test::FileText(path), "");
    uint32_t written = 0;
    EXPECT_TRUE(WriteDiskFile(file, "new", 3, &written));
    EXPECT_EQ(written, 3u);
    EXPECT_TRUE(SetDiskFileTime(file, 129698928000000000ull));  // 2012-01-01 12:00 UTC
    CloseDiskFile(file);
    EXPECT_EQ(test::FileText(path), "new");
    EXPECT_EQ(test::FileModificationTime(path), 129698928000000000ull);

    ASSERT_EQ(OpenDiskFile(folder.U16("data.bin").c_str(), &file, kDiskRead), 0u);
    EXPECT_EQ(GetDiskFileSize(file), 3u);
    char buffer[8] = {};
    uint32_t got = 0;
    EXPECT_TRUE(SeekDiskFile(file, 1));
    EXPECT_TRUE(ReadDiskFile(file, buffer, sizeof buffer, &got));
    EXPECT_EQ(std::string(buffer, got), "ew");
    EXPECT_TRUE(ReadDiskFile(file, buffer, sizeof buffer, &got));
    EXPECT_EQ(got, 0u);  // end of the file
    CloseDiskFile(file);
    CloseDiskFile(kInvalidDiskFile);  // nothing to close: no effect
}

TEST(WriteDiskFile, AFullDiskAnswers112) {
    DiskFile file = kInvalidDiskFile;
    if (OpenDiskFile(u"/dev/full", &file, kDiskWrite) != 0) GTEST_SKIP() << "/dev/full is not available";
    SetLastErrorCode(0);
    uint32_t written = 99;
    EXPECT_FALSE(WriteDiskFile(file, "x", 1, &written));
    EXPECT_EQ(written, 0u);
    EXPECT_EQ(LastErrorOr(0), kErrorDiskFull);
    CloseDiskFile(file);
}

TEST(ProbePath, FindsFilesAndFoldersWithEitherSeparator) {
    test::TempFolder folder;
    ASSERT_TRUE(test::MakeFolders(folder.Join("sub")));
    ASSERT_TRUE(test::WriteWholeFile(folder.Join("sub/f.txt"), ""));
    ASSERT_EQ(symlink("nowhere", folder.Join("sub/dangling").c_str()), 0);
    struct Case {
        std::u16string path;
        int32_t expected;
    } cases[] = {
        {folder.U16("sub"), 0},           {folder.U16("sub\\f.txt"), 0}, {folder.U16("sub/f.txt"), 0},
        {folder.U16("sub\\g.txt"), -1},   {folder.U16("no\\f.txt"), -1}, {u"", -1},
        {folder.U16("sub\\dangling"), 0},  // the link itself, as Windows reports it
    };
    for (const auto& c : cases) EXPECT_EQ(ProbePath(c.path.c_str()), c.expected) << test::Utf8(c.path);
}

TEST(CreateFolderTree, CreatesMissingParentsAndReportsAsDocumented) {
    test::TempFolder folder;
    ASSERT_TRUE(test::MakeFolders(folder.Join("exists")));
    ASSERT_TRUE(test::WriteWholeFile(folder.Join("file"), "x"));
    struct Case {
        const char* what;
        std::u16string path;
        int32_t expected;
        std::string madeFolder;  // checked when not empty
    } cases[] = {
        {"a folder that exists", folder.U16("exists"), 2, ""},
        {"one new level", folder.U16("one"), 0, "one"},
        {"deep, mixed separators", folder.U16("a\\b/c\\d\\e\\f\\g"), 0, "a/b/c/d/e/f/g"},
        {"below a file", folder.U16("file\\sub\\deeper"), 2, ""},
        {"parents made, the folder itself fails", folder.U16("p\\q\\."), 3, "p/q"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(CreateFolderTree(c.path.c_str()), c.expected);
        if (!c.madeFolder.empty()) {
            EXPECT_TRUE(test::IsFolder(folder.Join(c.madeFolder)));
        }
    }
}

TEST(CreateFolderTree, NeverCreatesARootLevelFolder) {
    // The chain of missing parents reaches a path of fewer than 4 characters.
    const char* root = "/q9";
    if (test::PathExists(root)) GTEST_SKIP() << root << " exists on this machine";
    EXPECT_EQ(CreateFolderTree(u"/q9\\x\\y"), 2);
    EXPECT_FALSE(test::PathExists(root));
    std::error_code ignored;
    std::filesystem::remove_all(root, ignored);  // a faulty run must not leave it behind
}

TEST(DeleteDiskFile, RefusesFoldersAndReadOnlyFiles) {
    test::TempFolder folder;
    ASSERT_TRUE(test::WriteWholeFile(folder.Join("plain.txt"), "x"));
    ASSERT_TRUE(test::WriteWholeFile(folder.Join("readonly.txt"), "x"));
    ASSERT_EQ(chmod(folder.Join("readonly.txt").c_str(), 0444), 0);
    ASSERT_TRUE(test::MakeFolders(folder.Join("folder")));
    struct Case {
        std::string name;
        bool deleted;
        uint32_t error;
    } cases[] = {
        {"plain.txt", true, 0},
        {"readonly.txt", false, kErrorAccessDenied},
        {"folder", false, kErrorAccessDenied},
        {"missing.txt", false, kErrorFileNotFound},
        {"nofolder\\x.txt", false, kErrorPathNotFound},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetLastErrorCode(0);
        EXPECT_EQ(DeleteDiskFile(folder.U16(c.name).c_str()), c.deleted);
        EXPECT_EQ(LastErrorOr(0), c.error);
    }
    EXPECT_FALSE(test::PathExists(folder.Join("plain.txt")));
    EXPECT_TRUE(test::PathExists(folder.Join("readonly.txt")));
}

TEST(MoveDiskFile, RenamesButNeverReplaces) {
    test::TempFolder folder;
    ASSERT_TRUE(test::WriteWholeFile(folder.Join("PSAPI.DLL"), "old"));
    ASSERT_TRUE(test::WriteWholeFile(folder.Join("taken.txt"), "taken"));
    EXPECT_TRUE(MoveDiskFile(folder.U16("PSAPI.DLL").c_str(), folder.U16("PSAPI.OLD").c_str()));
    EXPECT_EQ(test::FileText(folder.Join("PSAPI.OLD")), "old");
    EXPECT_FALSE(test::PathExists(folder.Join("PSAPI.DLL")));

    SetLastErrorCode(0);
    EXPECT_FALSE(MoveDiskFile(folder.U16("PSAPI.OLD").c_str(), folder.U16("taken.txt").c_str()));
    EXPECT_EQ(LastErrorOr(0), kErrorAlreadyExists);
    EXPECT_EQ(test::FileText(folder.Join("taken.txt")), "taken");
    EXPECT_EQ(test::FileText(folder.Join("PSAPI.OLD")), "old");

    SetLastErrorCode(0);
    EXPECT_FALSE(MoveDiskFile(folder.U16("none").c_str(), folder.U16("other").c_str()));
    EXPECT_EQ(LastErrorOr(0), kErrorFileNotFound);
}

std::set<std::string> FindAll(const std::u16string& pattern, uint32_t* error) {
    std::set<std::string> names;
    char16_t name[kPathCapacity];
    SetLastErrorCode(0);
    intptr_t search = FindFirstMatch(pattern.c_str(), name, kPathCapacity);
    if (search == kInvalidDiskFile) {
        *error = LastErrorOr(0);
        return names;
    }
    do names.insert(test::Utf8(name));
    while (FindNextMatch(search, name, kPathCapacity));
    FindCloseMatch(search);
    *error = 0;
    return names;
}

TEST(FindFirstMatch, MatchesPatternsWithoutRegardToCase) {
    test::TempFolder folder;
    for (const char* name : {"German.LNG", "italian.lng", "Help.CHM", "readme.txt", "x.lngx"})
        ASSERT_TRUE(test::WriteWholeFile(folder.Join(name), ""));
    ASSERT_TRUE(test::MakeFolders(folder.Join("Sub.lng")));
    using Names = std::set<std::string>;
    struct Case {
        std::u16string pattern;
        Names expected;
        uint32_t error;
    } cases[] = {
        {folder.U16("*.lng"), {"German.LNG", "italian.lng", "Sub.lng"}, 0},
        {folder.U16("*.LNG"), {"German.LNG", "italian.lng", "Sub.lng"}, 0},
        {folder.U16("help.chm"), {"Help.CHM"}, 0},
        {folder.U16("?ELP.*"), {"Help.CHM"}, 0},
        {folder.U16("*"), {"German.LNG", "italian.lng", "Help.CHM", "readme.txt", "x.lngx", "Sub.lng"}, 0},
        {folder.U16("nothing*"), {}, kErrorFileNotFound},
        {folder.U16("missing\\*.lng"), {}, kErrorPathNotFound},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(test::Utf8(c.pattern));
        uint32_t error = 99;
        EXPECT_EQ(FindAll(c.pattern, &error), c.expected);
        EXPECT_EQ(error, c.error);
    }
    // The folder part may use backslashes, as the installer's paths do.
    std::u16string backslashed = folder.U16() + u"\\*.chm";
    uint32_t error = 99;
    EXPECT_EQ(FindAll(backslashed, &error), (Names{"Help.CHM"}));
}

TEST(Memory, AllocZeroedAndFreeAndClear) {
    EXPECT_EQ(AllocZeroed(0), nullptr);
    uint8_t* block = static_cast<uint8_t*>(AllocZeroed(4096));
    ASSERT_NE(block, nullptr);
    for (int i = 0; i < 4096; ++i) ASSERT_EQ(block[i], 0) << i;
    FreeAndClear(&block);
    EXPECT_EQ(block, nullptr);
    FreeAndClear(&block);  // an empty holder stays empty
    EXPECT_EQ(block, nullptr);
}

TEST(LastErrorOr, AnswersTheFallbackOnlyWithoutAnError) {
    SetLastErrorCode(0);
    EXPECT_EQ(LastErrorOr(5), 5u);
    SetLastErrorCode(183);
    EXPECT_EQ(LastErrorOr(5), 183u);
    // Each thread has its own last error.
    uint32_t seen = 1;
    std::thread other([&] { seen = LastErrorOr(0); });
    other.join();
    EXPECT_EQ(seen, 0u);
}

std::atomic<int> gThreadRuns{0};

uint32_t CountRun(void* argument) {
    gThreadRuns += *static_cast<int*>(argument);
    return 0;
}

TEST(StartThread, RunsTheRoutineWithItsArgument) {
    static int step = 7;
    gThreadRuns = 0;
    EXPECT_NE(StartThread(CountRun, &step), nullptr);
    for (int i = 0; i < 500 && gThreadRuns == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(gThreadRuns, 7);
}

}  // namespace
