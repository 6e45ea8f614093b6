// The language list on the in-memory dialog: columns, rows in text order,
// item data, and check boxes one by one and all at once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/dialog_model.h"
#include "ui/language_list.h"
#include "test_support.h"
#include "ui_test_support.h"

using uitest::StateScope;
using test::Utf8;

namespace {

const LanguageCode kCodeDK = 0x4B44;

struct ListFixture : ::testing::Test {
    ListFixture() : scope(1033), model(CreateMainDialogModel()) {
        control = FindModelControl(model.get(), kIdLanguageList);
        list = control->window;
    }
    // As the main dialog sets its list up.
    void SetUpLikeTheDialog() {
        InsertListColumns(&list, kLanguageColumns);
        SetListColumnTexts(&list, kLanguageColumns);
        ListSetExtendedStyle(&list, kListExtendedStyle);
        AddLanguageRow(&list, u"English", kCodeUS);
        AddLanguageRow(&list, u"German", kCodeDE);
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> texts;
        for (const ModelRow& row : control->rows) texts.push_back(Utf8(row.text));
        return texts;
    }
    std::vector<uint32_t> Checks() {
        std::vector<uint32_t> checks;
        for (int32_t i = 0; i < GetRowCount(&list); ++i) checks.push_back(GetRowCheck(&list, i));
        return checks;
    }

    StateScope scope;
    std::unique_ptr<DialogModel> model;
    ModelControl* control;
    Window list;
};

struct CodeCase {
    const char* letters;
    int32_t count;
    LanguageCode code;
    const char* text;
};

TEST(LanguageCode, LettersFromTheLowestByteUp) {
    const CodeCase cases[] = {
        {"US", 2, 0x5355, "US"}, {"DE", 2, 0x4544, "DE"}, {"ABCDE", 5, 0x44434241, "ABCD"},
        {"AB", 0, 0, ""},        {"A\0B", 3, 0x41, "A"},  {"\xE4X", 2, 0x58E4, "\xE4X"},
    };
    for (const CodeCase& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(MakeLanguageCode(c.letters, c.count), c.code);
        char text[5] = {'#', '#', '#', '#', '#'};
        LanguageCodeText(c.code, text);
        EXPECT_STREQ(text, c.text);
    }
}

TEST_F(ListFixture, AddedRowLandsInTextOrderAndGetsItsOwnTick) {
    EXPECT_EQ(FindLanguageRow(&list, kCodeUS), -1);
    SetUpLikeTheDialog();
    EXPECT_EQ(Texts(), (std::vector<std::string>{"English", "German"}));
    EXPECT_EQ(Checks(), (std::vector<uint32_t>{kRowTicked, kRowTicked}));
    UncheckAllRows(&list);
    AddLanguageRow(&list, u"Dansk", kCodeDK);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"Dansk", "English", "German"}));
    EXPECT_EQ(Checks(), (std::vector<uint32_t>{kRowTicked, kRowUnticked, kRowUnticked}));
    const LanguageCode codes[] = {kCodeDK, kCodeUS, kCodeDE};
    for (int32_t row = 0; row < 3; ++row) {
        EXPECT_EQ(FindLanguageRow(&list, codes[row]), row);
        EXPECT_EQ(GetRowCode(&list, row), codes[row]);
    }
    EXPECT_EQ(FindLanguageRow(&list, 0x5858), -1);
    EXPECT_EQ(GetRowCode(&list, 3), 0u);
    EXPECT_EQ(GetRowCheck(&list, -1), 0u);
}

struct InvertCase {
    std::vector<uint32_t> before;
    std::vector<uint32_t> after;
};

