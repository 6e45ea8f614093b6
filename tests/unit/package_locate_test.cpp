// The signature search over the installer's own file.
#include <gtest/gtest.h>

#include "common/files.h"
#include "package/package_run.h"
#include "test_support.h"

namespace {

const uint32_t kBlockEnd = kSearchStart + kSearchBlock;  // first offset of the second block

struct LocateCase {
    const char* what;
    uint32_t fileSize;
    std::vector<uint32_t> signatures;  // offsets of signature copies in a file of zeros
    uint32_t expected;                 // offset behind the signature found, 0 for none
};

uint32_t Locate(const test::TempFolder& folder, const LocateCase& c) {
    std::string bytes(c.fileSize, '\0');
    for (uint32_t at : c.signatures)
        for (uint32_t k = 0; k < 4 && at + k < c.fileSize; ++k) bytes[at + k] = static_cast<char>(kPackageSignature[k]);
    EXPECT_TRUE(test::WriteWholeFile(folder.Join("setup.exe"), bytes));
    DiskFile file = kInvalidDiskFile;
    EXPECT_EQ(0u, OpenDiskFile(folder.U16("setup.exe").c_str(), &file, kDiskRead));
    uint32_t found = FindPackageStart(file, GetDiskFileSize(file));
    CloseDiskFile(file);
    return found;
}

TEST(PackageLocate, FindsTheFirstSignatureAtOrBeyondTheSearchStart) {
    const LocateCase cases[] = {
        {"at the search start", 100000, {kSearchStart}, kSearchStart + 4},
        {"inside the first block", 100000, {kSearchStart + 100}, kSearchStart + 104},
        {"in the last four bytes of a block", 100000, {kBlockEnd - 4}, kBlockEnd},
        {"straddling two blocks by one byte", 100000, {kBlockEnd - 3}, kBlockEnd + 1},
        {"straddling two blocks by two bytes", 100000, {kBlockEnd - 2}, kBlockEnd + 2},
        {"straddling two blocks by three bytes", 100000, {kBlockEnd - 1}, kBlockEnd + 3},
        {"at the start of the second block", 100000, {kBlockEnd}, kBlockEnd + 4},
        {"in the final short block", kSearchStart + 3 * kSearchBlock + 100,
         {kSearchStart + 3 * kSearchBlock + 90}, kSearchStart + 3 * kSearchBlock + 94},
        {"ending the file", kSearchStart + 3 * kSearchBlock + 100, {kSearchStart + 3 * kSearchBlock + 96},
         kSearchStart + 3 * kSearchBlock + 100},
        {"the first of two", 120000, {kSearchStart + 5000, kSearchStart + 9000}, kSearchStart + 5004},
        {"below the start only", 120000, {100, 89000}, 0},
        {"below the start, then beyond", 120000, {100, kSearchStart + 20}, kSearchStart + 24},
        {"crossing the search start", 120000, {kSearchStart - 2}, 0},
        {"ending just before the search start", 120000, {kSearchStart - 4}, 0},
        {"cut by the end of the file", kSearchStart + 10, {kSearchStart + 8}, 0},
        {"none at all", 200000, {}, 0},
        {"an empty file", 0, {}, 0},
        {"a file of exactly the search start", kSearchStart, {}, 0},
        {"a short file with a signature", 5000, {10}, 0},
    };
    test::TempFolder folder;
    for (const LocateCase& c : cases) EXPECT_EQ(c.expected, Locate(folder, c)) << c.what;
}

}  // namespace
