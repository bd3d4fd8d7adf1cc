// The table view makes rows only for what is on screen, reuses them, and asks again on reload.
#include "UiTestSupport.h"
#include "platform/ui/TableView.h"

namespace {

using TableTest = WindowTest;

TEST_F(TableTest, OnlyVisibleRowsExistScrollingReusesThemAndReloadAsksAgain) {
    int rows = 100, cellsMade = 0;
    std::vector<int> askedRows, selected;
    auto table = std::make_shared<TableView>(Rect(0, 40, 320, 200));  // five rows of 40 points show
    table->setRowHeight(40);
    table->numberOfRows = [&](TableView&) { return rows; };
    table->cellForRow = [&](TableView& t, int row) {
        askedRows.push_back(row);
        auto cell = t.dequeueReusableCell("Row");
        cellsMade += !cell;
        return cell ? cell : std::make_shared<TableViewCell>("Row");
    };
    table->didSelectRow = [&](TableView&, int row) { selected.push_back(row); };
    window->addSubview(table);
    table->reloadData();
    for (double y = 0; y <= table->maximumContentOffset(); y += 7) table->setContentOffset(y);
    table->setContentOffset(table->maximumContentOffset());
    // Every row was asked for once, in order, on the way down, and only the visible cells exist.
    ASSERT_EQ(askedRows.size(), 100u);
    for (size_t i = 0; i < askedRows.size(); ++i) EXPECT_EQ(askedRows[i], static_cast<int>(i));
    EXPECT_EQ(table->cellForRowAtIndex(97)->frame(), Rect(0, 97 * 40.0, 320, 40));
    EXPECT_EQ(table->subviews().size(), 5u + 1u) << "the visible cells and the indicator";
    EXPECT_LE(cellsMade, 6) << "half a row off, six show";
    rows = 7;  // a reload keeps the offset within the new content
    table->reloadData();
    EXPECT_EQ(table->indexesForVisibleRows(), (std::vector<int>{2, 3, 4, 5, 6}));
    rows = 2;
    table->reloadData();
    tap(Point(50, 40 + 150));
    EXPECT_TRUE(selected.empty()) << "under the last row";
    tap(Point(50, 40 + 50));
    EXPECT_EQ(selected, std::vector<int>{1});
}

}  // namespace
