// The table view: rows made only for what is on screen and reused, drag scrolling that stays
// within the content and glides on, selection and its fading highlight, scrolling to a row,
// and a picture of a table in the game's colours.
#include "UiTestSupport.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/ui/GamePalette.h"
#include "platform/ui/TableView.h"

namespace {

class TableTest : public WindowTest {
protected:
    void SetUp() override {
        WindowTest::SetUp();
        // Five rows of 40 points show at once.
        table = std::make_shared<TableView>(Rect(0, 40, 320, 200));
        table->setRowHeight(40);
        table->numberOfRows = [this](TableView&) { return rows; };
        table->cellForRow = [this](TableView& t, int row) {
            askedRows.push_back(row);
            auto cell = t.dequeueReusableCell("Row");
            if (!cell) {
                cell = std::make_shared<TableViewCell>("Row");
                ++cellsMade;
            }
            cell->setName("row" + std::to_string(row));
            cell->textLabel().setText("Row " + std::to_string(row));
            return cell;
        };
        table->didSelectRow = [this](TableView&, int row) { selected.push_back(row); };
        window->addSubview(table);
        table->reloadData();
    }

    // A finger drag in window points, one step per frame.
    void drag(Point from, Point to, int steps, double seconds) {
        window->touchDown(from);
        for (int i = 1; i <= steps; ++i) {
            advance(seconds / steps);
            window->touchMove(from + (to - from) * (static_cast<double>(i) / steps));
        }
    }
    void tapSlowly(Point p) {
        window->touchDown(p);
        advance(0.05);
        window->touchUp(p);
    }

    std::shared_ptr<TableView> table;
    int rows = 100;
    int cellsMade = 0;
    std::vector<int> askedRows;
    std::vector<int> selected;
};

TEST_F(TableTest, OnlyVisibleRowsExistScrollingReusesThemAndReloadAsksAgain) {
    EXPECT_EQ(askedRows, (std::vector<int>{0, 1, 2, 3, 4}));

    // Scroll the whole table in small steps, as a drag would.
    askedRows.clear();
    for (double y = 0; y <= table->maximumContentOffset(); y += 7) table->setContentOffset(y);
    table->setContentOffset(table->maximumContentOffset());
    EXPECT_DOUBLE_EQ(table->contentOffset(), 100 * 40 - 200);
    // Every row was asked for once, in order, on the way down.
    ASSERT_EQ(askedRows.size(), 95u);
    for (size_t i = 0; i < askedRows.size(); ++i) EXPECT_EQ(askedRows[i], static_cast<int>(i) + 5);
    EXPECT_EQ(table->indexesForVisibleRows(), (std::vector<int>{95, 96, 97, 98, 99}));
    auto cell = table->cellForRowAtIndex(97);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->textLabel().text(), "Row 97");
    EXPECT_EQ(cell->frame(), Rect(0, 97 * 40.0, 320, 40));
    // Cells in the table's sub-views are exactly the visible ones (plus the indicator).
    EXPECT_EQ(table->subviews().size(), 5u + 1u);

