// The list of installed files: what a list says, and every way a list is
// refused, so that a damaged list never removes anything.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"
#include "uninstall/file_list.h"
#include "uninstall/uninstall_texts.h"

namespace {

std::string Header(const std::string& version = kListVersionLine) {
    return version + "\r\nproduct\tSample Notes\r\ncode\tSNO\r\nclass\tNotesWindow\r\nmain\tNotes.exe\r\n";
}

const char kTwoFiles[] = "file\t5\tcbf43926\tNotes.exe\nfile\t0\t00000000\tempty.txt\r\nend\t2\r\n";

TEST(UninstallList, ChecksumIsTheCrc32OfZipAndPng) {
    EXPECT_EQ(0xCBF43926u, UpdateChecksum(0, "123456789", 9));
    uint32_t pieces = UpdateChecksum(UpdateChecksum(0, "1234", 4), "56789", 5);
    EXPECT_EQ(0xCBF43926u, pieces);
    EXPECT_EQ(0u, UpdateChecksum(0, "", 0));
}

TEST(UninstallList, ReadsWhatItsWritersWrite) {
    char line[kListLineCapacity];
    std::string text;
    ASSERT_GT(FormatListHeader("Sample Notes", "SNO", "", "Notes.exe", line, sizeof line), 0);
    text += line;
    ASSERT_GT(FormatListedFile(18446744073709551615ull, 0x0123abcdu, "a b\xE4.txt", line, sizeof line), 0);
    text += line;
    ASSERT_GT(FormatListedFile(7, 0xFFFFFFFFu, "a b\xE4.txt", line, sizeof line), 0);
    text += line;
    ASSERT_GT(FormatListEnd(2, line, sizeof line), 0);
    text += line;
    UninstallList list;
    ASSERT_EQ(kListRead, ParseUninstallList(&text[0], static_cast<uint32_t>(text.size()), &list));
    EXPECT_STREQ("Sample Notes", list.productName);
    EXPECT_STREQ("SNO", list.productCode);
    EXPECT_STREQ("", list.windowClass);
    EXPECT_STREQ("Notes.exe", list.mainProgram);
    ASSERT_EQ(2, list.fileCount);
    EXPECT_EQ(18446744073709551615ull, list.files[0].size);
    EXPECT_EQ(0x0123abcdu, list.files[0].checksum);
    EXPECT_STREQ("a b\xE4.txt", list.files[0].name);
    EXPECT_EQ(0xFFFFFFFFu, list.files[1].checksum);
    FreeUninstallList(&list);
}

TEST(UninstallList, WritersRefuseWhatWouldBreakALine) {
    char line[kListLineCapacity];
    EXPECT_EQ(0, FormatListHeader("Tab\there", "", "", "", line, sizeof line));
    EXPECT_EQ(0, FormatListHeader("P", "", "", "line\nbreak", line, sizeof line));
    EXPECT_EQ(0, FormatListedFile(1, 1, "", line, sizeof line));
    EXPECT_EQ(0, FormatListedFile(1, 1, "cr\r.txt", line, sizeof line));
    EXPECT_EQ(0, FormatListedFile(1, 1, "name.txt", line, 12));  // does not fit
}

TEST(UninstallList, EveryDamageIsRefused) {
    static const char kZeroByteLine[] = "file\t5\tcbf43926\tN\0x\r\nend\t1\r\n";
    struct Case {
        const char* what;
        std::string text;
        ListStatus expected;
    } cases[] = {
        {"sound", Header() + kTwoFiles, kListRead},
        {"no files", Header() + "end\t0\r\n", kListRead},
        {"a later version", Header("Setup uninstall list 2") + kTwoFiles, kListUnknownVersion},
        {"no version line", "product\tX\r\n", kListDamaged},
        {"empty", "", kListDamaged},
        {"cut in the header", Header().substr(0, 40), kListDamaged},
        {"cut in the version line", "Setup uninsta", kListDamaged},
        {"no end line", Header() + "file\t5\tcbf43926\tNotes.exe\r\n", kListDamaged},
        {"end line cut off", Header() + "file\t5\tcbf43926\tNotes.exe\r\nend\t1", kListDamaged},
        {"end counts wrong", Header() + "file\t5\tcbf43926\tNotes.exe\r\nend\t2\r\n", kListDamaged},
        {"lines after the end", Header() + "end\t0\r\nfile\t5\tcbf43926\tNotes.exe\r\n", kListDamaged},
        {"empty product", "Setup uninstall list 1\r\nproduct\t\r\ncode\t\r\nclass\t\r\nmain\t\r\nend\t0\r\n",
         kListDamaged},
        {"product too long",
         "Setup uninstall list 1\r\nproduct\t" + std::string(32, 'P') + "\r\ncode\t\r\nclass\t\r\nmain\t\r\nend\t0\r\n",
         kListDamaged},
        {"code too long", "Setup uninstall list 1\r\nproduct\tP\r\ncode\tABCD\r\nclass\t\r\nmain\t\r\nend\t0\r\n",
         kListDamaged},
        {"fields out of order", "Setup uninstall list 1\r\ncode\t\r\nproduct\tP\r\nclass\t\r\nmain\t\r\nend\t0\r\n",
         kListDamaged},
        {"upper-case checksum", Header() + "file\t5\tCBF43926\tNotes.exe\r\nend\t1\r\n", kListDamaged},
        {"short checksum", Header() + "file\t5\tcbf4392\tNotes.exe\r\nend\t1\r\n", kListDamaged},
        {"size with a sign", Header() + "file\t-5\tcbf43926\tNotes.exe\r\nend\t1\r\n", kListDamaged},
        {"size past 64 bits", Header() + "file\t18446744073709551616\tcbf43926\tN.exe\r\nend\t1\r\n", kListDamaged},
        {"no name", Header() + "file\t5\tcbf43926\t\r\nend\t1\r\n", kListDamaged},
        {"a tab in a name", Header() + "file\t5\tcbf43926\ta\tb\r\nend\t1\r\n", kListDamaged},
        {"a carriage return in a name", Header() + "file\t5\tcbf43926\ta\rb\r\nend\t1\r\n", kListDamaged},
        {"a tab in the product", "Setup uninstall list 1\r\nproduct\tP\tQ\r\ncode\t\r\nclass\t\r\nmain\t\r\nend\t0\r\n",
         kListDamaged},
        {"unknown line", Header() + "folder\tdocs\r\nend\t0\r\n", kListDamaged},
        {"a zero byte", Header() + std::string(kZeroByteLine, sizeof kZeroByteLine - 1), kListDamaged},
    };
    for (Case& c : cases) {
        // A block of exactly the text's size, so that the sanitizers see a write past its end.
        std::vector<char> block(c.text.begin(), c.text.end());
        UninstallList list;
        EXPECT_EQ(c.expected, ParseUninstallList(block.data(), static_cast<uint32_t>(block.size()), &list))
            << c.what;
        if (c.expected != kListRead) {
            EXPECT_EQ(0, list.fileCount) << c.what;
        }
        FreeUninstallList(&list);
    }
}

TEST(UninstallList, LoadsFromAFileAndTellsAMissingOne) {
    test::TempFolder folder;
    UninstallList list;
    EXPECT_EQ(kListMissing, LoadUninstallList(folder.U16("UnInst.lst").c_str(), &list));
    ASSERT_TRUE(test::WriteWholeFile(folder.Join("UnInst.lst"), Header() + kTwoFiles));
    ASSERT_EQ(kListRead, LoadUninstallList(folder.U16("UnInst.lst").c_str(), &list));
    ASSERT_EQ(2, list.fileCount);
    EXPECT_STREQ("empty.txt", list.files[1].name);
    FreeUninstallList(&list);
    ASSERT_TRUE(test::WriteWholeFile(folder.Join("UnInst.lst"), ""));
    EXPECT_EQ(kListDamaged, LoadUninstallList(folder.U16("UnInst.lst").c_str(), &list));
}

}  // namespace

