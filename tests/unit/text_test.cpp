#include <gtest/gtest.h>
#include <string>

#include "common/path.h"
#include "common/text.h"

namespace {

struct AppendCase {
    const char16_t* source;
    const char16_t* start;
    int32_t capacity;
    const char16_t* expected;
    PathResult result;
};

TEST(AppendText, CutsAndReportsAsDocumented) {
    const AppendCase cases[] = {
        {u"abc", u"12345", 8, u"12345ab", kPathCut},
        {u"abc", u"12345", 6, u"12345", kPathNoRoom},
        {u"abc", u"12345", 9, u"12345abc", kPathFits},
        {u"abc", u"12345", 0, u"12345", kPathFits},
        {nullptr, u"12345", 9, u"12345", kPathFits},
    };
    for (const AppendCase& c : cases) {
        char16_t buffer[16] = {};
        std::u16string start(c.start);
        std::copy(start.begin(), start.end(), buffer);
        EXPECT_EQ(AppendText(c.source, buffer, c.capacity), c.result);
        EXPECT_EQ(std::u16string(buffer), std::u16string(c.expected));
    }
}

}  // namespace