    // Half a row off: six rows show. No more cells than that are ever made.
    table->setContentOffset(20);
    EXPECT_EQ(table->indexesForVisibleRows(), (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_LE(cellsMade, 6);

    // A reload asks again and keeps the offset within the new content.
    table->setContentOffset(2000);
    askedRows.clear();
    table->reloadData();
    EXPECT_EQ(askedRows, (std::vector<int>{50, 51, 52, 53, 54}));
    rows = 7;
    table->reloadData();
    EXPECT_EQ(table->indexesForVisibleRows(), (std::vector<int>{2, 3, 4, 5, 6}));
    rows = 2;
    table->reloadData();
    EXPECT_DOUBLE_EQ(table->contentOffset(), 0);
    EXPECT_EQ(table->indexesForVisibleRows(), (std::vector<int>{0, 1}));
    EXPECT_TRUE(table->scrollIndicator()->isHidden()) << "nothing to scroll, no bar";
    rows = 0;
    table->reloadData();
    EXPECT_TRUE(table->indexesForVisibleRows().empty());
}

TEST_F(TableTest, DraggingFollowsTheFingerAndStopsAtBothEnds) {
    // Up by 60 points: the content follows.
    drag(Point(100, 200), Point(100, 140), 6, 0.6);
    EXPECT_TRUE(table->isDragging());
    EXPECT_DOUBLE_EQ(table->contentOffset(), 60);
    EXPECT_DOUBLE_EQ(table->scrollIndicator()->alpha(), 1.0) << "the bar shows while the table moves";
    // Holding still, then letting go: no glide.
    advance(0.5);
    window->touchUp(Point(100, 140));
    EXPECT_FALSE(table->isDragging() || table->isDecelerating());
    advance(1.0);
    EXPECT_DOUBLE_EQ(table->scrollIndicator()->presentationAlpha(), 0.0) << "the bar fades after";

    // Pulling down past the top stops at 0; a huge drag up at the bottom of the content.
    drag(Point(100, 100), Point(100, 400), 10, 1.0);
    EXPECT_DOUBLE_EQ(table->contentOffset(), 0);
    advance(0.5);
    window->touchUp(Point(100, 400));
    table->setContentOffset(3700);
    drag(Point(100, 230), Point(100, -2000), 10, 1.0);
    EXPECT_DOUBLE_EQ(table->contentOffset(), table->maximumContentOffset());
    advance(0.5);
    window->touchUp(Point(100, -2000));
    EXPECT_TRUE(selected.empty()) << "drags select nothing";
}

TEST_F(TableTest, AFlickGlidesOnSlowsDownAndStops) {
    drag(Point(100, 220), Point(100, 100), 4, 0.06);  // 2000 points a second
    window->touchUp(Point(100, 100));
    const double released = table->contentOffset();
    EXPECT_TRUE(table->isDecelerating());
    advance(0.1);
    const double after100ms = table->contentOffset();
    EXPECT_GT(after100ms, released + 100);
    advance(0.1);
    EXPECT_LT(table->contentOffset() - after100ms, after100ms - released) << "it slows down";
    advance(5);
    EXPECT_FALSE(table->isDecelerating());
    const double stopped = table->contentOffset();
    EXPECT_GT(stopped, released + 300);
    EXPECT_LE(stopped, table->maximumContentOffset());
    advance(1);
    EXPECT_DOUBLE_EQ(table->contentOffset(), stopped);
    EXPECT_DOUBLE_EQ(table->scrollIndicator()->presentationAlpha(), 0.0);

    // A flick towards the top from near it ends at 0, not beyond.
    table->setContentOffset(30);
    drag(Point(100, 100), Point(100, 220), 4, 0.06);
    window->touchUp(Point(100, 220));
    advance(3);
    EXPECT_DOUBLE_EQ(table->contentOffset(), 0);
    EXPECT_FALSE(table->isDecelerating());

    // A touch during a glide stops it and selects nothing.
    table->setContentOffset(1000);
    drag(Point(100, 220), Point(100, 100), 4, 0.06);
    window->touchUp(Point(100, 100));
    advance(0.05);
    tapSlowly(Point(100, 150));
    const double held = table->contentOffset();
    advance(1);
    EXPECT_DOUBLE_EQ(table->contentOffset(), held);
    EXPECT_TRUE(selected.empty());
}

TEST_F(TableTest, TappingARowSelectsItAndDeselectingFadesTheHighlight) {
    table->setContentOffset(100);  // rows 2.5 to 7.5 on screen
    // Window y 40 + 100 = 140 is content y 200: row 5.
    tapSlowly(Point(50, 140 + 5));
    ASSERT_EQ(selected, (std::vector<int>{5}));
    EXPECT_EQ(table->indexForSelectedRow(), 5);
    auto cell = table->cellForRowAtIndex(5);
    ASSERT_TRUE(cell);
    EXPECT_DOUBLE_EQ(cell->highlightAlpha(), 1.0);

    table->deselectRow(5, true);
    EXPECT_EQ(table->indexForSelectedRow(), -1);
    advance(TableViewCell::kDeselectDuration / 2);
    EXPECT_GT(cell->highlightAlpha(), 0.05);
    EXPECT_LT(cell->highlightAlpha(), 0.95);
    advance(TableViewCell::kDeselectDuration);
    EXPECT_DOUBLE_EQ(cell->highlightAlpha(), 0.0);

    // Without animation the highlight goes at once; a row with selection style none shows none.
    table->selectRow(6);
    auto six = table->cellForRowAtIndex(6);
    EXPECT_DOUBLE_EQ(six->highlightAlpha(), 1.0);
    table->deselectRow(6, false);
    EXPECT_DOUBLE_EQ(six->highlightAlpha(), 0.0);
    six->setSelectionStyle(TableViewCellSelectionStyle::none);
    tapSlowly(Point(50, 40 + 6 * 40 - 100 + 5));
    EXPECT_EQ(selected.back(), 6);
    EXPECT_DOUBLE_EQ(six->highlightAlpha(), 0.0);

    // A selected row scrolled away and back is still marked, on whichever cell shows it.
    table->selectRow(3);
    table->setContentOffset(2000);
    table->setContentOffset(100);
    EXPECT_TRUE(table->cellForRowAtIndex(3)->isSelected());
    EXPECT_FALSE(table->cellForRowAtIndex(4)->isSelected());

    // Tapping under the last row selects nothing.
    rows = 2;
    table->reloadData();
    const size_t before = selected.size();
    tapSlowly(Point(50, 40 + 150));
    EXPECT_EQ(selected.size(), before);
}

TEST_F(TableTest, ScrollToRowPlacesTheRowAndAnimatesOverAFixedTime) {
    table->scrollToRow(50, TableViewScrollPosition::top, true);
    EXPECT_DOUBLE_EQ(table->contentOffset(), 0);
    advance(TableView::kScrollAnimationDuration / 2);
    EXPECT_GT(table->contentOffset(), 0);
    EXPECT_LT(table->contentOffset(), 2000);
    advance(TableView::kScrollAnimationDuration);
    EXPECT_DOUBLE_EQ(table->contentOffset(), 2000);

    table->scrollToRow(50, TableViewScrollPosition::middle, false);
    EXPECT_DOUBLE_EQ(table->contentOffset(), 50 * 40 + 20 - 100);
    table->scrollToRow(50, TableViewScrollPosition::bottom, false);
    EXPECT_DOUBLE_EQ(table->contentOffset(), 51 * 40 - 200);
    // "none" moves only as far as needed, and not at all for a row in full view.
    table->scrollToRow(48, TableViewScrollPosition::none, false);
    EXPECT_DOUBLE_EQ(table->contentOffset(), 51 * 40 - 200);
    table->scrollToRow(20, TableViewScrollPosition::none, false);
    EXPECT_DOUBLE_EQ(table->contentOffset(), 20 * 40);
    table->scrollToRow(99, TableViewScrollPosition::top, false);
    EXPECT_DOUBLE_EQ(table->contentOffset(), table->maximumContentOffset());
    table->scrollToRow(500, TableViewScrollPosition::top, false);  // no such row: nothing happens
    EXPECT_DOUBLE_EQ(table->contentOffset(), table->maximumContentOffset());
}

TEST_F(TableTest, ATableIsDrawnInTheGamesColours) {
    window->setBackgroundColor(GamePalette::ink);
    table->setBackgroundColor(GamePalette::night);
    table->setScrollIndicatorColor(Color::whiteColor());
    table->selectRow(2);
    drag(Point(100, 150), Point(100, 140), 2, 0.1);  // the bar shows while a finger drags
    HeadlessRenderer renderer(Size(320, 480));
    ASSERT_TRUE(renderer.isValid());
    renderer.render(*window);
    EXPECT_TRUE(renderer.writePNG(picturePath("table.png")));
    // The selected row (content 80..120, on screen 40 + 80 - 10 = 110) is lit in gold over the
    // night background; an unselected row is not; the bar is white at the right edge.
    const Color lit = renderer.colorAtPoint(Point(5, 115));
    const Color plain = renderer.colorAtPoint(Point(5, 75));
    EXPECT_COLOR_NEAR(plain, GamePalette::night);
    EXPECT_GT(lit.red, plain.red + 0.2f);
    const Rect bar = table->convertRectToView(table->scrollIndicator()->frame(), nullptr);
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(bar.midX(), bar.midY())), Color::whiteColor());
    window->touchUp(Point(100, 140));
}

}  // namespace
