#include "runtime/Collection.h"
#include "tests/support/Errors.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "runtime/RuntimeError.h"

namespace scenova {
namespace {

using scenova::testing::ErrorOf;

std::string Text(const Variant& v) {
    return std::get<std::string>(v);
}

// a (key "Alpha"), b (no key), c (key "straße")
Collection Sample() {
    Collection c;
    c.Add(std::string("a"), "Alpha");
    c.Add(std::string("b"));
    c.Add(std::string("c"), "straße");
    return c;
}

TEST(CollectionTest, ItemsByPositionAndCaseInsensitiveKey) {
    const Collection c = Sample();
    ASSERT_EQ(c.Count(), 3);
    EXPECT_EQ(Text(c.Item(1)), "a");
    EXPECT_EQ(Text(c.Item(3)), "c");
    EXPECT_EQ(Text(c.Item("ALPHA")), "a");
    EXPECT_EQ(Text(c.Item("STRAßE")), "c");
    EXPECT_TRUE(c.Contains("alpha"));
    EXPECT_FALSE(c.Contains("STRASSE"));
}

TEST(CollectionTest, BadPositionsAndKeysRaise) {
    Collection c = Sample();
    for (int32_t index : {0, -1, 4, INT32_MIN, INT32_MAX}) {
        EXPECT_EQ(ErrorOf([&] { c.Item(index); }), 9) << index;
        EXPECT_EQ(ErrorOf([&] { c.Remove(index); }), 9) << index;
    }
    for (const char* key : {"Beta", "", "Alpha "}) {
        EXPECT_EQ(ErrorOf([&] { c.Item(key); }), 5) << key;
        EXPECT_EQ(ErrorOf([&] { c.Remove(std::string_view(key)); }), 5) << key;
        EXPECT_FALSE(c.TryItem(key)) << key;
    }
    EXPECT_EQ(c.Count(), 3);
    EXPECT_EQ(Text(*c.TryItem("STRAßE")), "c");
}

// A host's collection: its Item raises what the host's does.
struct HostCollection final : ICollection {
    explicit HostCollection(int32_t e) : error(e) {}
    int32_t Count() const override { return 1; }
    Variant Item(int32_t) const override { return Variant{}; }
    Variant Item(std::string_view key) const override {
        return key == "Alpha" ? Variant(std::string("a")) : (Raise(error), Variant{});
    }
    int32_t error;
};

// Asked of any collection, TryItem takes only a missing key's error 5 for
// nothing; any other error is the host's failure and still raised.
TEST(CollectionTest, TryItemOfAHostCollectionTakesOnlyError5ForAMissingKey) {
    for (int32_t error : {5, 13, 91}) {
        const HostCollection c(error);
        EXPECT_EQ(Text(*c.TryItem("Alpha")), "a") << error;
        EXPECT_EQ(ErrorOf([&] { EXPECT_FALSE(c.TryItem("Beta")); }), error == 5 ? 0 : error);
    }
}

TEST(CollectionTest, DuplicateKeyRaisesAndLeavesCollectionUnchanged) {
    Collection c = Sample();
    EXPECT_EQ(ErrorOf([&] { c.Add(std::string("x"), "aLpHa"); }), 457);
    EXPECT_EQ(ErrorOf([&] { c.Add(std::string("y"), "STRASSE"); }), 0);  // ß is not SS
    EXPECT_EQ(ErrorOf([&] { c.Add(std::string("z"), "STRAßE"); }), 457);
    EXPECT_EQ(c.Count(), 4);
    EXPECT_EQ(Text(c.Item("alpha")), "a");
    EXPECT_EQ(Text(c.Item(4)), "y");
}

TEST(CollectionTest, RemoveShiftsPositionsAndKeepsKeysFindable) {
    Collection c = Sample();
    c.Remove(1);
    ASSERT_EQ(c.Count(), 2);
    EXPECT_EQ(Text(c.Item(1)), "b");
    EXPECT_EQ(Text(c.Item("STRAßE")), "c");
    EXPECT_FALSE(c.Contains("Alpha"));
    c.Add(std::string("a2"), "ALPHA");  // a removed key may be used again
    c.Remove("Straße");
    ASSERT_EQ(c.Count(), 2);
    EXPECT_EQ(Text(c.Item(2)), "a2");
    EXPECT_EQ(Text(c.Item("alpha")), "a2");
}

}  // namespace
}  // namespace scenova
