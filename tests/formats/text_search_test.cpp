#include "formats/TextSearch.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "controls/RichText.h"

namespace scenova::formats {
namespace {

// A search costs its range and the needle, whatever they hold: a line that
// almost matches at every place of the speaker's name before it took a
// search that compares the line at each place over a billion comparisons.
TEST(TextSearch, CostsItsRangeWhateverItHolds) {
    namespace ff = controls::find_flags;
    PackedText text;
    text.narrow = std::u16string(50000, u'x') + u":" + std::u16string(49999, u'x') + u"y";
    const auto size = static_cast<int32_t>(text.size());
    const std::string line = std::string(49999, 'x') + "y";
    const std::clock_t start = std::clock();
    const auto first = FindInText(text, 0, size, ff::Down | ff::WholeWord | ff::MatchCase, line);
    const auto last = FindInText(text, 0, size, 0, line);
    EXPECT_LT(std::clock() - start, CLOCKS_PER_SEC / 2);
    ASSERT_TRUE(first && last);
    EXPECT_EQ(first->start, 50001);
    EXPECT_EQ(last->start, 50001);
}

}  // namespace
}  // namespace scenova::formats
