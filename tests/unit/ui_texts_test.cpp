// The built-in text tables, the choice of a table and the lookup of texts.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/dialog_model.h"
#include "ui/texts.h"
#include "test_support.h"
#include "ui_test_support.h"

using uitest::StateScope;
using test::Utf8;

namespace {

std::u16string Lookup(const TextTable* table, int16_t id, int32_t capacity) {
    std::vector<char16_t> buffer(static_cast<size_t>(capacity > 0 ? capacity : 1) + 8, u'#');
    LookupText(table, id, buffer.data(), capacity);
    return std::u16string(buffer.data(), std::char_traits<char16_t>::length(buffer.data()));
}

// Windows-1252 text of the tables as UTF-8, by a path of its own: bytes below
// 0x80 and from 0xA0 up are their own code points; 0x80-0x9F must not occur.
std::string Utf8FromTable(const char* text) {
    std::string out;
    for (const unsigned char* p = reinterpret_cast<const unsigned char*>(text); *p; ++p) {
        if (*p < 0x80) {
            out += static_cast<char>(*p);
        } else if (*p >= 0xA0) {
            out += static_cast<char>(0xC0 | (*p >> 6));
            out += static_cast<char>(0x80 | (*p & 0x3F));
        } else {
            ADD_FAILURE() << "byte 0x" << std::hex << int(*p) << " in \"" << text << "\"";
        }
    }
    return out;
}

struct TableRowCase {
    int16_t id;
    const char* english;  // UTF-8
    const char* german;
    const char* italian;
};

// Every row of every table, in table order, byte for byte.
const TableRowCase kAllRows[] = {
    {1000, "Setup", "Installation", "Installazione"},
    {99, "&OK", "&OK", "&OK"},
    {2, "Cancel", "Abbruch", "Annulla"},
    {1010, "Language", "Sprache", "Lingua"},
    {1031, "Destination folder", "Zielpfad:", "Destinazione"},
    {1041, "Put entry to Start Menu", "Programmgruppe erstellen", "Aggiungi collegamento nel menu Programmi"},
    {1042, "Create a Desktop icon", "Desktop-Symbol anlegen", "Aggiungi collegamento sul desktop"},
    {1043, "Create a Quick Launch icon", "Symbol in der Schnellstartleiste anlegen",
     "Aggiungi collegamento sulla barra di Avvio veloce"},
    {2001, "English", "Englisch", "English"},
    {2002, "German", "Deutsch", "German"},
    {3001, "Broken file, please download again.", "Die Datei ist besch\xC3\xA4" "digt, bitte nochmal herunterladen!",
     "File danneggiato, esegui di nuovo il download."},
    {3000, " has been successfully installed.", " wurde erfolgreich installiert.",
     " \xC3\xA8 stato installato correttamente."},
    {3002, "Entries of the package that were not installed: ", "Nicht installierte Eintr\xC3\xA4" "ge des Pakets: ",
     "Voci del pacchetto non installate: "},
    {3003, "Checking the setup...", "Setup wird gepr\xC3\xBC" "ft...", "Verifica del setup..."},
    {136, "Select &all", "Alles &markieren", "Seleziona tutto"},
    {137, "&Deselect all", "Markierung &aufheben", "Deseleziona tutto"},
    {138, "&Invert selection", "Markierung &umkehren", "Inverti selezione"},
};

TEST(TextTables, EveryRowMatchesByteForByteInOrder) {
    const size_t count = sizeof kAllRows / sizeof kAllRows[0];
    const char* codes[] = {"US", "DE", "IT"};
    EXPECT_EQ(TextTableList[3], nullptr);
    for (int table = 0; table < 3; ++table) {
        ASSERT_NE(TextTableList[table], nullptr);
        EXPECT_STREQ(TextTableList[table]->languageCode, codes[table]);
        const TextRow* rows = TextTableList[table]->rows;
        for (size_t i = 0; i < count; ++i) {
            const TableRowCase& expected = kAllRows[i];
            const char* text = table == 0 ? expected.english : (table == 1 ? expected.german : expected.italian);
            SCOPED_TRACE(std::string(TextTableList[table]->languageCode) + " row " + std::to_string(i));
            ASSERT_EQ(rows[i].id, expected.id);
            ASSERT_NE(rows[i].text, nullptr);
            EXPECT_EQ(Utf8FromTable(rows[i].text), std::string(text));
        }
        EXPECT_EQ(rows[count].id, 0);
        EXPECT_EQ(rows[count].text, nullptr);
    }
}

struct LanguageCase {
    uint16_t languageId;
    const char* code;
};

TEST(SelectTextTable, FollowsExactlyTheListedLanguageIds) {
    const LanguageCase cases[] = {
        {1031, "DE"}, {2055, "DE"}, {3079, "DE"}, {4103, "DE"}, {5127, "DE"}, {1040, "IT"}, {2064, "IT"},
        {1033, "US"}, {1036, "US"}, {0x0007, "US"}, {0x1807, "US"}, {0x0C10, "US"},  // variants outside the lists
    };
    for (const LanguageCase& c : cases) {
        SCOPED_TRACE(c.languageId);
        StateScope scope(c.languageId);
        char code[3] = {'x', 'x', 'x'};
        GetLanguageCode(code);
        EXPECT_STREQ(code, c.code);
        EXPECT_STREQ(scope.state.languageCode, c.code);
        ASSERT_NE(scope.state.textTable, nullptr);
        EXPECT_STREQ(scope.state.textTable->languageCode, c.code);
    }
}

struct PresetCase {
    const char* preset;
    const char* table;
};

TEST(SelectTextTable, PresetCodeIsMatchedWithoutRegardToCase) {
    const PresetCase cases[] = {{"it", "IT"}, {"De", "DE"}, {"us", "US"}, {"FR", "US"}, {"ITA", "US"}};
    for (const PresetCase& c : cases) {
        SCOPED_TRACE(c.preset);
        StateScope scope(1031);  // a preset code wins over the system's German
        strcpy(scope.state.languageCode, c.preset);
        SelectTextTable();
        EXPECT_STREQ(scope.state.languageCode, c.preset);  // left as it was
        ASSERT_NE(scope.state.textTable, nullptr);
        EXPECT_STREQ(scope.state.textTable->languageCode, c.table);
    }
}

struct LookupCase {
    int table;  // index into TextTableList, -1 = no table
    int16_t id;
    int32_t capacity;
    std::u16string expected;
};

TEST(LookupText, KeepsAtMostCapacityLessTwoCharacters) {
    const LookupCase cases[] = {
        {0, 0, 64, u""},       {0, 9999, 64, u""},   {-1, 1000, 64, u""},
        {1, 1043, 31, u"Symbol in der Schnellstartlei"},
        {1, 3001, 512, u"Die Datei ist besch\u00E4digt, bitte nochmal herunterladen!"},
        {2, 3000, 64, u" \u00E8 stato installato correttamente."},
        {0, 1000, 7, u"Setup"}, {0, 1000, 6, u"Setu"}, {0, 1000, 2, u""},  {0, 1000, 1, u""},
    };
    for (const LookupCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.table) + "/" + std::to_string(c.id) + "/" + std::to_string(c.capacity));
        const TextTable* table = c.table < 0 ? nullptr : TextTableList[c.table];
        EXPECT_EQ(Utf8(Lookup(table, c.id, c.capacity)), Utf8(c.expected));
    }
}

