// The text order of a sorted list: base letters first, then accents, case never.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ui/list_order.h"
#include "test_support.h"
#include "ui_test_support.h"

using test::Utf8;

namespace {

struct OrderCase {
    std::u16string a;
    std::u16string b;
    int expected;  // sign of the comparison
};

int Sign(int32_t value) {
    return value < 0 ? -1 : (value > 0 ? 1 : 0);
}

TEST(CompareListText, OrdersLatinTextAsTheSystemsWordSortDoes) {
    const OrderCase cases[] = {
        {u"Dansk", u"English", -1},
        {u"Deutsch", u"English", -1},
        {u"English", u"German", -1},
        {u"english", u"English", 0},
        {u"GERMAN", u"german", 0},
        {u"abc", u"ABD", -1},               // case never decides before the letters do
        {u"Zulu", u"apple", 1},
        {u"Espa\u00F1ol", u"Espanol", 1},   // same letters: the accent comes after
        {u"Espa\u00F1ol", u"Estonian", -1}, // the letters decide before any accent
        {u"\u00C9tude", u"Etude", 1},
        {u"\u00E9tude", u"\u00C9TUDE", 0},
        {u"\u00D6sterreich", u"Polski", -1},
        {u"Oesterreich", u"\u00D6sterreich", -1},
        {u"Fran\u00E7ais", u"Francais", 1},
        {u"Fran\u00E7ais", u"Frisian", -1},
        {u"\u00CDslenska", u"Italiano", -1},
        {u"Hrvatski", u"\u00CDslenska", -1},
        {u"\u010Ce\u0161tina", u"Dansk", -1},
        {u"\u010Ce\u0161tina", u"Cymraeg", -1},
        {u"Stra\u00DFe", u"Strasse", 1},    // the sharp s counts as ss
        {u"Stra\u00DFe", u"Strassf", -1},
        {u"\u00C6sir", u"Aesir", 1},
        {u"\u00C6sir", u"Afrikaans", -1},
        {u"co-op", u"coop", 1},             // hyphens only break ties
        {u"co-op", u"cooq", -1},
        {u"it's", u"its", 1},
        {u"a b", u"ab", -1},                // a space sorts before every letter
        {u"1st", u"a", -1},                 // digits before letters
        {u"(x)", u"1", -1},                 // symbols before digits
        {u"Zulu", u"\u0395\u03BB\u03BB\u03B7\u03BD\u03B9\u03BA\u03AC", -1},  // other scripts after Latin
        {u"\u0420\u0443\u0441\u0441\u043A\u0438\u0439", u"\u0440\u0443\u0441\u0441\u043A\u0438\u0439", 0},
        {u"Suomi", u"Svenska", -1},
        {u"", u"a", -1},
        {u"", u"", 0},
        {u"Nederlands", u"Nederlands (Belgi\u00EB)", -1},
    };
    for (const OrderCase& c : cases) {
        SCOPED_TRACE(Utf8(c.a) + " <> " + Utf8(c.b));
        EXPECT_EQ(Sign(CompareListText(c.a.c_str(), c.b.c_str())), c.expected);
        EXPECT_EQ(Sign(CompareListText(c.b.c_str(), c.a.c_str())), -c.expected);
    }
}

}  // namespace
