#include "app/engine/company_list.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/test_support.h"

namespace velmora {
namespace {

RecordSlot named(std::string name, std::string phone = {}) {
    RecordSlot slot;
    slot[Field::Name] = std::move(name);
    slot[Field::Phone] = std::move(phone);
    return slot;
}

TEST(Intake, NumbersEntriesInArrivalOrderAndEmptiesTheSlot) {
    CompanyList list;
    RecordSlot slot = named("a", "1");
    slot[Field::Profile] = "p";
    EXPECT_TRUE(list.intake(slot));
    EXPECT_TRUE(slot.empty());
    slot = named("b");
    EXPECT_TRUE(list.intake(slot));
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.field(0, Column::Id), "1");
    EXPECT_EQ(list.field(0, Column::Name), "a");
    EXPECT_EQ(list.field(0, Column::Phone), "1");
    EXPECT_EQ(list.field(0, Column::Profile), "p");
    EXPECT_EQ(list.field(1, Column::Id), "2");
    // An empty name adds nothing but still empties the slot.
    slot = named("", "0571 1234");
    EXPECT_FALSE(list.intake(slot));
    EXPECT_TRUE(slot.empty());
    EXPECT_EQ(list.size(), 2u);
    // IDs continue from the count after imported IDs.
    list.addEntry("77", named("imported"));
    slot = named("found");
    list.intake(slot);
    EXPECT_EQ(list.field(3, Column::Id), "4");
}

TEST(SameNameFilter, OffAcceptsDuplicatesOnRefusesByteExactDuplicatesOnly) {
    using velmora::testing::g;
    CompanyList off;
    for (int i = 0; i < 2; ++i) {
        RecordSlot same = named("same");
        EXPECT_TRUE(off.intake(same));
    }
    EXPECT_EQ(off.size(), 2u);
    CompanyList list;
    list.setSameNameFilter(true);
    EXPECT_TRUE(list.acceptsName("x"));  // empty list
    RecordSlot slot = named("ABC" + g("公司"));
    list.intake(slot);
    EXPECT_FALSE(list.acceptsName("ABC" + g("公司")));
    EXPECT_TRUE(list.acceptsName("ABC" + g("公司") + " "));
    EXPECT_TRUE(list.acceptsName("abc" + g("公司")));
    EXPECT_TRUE(list.acceptsName(g("ＡBC公司")));
    slot = named("ABC" + g("公司"));
    EXPECT_FALSE(list.intake(slot));
    EXPECT_EQ(list.size(), 1u);
    EXPECT_TRUE(slot.empty());
}

TEST(SameNameFilter, ComparesOnlyTheNewest5001Entries) {
    CompanyList list;
    for (int i = 1; i <= 6000; ++i)
        list.addEntry(std::to_string(i), named("n" + std::to_string(i)));
    list.setSameNameFilter(true);
    EXPECT_TRUE(list.acceptsName("n900"));  // row 900 is outside rows 1000..6000
    EXPECT_TRUE(list.acceptsName("n999"));
    EXPECT_FALSE(list.acceptsName("n1000"));
    EXPECT_FALSE(list.acceptsName("n6000"));
    // One more entry moves the window by one row.
    list.addEntry("6001", named("x"));
    EXPECT_TRUE(list.acceptsName("n1000"));
    EXPECT_FALSE(list.acceptsName("n1001"));
}

TEST(SameNameFilter, WindowHandlesRepeatedNamesLeavingIt) {
    CompanyList list;
    list.setSameNameFilter(false);
    // The same name in many rows: it stays refused while any copy is inside.
    for (int i = 1; i <= 5003; ++i)
        list.addEntry(std::to_string(i), named(i <= 3 ? "dup" : "u" + std::to_string(i)));
    list.setSameNameFilter(true);
    EXPECT_FALSE(list.acceptsName("dup"));  // rows 3..5003 hold row 3
    list.addEntry("5004", named("z"));
    EXPECT_TRUE(list.acceptsName("dup"));
}

TEST(CompanyListStorage, KeepsLongAndEmptyFieldsExactly) {
    CompanyList list;
    std::string big(5u << 20, 'x');  // larger than one storage chunk
    RecordSlot slot = named("big");
    slot[Field::Profile] = big;
    list.addEntry("1", slot);
    list.addEntry("2", named(""));
    EXPECT_EQ(list.field(0, Column::Profile), big);
    EXPECT_EQ(list.field(1, Column::Name), "");
    EXPECT_EQ(list.field(1, Column::Fax), "");
}

TEST(CompanyListStorage, ReadersOnAnotherThreadSeePublishedEntries) {
    CompanyList list;
    std::atomic<bool> done{false};
    std::thread reader([&] {
        size_t checked = 0;
        while (!done.load() || checked < list.size()) {
            size_t n = list.size();
            for (; checked < n; ++checked)
                ASSERT_EQ(list.field(checked, Column::Id), std::to_string(checked + 1));
        }
    });
    for (int i = 1; i <= 20000; ++i) list.addEntry(std::to_string(i), named("n"));
    done.store(true);
    reader.join();
}

TEST(CompanyListStorage, ReportsAppendsToItsObserver) {
    CompanyList list;
    std::vector<size_t> firsts;
    list.setAppendObserver([&](size_t first, size_t count) {
        EXPECT_EQ(count, 1u);
        firsts.push_back(first);
    });
    RecordSlot slot = named("a");
    list.intake(slot);
    slot = named("");
    list.intake(slot);
    list.addEntry("9", named("b"));
    EXPECT_EQ(firsts, (std::vector<size_t>{0, 1}));
}

}  // namespace
}  // namespace velmora
