// The table view: rows made only for what is on screen and reused, drag scrolling held within the
// content, the glide after a flick, selection and its fading highlight, and scrolling to a row.
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
            cell->textLabel().setText("Row " + std::to_string(row));
            return cell;
        };
        table->didSelectRow = [this](TableView&, int row) { selected.push_back(row); };
        window->addSubview(table);
        table->reloadData();
    }
    // A finger drag in window points, one step per frame, still down at the end.
    void drag(Point from, Point to, int steps, double seconds) {
        window->touchDown(from);
        for (int i = 1; i <= steps; ++i) {
            advance(seconds / steps);
            window->touchMove(from + (to - from) * (static_cast<double>(i) / steps));
        }
    }
    void flick(Point from, Point to) {
        drag(from, to, 4, 0.06);
        window->touchUp(to);
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
    askedRows.clear();
    for (double y = 0; y <= table->maximumContentOffset(); y += 7) table->setContentOffset(y);
    table->setContentOffset(table->maximumContentOffset());
    // Every row was asked for once, in order, on the way down.
    ASSERT_EQ(askedRows.size(), 95u);
    for (size_t i = 0; i < askedRows.size(); ++i) EXPECT_EQ(askedRows[i], static_cast<int>(i) + 5);
    EXPECT_EQ(table->cellForRowAtIndex(97)->frame(), Rect(0, 97 * 40.0, 320, 40));
    EXPECT_EQ(table->subviews().size(), 5u + 1u) << "the visible cells and the indicator";
    EXPECT_LE(cellsMade, 6) << "half a row off, six show";
    // A reload asks again and keeps the offset within the new content.
    rows = 7;
    table->reloadData();
    EXPECT_EQ(table->indexesForVisibleRows(), (std::vector<int>{2, 3, 4, 5, 6}));
    rows = 2;
    table->reloadData();
    EXPECT_DOUBLE_EQ(table->contentOffset(), 0);
    EXPECT_TRUE(table->scrollIndicator()->isHidden()) << "nothing to scroll, no bar";
    tapSlowly(Point(50, 40 + 150));
    EXPECT_TRUE(selected.empty()) << "under the last row";
}

TEST_F(TableTest, DraggingFollowsTheFingerAndStopsAtBothEnds) {
    drag(Point(100, 200), Point(100, 140), 6, 0.6);
    EXPECT_DOUBLE_EQ(table->contentOffset(), 60);
    EXPECT_DOUBLE_EQ(table->scrollIndicator()->alpha(), 1.0) << "the bar shows while the table moves";
    advance(0.5);
    window->touchUp(Point(100, 140));
    EXPECT_FALSE(table->isDecelerating()) << "held still before letting go: no glide";
    advance(1.0);
    EXPECT_DOUBLE_EQ(table->scrollIndicator()->presentationAlpha(), 0.0) << "the bar fades after";
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

TEST_F(TableTest, AFlickGlidesOnSlowsDownAndStopsWithinTheContentOrAtATouch) {
    flick(Point(100, 220), Point(100, 100));  // 2000 points a second
    const double released = table->contentOffset();
    advance(0.1);
    const double after100ms = table->contentOffset();
    EXPECT_GT(after100ms, released + 100);
    advance(0.1);
    EXPECT_LT(table->contentOffset() - after100ms, after100ms - released) << "it slows down";
    advance(5);
    EXPECT_FALSE(table->isDecelerating());
    EXPECT_GT(table->contentOffset(), released + 300);
    table->setContentOffset(30);
    flick(Point(100, 100), Point(100, 220));
    advance(3);
    EXPECT_DOUBLE_EQ(table->contentOffset(), 0);
    // A touch during a glide stops it and selects nothing.
    table->setContentOffset(1000);
    flick(Point(100, 220), Point(100, 100));
    advance(0.05);
    tapSlowly(Point(100, 150));
    const double held = table->contentOffset();
    advance(1);
    EXPECT_DOUBLE_EQ(table->contentOffset(), held);
    EXPECT_TRUE(selected.empty());
}

TEST_F(TableTest, TappingARowSelectsItAndTheHighlightFadesOnDeselect) {
    table->setContentOffset(100);
    tapSlowly(Point(50, 140 + 5));  // content y 200: row 5
    ASSERT_EQ(selected, (std::vector<int>{5}));
    auto cell = table->cellForRowAtIndex(5);
    EXPECT_DOUBLE_EQ(cell->highlightAlpha(), 1.0);
    table->deselectRow(5, true);
    EXPECT_EQ(table->indexForSelectedRow(), -1);
    advance(TableViewCell::kDeselectDuration / 2);
    EXPECT_GT(cell->highlightAlpha(), 0.05);
    EXPECT_LT(cell->highlightAlpha(), 0.95);
    advance(TableViewCell::kDeselectDuration);
    EXPECT_DOUBLE_EQ(cell->highlightAlpha(), 0.0);
    // A selected row scrolled away and back is still marked, on whichever cell shows it.
    table->selectRow(3);
    table->setContentOffset(2000);
    table->setContentOffset(100);
    EXPECT_TRUE(table->cellForRowAtIndex(3)->isSelected());
    EXPECT_FALSE(table->cellForRowAtIndex(4)->isSelected());
    // Drawn: the selected row lit in gold over the night background.
    window->setBackgroundColor(GamePalette::ink);
    table->setBackgroundColor(GamePalette::night);
    HeadlessRenderer renderer(Size(320, 480));
    renderer.render(*window);
    const Color lit = renderer.colorAtPoint(Point(5, 40 + 120 - 100 + 5)), plain = renderer.colorAtPoint(Point(5, 40 + 5));
    EXPECT_COLOR_NEAR(plain, GamePalette::night);
    EXPECT_GT(lit.red, plain.red + 0.2f);
}

TEST_F(TableTest, ScrollToRowPlacesTheRowAndAnimatesOverAFixedTime) {
    table->scrollToRow(50, TableViewScrollPosition::top, true);
    advance(TableView::kScrollAnimationDuration / 2);
    EXPECT_GT(table->contentOffset(), 0);
    EXPECT_LT(table->contentOffset(), 2000);
    advance(TableView::kScrollAnimationDuration);
    EXPECT_DOUBLE_EQ(table->contentOffset(), 2000);
    const struct {
        int row;
        TableViewScrollPosition position;
        double offset;
    } cases[] = {
        {50, TableViewScrollPosition::middle, 50 * 40 + 20 - 100},
        {50, TableViewScrollPosition::bottom, 51 * 40 - 200},
        {48, TableViewScrollPosition::none, 51 * 40 - 200},  // in full view: no move
        {20, TableViewScrollPosition::none, 20 * 40},        // only as far as needed
        {99, TableViewScrollPosition::top, 100 * 40 - 200},
        {500, TableViewScrollPosition::top, 100 * 40 - 200},  // no such row
    };
    for (const auto& c : cases) {
        table->scrollToRow(c.row, c.position, false);
        EXPECT_DOUBLE_EQ(table->contentOffset(), c.offset) << c.row;
    }
}

}  // namespace
