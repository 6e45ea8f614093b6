// Message boxes: titles, texts by id, and the system's error texts.
#include <gtest/gtest.h>

#include <string>

#include "common/files.h"
#include "model/dialog_model.h"
#include "ui/texts.h"
#include "test_support.h"
#include "ui_test_support.h"

using uitest::StateScope;
using test::Utf8;

namespace {

struct TitleCase {
    std::u16string titlePath;
    std::u16string title;
};

TEST(ShowMessage, TitleIsTheFileNamePartOrTheWholePath) {
    const TitleCase cases[] = {
        {u"C:\\Downloads\\setup.exe", u"setup.exe"},
        {u"C:\\Downloads\\", u"C:\\Downloads\\"},
        {u"Setup Tool 2.0", u"Setup Tool 2.0"},
        {u"Setup Tool 1/2 \\ Pro", u" Pro"},
        {u"", u""},
    };
    for (const TitleCase& c : cases) {
        SCOPED_TRACE(Utf8(c.titlePath));
        std::unique_ptr<DialogModel> model = CreateMainDialogModel();
        EXPECT_EQ(ShowMessage(&model->window, u"Text", c.titlePath.c_str(), kMbIconInformation), kIdOkResult);
        ASSERT_EQ(model->messages.size(), 1u);
        EXPECT_EQ(Utf8(model->messages[0].title), Utf8(c.title));
        EXPECT_EQ(Utf8(model->messages[0].text), "Text");
        EXPECT_EQ(model->messages[0].style, kMbIconInformation);
    }
}

TEST(ShowMessage, EmptyTextShowsNothingAndNoOwnerMeansTheCurrentDialog) {
    std::unique_ptr<DialogModel> model = CreateMainDialogModel();
    EXPECT_EQ(ShowMessage(&model->window, u"", u"title", kMbIconError), kIdCancelResult);
    EXPECT_EQ(ShowMessage(&model->window, nullptr, u"title", kMbIconError), kIdCancelResult);
    EXPECT_TRUE(model->messages.empty());
    Window list;
    ASSERT_TRUE(GetControl(&model->window, kIdLanguageList, &list));
    ShowMessage(nullptr, u"one", nullptr, 0);
    ShowMessage(&list, u"two", u"t", 0);  // a control's box belongs to its dialog
    ASSERT_EQ(model->messages.size(), 2u);
    EXPECT_EQ(Utf8(model->messages[0].text), "one");
    EXPECT_EQ(Utf8(model->messages[0].title), "");
    EXPECT_EQ(Utf8(model->messages[1].text), "two");
}

TEST(ShowMessage, WithNoDialogAtAllTheBoxGoesToStandardError) {
    SetCurrentDialog(nullptr);
    testing::internal::CaptureStderr();
    int32_t answer = ShowMessage(nullptr, u"Die Datei ist besch\u00E4digt", u"C:\\x\\setup.exe", kMbIconError);
    std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(answer, kIdOkResult);
    EXPECT_EQ(printed, "error: setup.exe: Die Datei ist besch\xC3\xA4" "digt\n");
}

struct TextMessageCase {
    uint16_t languageId;
    int16_t id;
    int32_t answer;
    const char* text;  // UTF-8; empty = no box
};

TEST(ShowTextMessage, LooksTheTextUpInTheCurrentTable) {
    const TextMessageCase cases[] = {
        {1033, kTextBrokenFile, kIdOkResult, "Broken file, please download again."},
        {1031, kTextBrokenFile, kIdOkResult, "Die Datei ist besch\xC3\xA4" "digt, bitte nochmal herunterladen!"},
        {1040, kTextBrokenFile, kIdOkResult, "File danneggiato, esegui di nuovo il download."},
        {1033, 4711, kIdCancelResult, ""},
        {1033, 0, kIdCancelResult, ""},
    };
    for (const TextMessageCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.languageId) + "/" + std::to_string(c.id));
        StateScope scope(c.languageId);
        std::unique_ptr<DialogModel> model = CreateMainDialogModel();
        EXPECT_EQ(ShowTextMessage(&model->window, c.id, u"D:\\in\\Setup.exe", kMbIconError), c.answer);
        if (!c.text[0]) {
            EXPECT_TRUE(model->messages.empty());
            continue;
        }
        ASSERT_EQ(model->messages.size(), 1u);
        EXPECT_EQ(Utf8(model->messages[0].text), c.text);
        EXPECT_EQ(Utf8(model->messages[0].title), "Setup.exe");
        EXPECT_EQ(model->messages[0].style, kMbIconError);
    }
}