namespace {

TEST(UninstallTexts, EachLanguageHasItsTextsAndTheRestEnglish) {
    struct Case {
        const char* code;
        int16_t id;
        const char16_t* expected;
    } cases[] = {
        {"US", kTextUninstallQuestion, u"Remove Quill from C:\\Quill?"},
        {"DE", kTextUninstallQuestion, u"Quill aus C:\\Quill entfernen?"},
        {"it", kTextUninstallQuestion, u"Rimuovere Quill da C:\\Quill?"},
        {"FR", kTextUninstallDone, u"Quill has been removed."},
        {"DE", kTextUninstallDone, u"Quill wurde entfernt."},
        {"IT", kTextUninstallDone, u"Quill \u00e8 stato rimosso."},
        {"DE", kTextReasonChanged, u"seit der Installation ge\u00e4ndert"},
        {"IT", kTextReasonInUse, u"in uso, verr\u00e0 rimosso al riavvio"},
        {"DE", kTextListDamaged,
         u"Die Liste der installierten Dateien fehlt oder ist besch\u00e4digt. Es wurde nichts entfernt."},
        {"IT", kTextUninstallTitle, u"Disinstallazione"},
        {"", kTextUninstallKept, u"These files were kept:"},
    };
    for (const Case& c : cases) {
        char16_t text[512];
        FormatUninstallText(UninstallTextTable(c.code), c.id, u"Quill", u"C:\\Quill", text, 512);
        EXPECT_EQ(std::u16string(c.expected), text) << c.code << " " << c.id;
    }
    char16_t cut[8];
    FormatUninstallText(UninstallTextTable("US"), kTextUninstallDone, u"Quill Writer", nullptr, cut, 8);
    EXPECT_EQ(std::u16string(u"Quill W"), cut);
}

}  // namespace
