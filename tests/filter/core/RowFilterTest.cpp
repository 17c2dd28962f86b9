#include "document/core/AttachmentRef.h"
#include "document/core/ListDocument.h"
#include "document/core/ShownRows.h"
#include "filter/core/GroupCounts.h"
#include "filter/core/RowFilter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace quorvex {
namespace {

ListDocument films()
{
    // Row 5 stores fewer cells than the list has columns; row 6 holds an attachment.
    ListDocument doc(4, 7);
    const char *rows[][3] = {{"Drama", "The Matrix", "Keanu Reeves"},
                             {"Comedy", "Speed", "keanu reeves"},
                             {"drama", "", "Sandra Bullock"},
                             {"Thriller", "Heat", ""},
                             {"", "", ""},
                             {"Drama", "", "Al Pacino"}};
    for (int r = 1; r <= 6; ++r)
        for (int c = 1; c <= 3; ++c)
            doc.SetCell(c, r, rows[r - 1][c - 1]);
    doc.setRowAt(5, CellRow::fromCells(std::vector<std::string_view>{"5"}));
    doc.SetCell(2, 6, AttachmentRef::make(static_cast<char>(1), "poster.jpg"));
    return doc;
}

TEST(RowFilter, conditionsIgnoreCaseAllMustHoldAndAnyColumnMeansOneOfThem)
{
    using C = FilterCondition;
    struct Case {
        std::vector<C> conditions;
        std::vector<int> rows;
    };
    const Case cases[] = {
        {{{1, FilterTest::Equals, "DRAMA"}}, {1, 3, 6}},
        {{{1, FilterTest::Contains, "ram"}}, {1, 3, 6}},
        {{{1, FilterTest::Equals, "Drama"}, {3, FilterTest::Contains, "REEVES"}}, {1}},
        {{{3, FilterTest::DoesNotContain, "reeves"}}, {3, 4, 5, 6}},
        {{{2, FilterTest::IsEmpty, ""}}, {3, 5}},
        {{{2, FilterTest::Contains, "poster"}}, {6}},
        {{{2, FilterTest::Equals, "poster.jpg"}}, {6}},
        {{{0, FilterTest::Contains, "keanu"}}, {1, 2}},
        {{{0, FilterTest::Equals, "heat"}}, {4}},
        {{{0, FilterTest::DoesNotContain, "a"}}, {5}},
        {{{0, FilterTest::IsEmpty, ""}}, {5}},
        {{{1, FilterTest::Contains, ""}, {1, FilterTest::Equals, "comedy"}}, {2}},
        {{{9, FilterTest::IsEmpty, ""}}, {1, 2, 3, 4, 5, 6}},
        {{{9, FilterTest::Contains, "x"}}, {}},
    };
    const ListDocument doc = films();
    for (const Case &c : cases) {
        RowFilter f;
        f.conditions = c.conditions;
        EXPECT_EQ(f.matchingRows(doc), c.rows) << c.conditions.front().column << " " << c.conditions.front().text;
        for (int r = 1; r < doc.RowCount(); ++r)
            EXPECT_EQ(f.matches(doc, r), std::find(c.rows.begin(), c.rows.end(), r) != c.rows.end());
    }
    RowFilter group;
    group.groupColumn = 1;
    group.groupTexts = {"drama", "Thriller", ""};
    EXPECT_EQ(group.matchingRows(doc), (std::vector<int>{3, 4, 5})) << "the pane's texts match exactly";
    group.conditions.push_back({3, FilterTest::IsEmpty, ""});
    EXPECT_EQ(group.matchingRows(doc), (std::vector<int>{4, 5}));
    EXPECT_EQ(RowFilter::groupedNumber(999), "999");
    EXPECT_EQ(RowFilter::groupedNumber(1000), "1,000");
    EXPECT_EQ(RowFilter::groupedNumber(-1234567), "-1,234,567");
}

// After any run of edits the counts updated in place equal a fresh count, in both orders,
// and every reported change covers the entries that moved.
TEST(GroupCounts, editsUpdateCountsInPlaceAsARecountWouldInBothOrders)
{
    for (const auto order : {GroupCounts::Order::ByCount, GroupCounts::Order::ByName}) {
        std::mt19937 random(7);
        const char *texts[] = {"", "Drama", "Comedy", "Action", "Drama ", "b", "a"};
        ListDocument doc(3, 40);
        for (int r = 1; r < 40; ++r)
            doc.SetCell(1, r, texts[random() % 7]);
        GroupCounts counts, followed;
        counts.count(doc, 1, order);
        followed.count(doc, 1, order);
        for (int step = 0; step < 400; ++step) {
            const int r = 1 + static_cast<int>(random() % 39);
            const std::string before = doc.GetCell(1, r);
            const std::string after = texts[random() % 7];
            const std::vector<GroupCounts::Entry> was = counts.entries();
            doc.SetCell(1, r, after);
            const GroupCounts::Change change = counts.cellChanged(before, after);
            if (step % 50 == 49)
                doc.moveRow(1, 30); // many rows in new places: counted again
            if (step % 70 == 69)
                doc.insertRowAt(3);
            followed.follow(doc);
            if (step % 50 == 49 || step % 70 == 69)
                counts.count(doc, 1, order);
            GroupCounts fresh;
            fresh.count(doc, 1, order);
            ASSERT_EQ(followed.entries().size(), fresh.entries().size()) << step;
            for (std::size_t i = 0; i < fresh.entries().size(); ++i)
                ASSERT_TRUE(followed.entries()[i].text == fresh.entries()[i].text &&
                            followed.entries()[i].count == fresh.entries()[i].count)
                    << step;
            ASSERT_EQ(counts.entries().size(), fresh.entries().size()) << step;
            for (std::size_t i = 0; i < fresh.entries().size(); ++i) {
                ASSERT_EQ(counts.entries()[i].text, fresh.entries()[i].text) << step;
                ASSERT_EQ(counts.entries()[i].count, fresh.entries()[i].count) << step;
                const bool same = i < was.size() && was[i].text == counts.entries()[i].text &&
                                  was[i].count == counts.entries()[i].count;
                if (!same && !change.sizeChanged && step % 50 != 49 && step % 70 != 69) {
                    ASSERT_TRUE(static_cast<int>(i) >= change.first && static_cast<int>(i) <= change.last) << step;
                }
            }
            if (step % 50 != 49 && step % 70 != 69) {
                ASSERT_EQ(change.sizeChanged, was.size() != counts.entries().size());
            }
            ASSERT_GE(counts.indexOf(after), 0);
        }
    }
    ListDocument doc(2, 4);
    doc.SetCell(1, 1, "Drama");
    doc.SetCell(1, 2, "Drama");
    GroupCounts counts;
    counts.count(doc, 1, GroupCounts::Order::ByCount);
    ASSERT_EQ(counts.entries().size(), 2u);
    EXPECT_EQ(GroupCounts::label(counts.entries()[0]), "Drama (2)");
    EXPECT_EQ(GroupCounts::label(counts.entries()[1]), "(empty) (1)");
    EXPECT_EQ(counts.indexOf("Comedy"), -1);
    counts.count(doc, 5, GroupCounts::Order::ByCount);
    EXPECT_TRUE(counts.entries().empty()) << "a column the list does not have counts nothing";
}

// The index of shown rows follows rows inserted and removed under the filter.
TEST(ShownRows, followsInsertedAndRemovedRowsAndAnswersOutsideRowsSafely)
{
    ListDocument doc(2, 11);
    ShownRows shown(doc);
    EXPECT_EQ(shown.count(), 10);
    EXPECT_EQ(shown.documentRow(3), 4);
    shown.apply([](const ListDocument &) { return std::vector<int>{9, 2, 5, 5, 40, 0}; });
    EXPECT_EQ(shown.rowsIn(1, 10), (std::vector<int>{2, 5, 9})) << "a rule's rows are cleaned";
    EXPECT_EQ(shown.firstAtOrAfter(6), 9);
    EXPECT_EQ(shown.firstAtOrAfter(10), 11);
    EXPECT_EQ(shown.lastAtOrBefore(4), 2);
    EXPECT_EQ(shown.lastAtOrBefore(1), 0);
    EXPECT_EQ(shown.nearest(10), 9);
    EXPECT_EQ(shown.indexOf(3), -1);
    EXPECT_EQ(shown.documentRow(7), 0);
    EXPECT_TRUE(shown.isShown(0));

    doc.insertRowAt(5);
    shown.rowsInserted(5, 1);
    EXPECT_EQ(shown.rowsIn(1, 11), (std::vector<int>{2, 5, 6, 10}));
    shown.rowsRemoved(std::vector<int>{1, 6, 8});
    EXPECT_EQ(shown.rowsIn(1, 11), (std::vector<int>{1, 4, 7}));
    shown.rowsRemoved(1, 2);
    EXPECT_EQ(shown.rowsIn(1, 11), (std::vector<int>{2, 5}));
    shown.clear();
    EXPECT_FALSE(shown.active());
    EXPECT_EQ(shown.count(), doc.RowCount() - 1);
}

} // namespace
} // namespace quorvex