struct ErrorTextCase {
    uint32_t code;
    int32_t capacity;
    std::u16string expected;
};

TEST(GetSystemErrorText, KeepsAtMostCapacityLessTwoCharacters) {
    const ErrorTextCase cases[] = {
        {5, 512, u"Access is denied.\r\n"},
        {112, 512, u"There is not enough space on the disk.\r\n"},
        {183, 512, u"Cannot create a file when that file already exists.\r\n"},
        {2, 512, u"The system cannot find the file specified.\r\n"},
        {3, 512, u"The system cannot find the path specified.\r\n"},
        {5, 10, u"Access i"},
        {5, 2, u""},
        {5, 1, u""},
        {987654, 512, u""},
    };
    for (const ErrorTextCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.code) + "/" + std::to_string(c.capacity));
        std::u16string buffer(static_cast<size_t>(c.capacity) + 4, u'#');
        GetSystemErrorText(c.code, &buffer[0], c.capacity);
        EXPECT_EQ(Utf8(buffer.c_str()), Utf8(c.expected));
        EXPECT_EQ(buffer[static_cast<size_t>(c.capacity)], u'#');  // nothing past the capacity
    }
}

struct SystemErrorCase {
    const char* name;
    uint32_t code;
    uint32_t lastError;
    const char16_t* titlePath;
    int32_t answer;
    std::u16string text;  // empty: no box
    std::u16string title;
};

TEST(ShowSystemError, ShowsTheSystemTextOfTheCodeOrOfTheLastError) {
    const SystemErrorCase cases[] = {
        {"code given, no title", 5, 0, nullptr, kIdOkResult, u"Access is denied.\r\n", u""},
        {"code given wins over last error", 112, 5, u"C:\\a\\setup.exe", kIdOkResult,
         u"There is not enough space on the disk.\r\n", u"setup.exe"},
        {"code 0 takes the last error", 0, 183, nullptr, kIdOkResult,
         u"Cannot create a file when that file already exists.\r\n", u""},
        {"code 0 without last error", 0, 0, nullptr, 0, u"", u""},
        {"code without system text", 987654, 0, nullptr, kIdCancelResult, u"", u""},
    };
    for (const SystemErrorCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<DialogModel> model = CreateMainDialogModel();
        SetLastErrorCode(c.lastError);
        EXPECT_EQ(ShowSystemError(&model->window, c.code, c.titlePath), c.answer);
        if (c.text.empty()) {
            EXPECT_TRUE(model->messages.empty());
            continue;
        }
        ASSERT_EQ(model->messages.size(), 1u);
        EXPECT_EQ(Utf8(model->messages[0].text), Utf8(c.text));
        EXPECT_EQ(Utf8(model->messages[0].title), Utf8(c.title));
        EXPECT_EQ(model->messages[0].style, kMbIconError);
    }
    SetLastErrorCode(0);
}

TEST(ShowSystemError, CodeZeroAfterAFailedCallShowsThatCallsError) {
    std::unique_ptr<DialogModel> model = CreateMainDialogModel();
    SetLastErrorCode(0);
    DiskFile file = kInvalidDiskFile;
    uint32_t failure = OpenDiskFile(u"/nonexistent-folder-of-the-ui-tests/file.txt", &file, kDiskRead);
    ASSERT_EQ(failure, kErrorPathNotFound);
    EXPECT_EQ(ShowSystemError(&model->window, 0, nullptr), kIdOkResult);
    ASSERT_EQ(model->messages.size(), 1u);
    EXPECT_EQ(Utf8(model->messages[0].text), "The system cannot find the path specified.\r\n");
    SetLastErrorCode(0);
}

}  // namespace
