// The table view: rows made only for what is on screen and reused, drags held within the content,
// and the glide after a flick that a touch stops.
#include "UiTestSupport.h"
#include "platform/ui/TableView.h"

namespace {

class TableTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        table = std::make_shared<TableView>(Rect(0, 40, 320, 200));  // five rows of 40 points show
        table->setRowHeight(40);
        table->numberOfRows = [this](TableView&) { return rows; };
        table->cellForRow = [this](TableView& t, int row) {
            askedRows.push_back(row);
            auto cell = t.dequeueReusableCell("Row");
            cellsMade += !cell;
            return cell ? cell : std::make_shared<TableViewCell>("Row");
        };
        table->didSelectRow = [this](TableView&, int row) { selected.push_back(row); };
        window->addSubview(table);
        table->reloadData();
    }
    // A finger drag in window points over `seconds`, one step per frame, then up.
    void drag(Point from, Point to, int steps, double seconds) {
        window->touchDown(from);
        for (int i = 1; i <= steps; ++i) {
            advance(seconds / steps);
            window->touchMove(from + (to - from) * (static_cast<double>(i) / steps));
        }
        window->touchUp(to);
    }
    std::shared_ptr<TableView> table;
    int rows = 100, cellsMade = 0;
    std::vector<int> askedRows, selected;
};

TEST_F(TableTest, OnlyVisibleRowsExistScrollingReusesThemAndReloadAsksAgain) {
    askedRows.clear();
    for (double y = 0; y <= table->maximumContentOffset(); y += 7) table->setContentOffset(y);
    table->setContentOffset(table->maximumContentOffset());
    // Every row was asked for once, in order, on the way down, and only the visible cells exist.
    ASSERT_EQ(askedRows.size(), 95u);
    for (size_t i = 0; i < askedRows.size(); ++i) EXPECT_EQ(askedRows[i], static_cast<int>(i) + 5);
    EXPECT_EQ(table->cellForRowAtIndex(97)->frame(), Rect(0, 97 * 40.0, 320, 40));
    EXPECT_EQ(table->subviews().size(), 5u + 1u) << "the visible cells and the indicator";
    EXPECT_LE(cellsMade, 6) << "half a row off, six show";
    rows = 7;  // a reload keeps the offset within the new content
    table->reloadData();
    EXPECT_EQ(table->indexesForVisibleRows(), (std::vector<int>{2, 3, 4, 5, 6}));
    rows = 2;
    table->reloadData();
    EXPECT_TRUE(table->scrollIndicator()->isHidden()) << "nothing to scroll, no bar";
    drag(Point(50, 40 + 150), Point(50, 40 + 150), 1, 0.05);
    EXPECT_TRUE(selected.empty()) << "under the last row";
}

TEST_F(TableTest, DragsStayWithinTheContentAndAFlickGlidesOnSlowingDownUntilTouched) {
    drag(Point(100, 100), Point(100, 400), 10, 1.0);
    EXPECT_DOUBLE_EQ(table->contentOffset(), 0);
    table->setContentOffset(3700);
    drag(Point(100, 230), Point(100, -2000), 10, 1.0);
    EXPECT_DOUBLE_EQ(table->contentOffset(), table->maximumContentOffset());
    table->setContentOffset(1000);
    drag(Point(100, 220), Point(100, 100), 4, 0.06);  // 2000 points a second
    const double released = table->contentOffset();
    advance(0.1);
    const double after100ms = table->contentOffset();
    EXPECT_GT(after100ms, released + 100);
    advance(0.1);
    EXPECT_LT(table->contentOffset() - after100ms, after100ms - released) << "it slows down";
    drag(Point(100, 150), Point(100, 150), 1, 0.05);
    const double held = table->contentOffset();
    advance(1);
    EXPECT_DOUBLE_EQ(table->contentOffset(), held) << "a touch stops the glide";
    EXPECT_TRUE(selected.empty()) << "drags and stopping taps select nothing";
    table->setContentOffset(30);
    drag(Point(100, 100), Point(100, 220), 4, 0.06);
    advance(3);
    EXPECT_DOUBLE_EQ(table->contentOffset(), 0) << "a glide towards the top ends there";
}

}  // namespace