TEST(LookupText, CapacityZeroWritesNothing) {
    char16_t buffer[2] = {u'#', u'#'};
    LookupText(TextTableList[0], 1000, buffer, 0);
    EXPECT_EQ(buffer[0], u'#');
    LookupText(TextTableList[0], 1000, nullptr, 10);  // no destination: no crash
}

TEST(LookupText, TabEscapesBecomeTabsInAnsiAndWideTables) {
    static const TextRow ansiRows[] = {{7, "a\\tb\\\\tc\\"}, {8, "\\t"}, {0, nullptr}};
    static const TextTable ansi = {0, "XX", ansiRows};
    static const char16_t wideText[] = u"x\\ty \u20AC";
    static const TextRow wideRows[] = {{7, reinterpret_cast<const char*>(wideText)}, {0, nullptr}};
    static const TextTable wide = {-1, "XX", wideRows};
    EXPECT_EQ(Utf8(Lookup(&ansi, 7, 64)), Utf8(u"a\tb\\\tc\\"));
    EXPECT_EQ(Utf8(Lookup(&ansi, 8, 64)), Utf8(u"\t"));
    EXPECT_EQ(Utf8(Lookup(&wide, 7, 64)), Utf8(u"x\ty \u20AC"));
    EXPECT_EQ(Utf8(Lookup(&wide, 7, 4)), Utf8(u"x\\"));  // cut inside the escape: left as it is
}

struct ApplyCase {
    const char* name;
    int table;  // -1: a table holding only the caption
    std::vector<int16_t> ids;
    std::u16string caption;
    std::u16string installButton;
    std::u16string destinationLabel;
};

TEST(ApplyDialogTexts, SetsCaptionAndControlsFromTheTable) {
    static const TextRow captionOnly[] = {{1000, "Only"}, {0, nullptr}};
    static const TextTable captionTable = {0, "XX", captionOnly};
    const ApplyCase cases[] = {
        {"English", 0, {1000, 99, 2, 1031, 1041, 1042, 1043, 0}, u"Setup", u"&OK", u"Destination folder"},
        {"German", 1, {1000, 99, 2, 1031, 1041, 1042, 1043, 0}, u"Installation", u"&OK", u"Zielpfad:"},
        {"missing ids empty their controls", -1, {1000, 99, 1031, 0}, u"Only", u"", u""},
        {"first id 0 keeps the caption", 0, {0, 99, 0}, u"old", u"&OK", u"old"},
        {"first id missing empties the caption", 0, {4321, 1031, 0}, u"", u"old", u"Destination folder"},
    };
    for (const ApplyCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<DialogModel> model = CreateMainDialogModel();
        model->caption = u"old";
        FindModelControl(model.get(), kIdInstall)->text = u"old";
        FindModelControl(model.get(), kIdDestinationLabel)->text = u"old";
        const TextTable* table = c.table < 0 ? &captionTable : TextTableList[c.table];
        ApplyDialogTexts(&model->window, table, c.ids.data());
        EXPECT_EQ(Utf8(model->caption), Utf8(c.caption));
        EXPECT_EQ(Utf8(FindModelControl(model.get(), kIdInstall)->text), Utf8(c.installButton));
        EXPECT_EQ(Utf8(FindModelControl(model.get(), kIdDestinationLabel)->text), Utf8(c.destinationLabel));
    }
}

TEST(ApplyCurrentTexts, UsesTheChosenTable) {
    StateScope scope(2064);
    std::unique_ptr<DialogModel> model = CreateMainDialogModel();
    ApplyCurrentTexts(&model->window, kDialogTextIds);
    EXPECT_EQ(Utf8(model->caption), "Installazione");
    EXPECT_EQ(Utf8(FindModelControl(model.get(), kIdCancel)->text), "Annulla");
    EXPECT_EQ(Utf8(FindModelControl(model.get(), kIdQuickLaunch)->text),
              "Aggiungi collegamento sulla barra di Avvio veloce");
}

}  // namespace