TEST_F(ListFixture, InvertTicksUntickedRowsAndUnticksEveryOtherRow) {
    const InvertCase cases[] = {{{2, 1, 0}, {1, 2, 1}}, {{1, 1, 1}, {2, 2, 2}}, {{0, 3, 1}, {1, 1, 2}}};
    for (const char16_t* text : {u"A", u"B", u"C"}) AddLanguageRow(&list, text, text[0]);
    for (const InvertCase& c : cases) {
        for (size_t i = 0; i < c.before.size(); ++i) control->rows[i].state = c.before[i] << 12 | 0x3;
        InvertRowChecks(&list);
        EXPECT_EQ(Checks(), c.after);
        for (const ModelRow& row : control->rows) EXPECT_EQ(row.state & 0xFFFu, 0x3u);  // other bits kept
        EXPECT_FALSE(IsWaitCursorShown());
    }
}

TEST_F(ListFixture, CheckAndUncheckAllRowsTouchOnlyTheCheckBoxes) {
    SetUpLikeTheDialog();
    control->rows[1].state |= 0x2;  // another state bit, e.g. selection
    UncheckAllRows(&list);
    SetRowCheck(&list, 1, kRowTicked);
    SetRowCheck(&list, 5, kRowTicked);  // no such row
    EXPECT_EQ(Checks(), (std::vector<uint32_t>{1, 2}));
    CheckAllRows(&list);
    EXPECT_EQ(Checks(), (std::vector<uint32_t>{2, 2}));
    EXPECT_EQ(control->rows[1].state, 0x2002u);
}

struct ColumnCase {
    int32_t clientWidth;
    std::vector<ListColumn> table;
    uint16_t languageId;
    std::vector<int32_t> widths;
    std::vector<int32_t> formats;
    std::vector<std::string> headers;
};

TEST(InsertListColumns, FillWidthLeavesRoomForTheScrollBarButNeverFallsBelowOneHundred) {
    const ColumnCase cases[] = {
        {147, {{1010, -1, 0}, {0, 0, 0}}, 1033, {126}, {0}, {"Language"}},
        {125, {{1010, -1, 0}, {0, 0, 0}}, 3079, {104}, {0}, {"Sprache"}},
        {121, {{1010, -1, 0}, {0, 0, 0}}, 2064, {100}, {0}, {"Lingua"}},
        {60, {{1010, -1, 0}, {0, 0, 0}}, 1033, {100}, {0}, {"Language"}},
        {300, {{1010, 50, 5}, {2001, -1, 2}, {2002, 30, 0}, {0, 0, 0}}, 1031, {50, 199, 30}, {1, 2, 0},
         {"Sprache", "Englisch", "Deutsch"}},
    };
    for (const ColumnCase& c : cases) {
        SCOPED_TRACE(c.clientWidth);
        StateScope scope(c.languageId);
        std::unique_ptr<DialogModel> model = CreateMainDialogModel(true, c.clientWidth);
        ModelControl* control = FindModelControl(model.get(), kIdLanguageList);
        InsertListColumns(&control->window, c.table.data());
        SetListColumnTexts(&control->window, c.table.data());
        EXPECT_EQ(control->columnWidths, c.widths);
        EXPECT_EQ(control->columnFormats, c.formats);
        std::vector<std::string> headers;
        for (const std::u16string& text : control->columnTexts) headers.push_back(Utf8(text));
        EXPECT_EQ(headers, c.headers);
    }
}

TEST(LanguageList, WithoutAListEverythingIsQuiet) {
    std::unique_ptr<DialogModel> model = CreateMainDialogModel(false);
    Window list;
    EXPECT_FALSE(GetControl(&model->window, kIdLanguageList, &list));
    AddLanguageRow(&list, u"English", kCodeUS);
    InvertRowChecks(&list);
    EXPECT_EQ(GetRowCount(&list), 0);
    EXPECT_EQ(FindLanguageRow(&list, kCodeUS), -1);
    Window status;  // a control that is no list answers as an empty one
    ASSERT_TRUE(GetControl(&model->window, kIdStatus, &status));
    AddLanguageRow(&status, u"English", kCodeUS);
    EXPECT_EQ(GetRowCount(&status), 0);
}

}  // namespace
