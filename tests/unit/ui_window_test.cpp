// The control layer over the in-memory dialog: controls by id, narrow and wide
// texts, check boxes, visibility, list primitives and the process-wide services.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/dialog_model.h"
#include "ui/window.h"
#include "test_support.h"
#include "ui_test_support.h"

using test::Utf8;

namespace {

TEST(ControlLayer, ControlsAreFoundByIdAndMissingOnesAreQuiet) {
    std::unique_ptr<DialogModel> model = CreateMainDialogModel(false);
    Window control;
    EXPECT_TRUE(GetControl(&model->window, kIdStatus, &control));
    EXPECT_FALSE(GetControl(&control, kIdStatus, &control));  // a control has no children
    EXPECT_FALSE(IsWindowPresent(&control));
    EXPECT_FALSE(GetControl(&model->window, kIdLanguageList, &control));
    EXPECT_FALSE(GetControl(nullptr, kIdStatus, &control));
    char16_t text[4] = u"###";
    GetItemText(&model->window, 4321, text, 4);
    EXPECT_EQ(text[0], 0);
    CheckItem(&model->window, 4321, true);
    EXPECT_FALSE(IsItemChecked(&model->window, 4321));
    EXPECT_FALSE(IsItemChecked(nullptr, kIdDesktop));
    EXPECT_EQ(ListInsertRow(nullptr, 0, u"x", 1), -1);
    EXPECT_EQ(Utf8(FindModelControl(model.get(), kIdBrowse)->text), "...");
}

struct ReadCase {
    int32_t capacity;
    std::u16string expected;
};

TEST(ControlLayer, ReadsAreCutToTheCapacityAndAlwaysTerminated) {
    std::unique_ptr<DialogModel> model = CreateMainDialogModel();
    SetItemText(&model->window, kIdDestination, u"C:\\Programs");
    SetWindowCaption(&model->window, u"C:\\Programs");
    const ReadCase cases[] = {{12, u"C:\\Programs"}, {11, u"C:\\Program"}, {2, u"C"}, {1, u""}};
    for (const ReadCase& c : cases) {
        SCOPED_TRACE(c.capacity);
        std::u16string item(static_cast<size_t>(c.capacity) + 2, u'#');
        GetItemText(&model->window, kIdDestination, &item[0], c.capacity);
        EXPECT_EQ(Utf8(item.c_str()), Utf8(c.expected));
        std::string narrow(static_cast<size_t>(c.capacity) + 2, '#');
        GetWindowCaptionA(&model->window, &narrow[0], c.capacity);
        EXPECT_EQ(std::string(narrow.c_str()), Utf8(c.expected));
    }
}

TEST(ControlLayer, NarrowTextsAreWindows1252) {
    std::unique_ptr<DialogModel> model = CreateMainDialogModel();
    std::vector<std::string> seen;
    model->onTextChanged = [&seen](const ModelControl& control) { seen.push_back(Utf8(control.text)); };
    SetItemTextA(&model->window, kIdTitle, "Caf\xE9 \x80 2.0");
    ModelControl* title = FindModelControl(model.get(), kIdTitle);
    EXPECT_EQ(Utf8(title->text), "Caf\xC3\xA9 \xE2\x82\xAC 2.0");
    EXPECT_EQ(title->textA, "Caf\xE9 \x80 2.0");
    SetItemText(&model->window, kIdTitle, u"\u00FCber");
    EXPECT_EQ(title->textA, "\xFC" "ber");
    EXPECT_EQ(seen, (std::vector<std::string>{"Caf\xC3\xA9 \xE2\x82\xAC 2.0", "\xC3\xBC" "ber"}));
    SetWindowCaptionA(&model->window, "Setup - Caf\xE9");
    EXPECT_EQ(Utf8(model->caption), "Setup - Caf\xC3\xA9");
}

TEST(ControlLayer, CheckBoxesVisibilityAndTitleFont) {
    std::unique_ptr<DialogModel> model = CreateMainDialogModel();
    CheckItem(&model->window, kIdStartMenu, true);
    CheckItem(&model->window, kIdDesktop, true);
    CheckItem(&model->window, kIdDesktop, false);
    EXPECT_TRUE(IsItemChecked(&model->window, kIdStartMenu));
    EXPECT_FALSE(IsItemChecked(&model->window, kIdDesktop));
    HideItem(&model->window, kIdQuickLaunch);
    EXPECT_FALSE(FindModelControl(model.get(), kIdQuickLaunch)->visible);
    EXPECT_TRUE(FindModelControl(model.get(), kIdDesktop)->visible);
    SetTitleFont(&model->window, kIdTitle);
    EXPECT_TRUE(FindModelControl(model.get(), kIdTitle)->titleFont);
}

TEST(ControlLayer, ListInsertAnswersWhereTheRowLandedAndStartsUnticked) {
    std::unique_ptr<DialogModel> model = CreateMainDialogModel();
    Window list = FindModelControl(model.get(), kIdLanguageList)->window;
    EXPECT_EQ(ListInsertRow(&list, 0, u"Suomi", 1), 0);
    EXPECT_EQ(ListGetState(&list, 0, 0xF000), 0u);  // no check boxes yet
    ListSetExtendedStyle(&list, 0x424);
    EXPECT_EQ(ListGetState(&list, 0, 0xF000), 0x1000u);  // they appear unticked
    const std::u16string texts[] = {u"Magyar", u"Dansk", u"english", u"English"};
    const int32_t landed[] = {0, 0, 1, 2};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ListInsertRow(&list, 99, texts[i].c_str(), 2u + i), landed[i]);
    std::vector<uint32_t> datas;
    for (int32_t i = 0; i < ListRowCount(&list); ++i) {
        char16_t text[32];
        uint32_t data = 0;
        ASSERT_TRUE(ListGetRow(&list, i, text, 32, &data));
        datas.push_back(data);
        EXPECT_EQ(ListGetState(&list, i, 0xF000), 0x1000u);
    }
    EXPECT_EQ(datas, (std::vector<uint32_t>{3, 4, 5, 2, 1}));  // Dansk english English Magyar Suomi
    EXPECT_EQ(ListFindData(&list, 5), 2);
}

TEST(ControlLayer, CurrentDialogFollowsTheModelsLife) {
    std::unique_ptr<DialogModel> first = CreateMainDialogModel();
    std::unique_ptr<DialogModel> second = CreateMainDialogModel();
    EXPECT_EQ(CurrentDialog()->handle, second.get());
    first.reset();  // not the current one: nothing changes
    EXPECT_EQ(CurrentDialog()->handle, second.get());
    second.reset();
    EXPECT_EQ(CurrentDialog(), nullptr);
}

TEST(ProcessServices, LanguageScrollBarAndCursor) {
    EXPECT_EQ(SystemDefaultLanguage(), 1033);
    SetDefaultLanguageOverride(1040);
    EXPECT_EQ(SystemDefaultLanguage(), 1040);
    SetDefaultLanguageOverride(0);
    EXPECT_EQ(VerticalScrollBarWidth(), 17);
    void* previous = ShowWaitCursor();
    RestoreCursor(ShowWaitCursor());
    EXPECT_TRUE(IsWaitCursorShown());
    RestoreCursor(previous);
    EXPECT_FALSE(IsWaitCursorShown());
}

}  // namespace
