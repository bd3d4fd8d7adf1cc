#pragma once
// A table view: one section of rows of a fixed height, scrolled vertically by dragging with
// the finger (or the mouse). Only the rows on screen exist as views; rows that scroll out wait
// under their reuse identifier for dequeueReusableCell(). The scroll position is the top of the
// visible part in content points (the view's bounds origin), kept between 0 and the content
// height minus the view's height. A drag that ends moving glides on and slows down; a thin
// indicator bar shows along the right edge while the table moves and fades after.
//
//   table->numberOfRows = [this](TableView&) { return int(items.size()); };
//   table->cellForRow = [this](TableView& t, int row) {
//       auto cell = t.dequeueReusableCell("HarborListCell");
//       if (!cell) cell = LayoutLoader::loadView<HarborListCell>("HarborListCell");
//       cell->showDungeonInfo(items[row]);
//       return cell;
//   };
//   table->didSelectRow = [this](TableView& t, int row) { t.deselectRow(row, true); ... };
//   table->reloadData();
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/RunLoop.h"
#include "platform/ui/TableViewCell.h"
#include "platform/ui/View.h"

enum class TableViewScrollPosition { none, top, middle, bottom };

class TableView : public View {
public:
    explicit TableView(const Rect& frame = {});
    ~TableView() override;

    // ---- Data source and delegate (the owner's; the table calls them, never keeps what they hold)
    std::function<int(TableView&)> numberOfRows;
    std::function<std::shared_ptr<TableViewCell>(TableView&, int row)> cellForRow;
    std::function<void(TableView&, int row)> didSelectRow;

    double rowHeight() const { return rowHeight_; }
    void setRowHeight(double height);
    // Asks the data source again and redraws the visible rows.
    void reloadData();
    int numberOfRowsCached() const { return rowCount_; }

    // A waiting row of that identifier, or nullptr (then make a new one).
    std::shared_ptr<TableViewCell> dequeueReusableCell(const std::string& identifier);
    // The row's cell while it is on screen, else nullptr.
    std::shared_ptr<TableViewCell> cellForRowAtIndex(int row) const;
    // On-screen rows in row order.
    std::vector<int> indexesForVisibleRows() const;
    std::vector<std::shared_ptr<TableViewCell>> visibleCells() const;
    // The row under a point in the table's own (content) coordinates, or -1.
    int rowAtPoint(Point p) const;
    Rect rectForRow(int row) const;

    // ---- Scrolling
    double contentOffset() const { return bounds().minY(); }
    void setContentOffset(double y, bool animated = false);
    double contentHeight() const { return rowHeight_ * rowCount_; }
    double maximumContentOffset() const;
    void scrollToRow(int row, TableViewScrollPosition position, bool animated);
    bool isDragging() const { return dragging_; }
    bool isDecelerating() const { return decelerating_; }
    bool isScrollEnabled() const { return scrollEnabled_; }
    void setScrollEnabled(bool enabled) { scrollEnabled_ = enabled; }
    static constexpr double kScrollAnimationDuration = 0.3;
    // The speed a glide loses: it keeps this share of its speed per millisecond.
    static constexpr double kDecelerationRate = 0.998;

    // ---- Selection
    int indexForSelectedRow() const { return selectedRow_; }
    void selectRow(int row, bool animated = false, TableViewScrollPosition position = TableViewScrollPosition::none);
    void deselectRow(int row, bool animated);
    bool allowsSelection() const { return allowsSelection_; }
    void setAllowsSelection(bool allows) { allowsSelection_ = allows; }

    // ---- Scroll indicator
    Color scrollIndicatorColor() const { return indicatorColor_; }
    void setScrollIndicatorColor(Color color);
    // The bar (for tests and pictures): visible while alpha > 0.
    const std::shared_ptr<View>& scrollIndicator() const { return indicator_; }

    // ---- Touches
    void touchesBegan(const TouchSet& touches) override;
    void touchesMoved(const TouchSet& touches) override;
    void touchesEnded(const TouchSet& touches) override;
    void touchesCancelled(const TouchSet& touches) override;

protected:
    void boundsDidChange() override;

private:
    void applyOffset(double y);
    void layoutRows();
    void recycle(int row);
    void updateIndicator();
    void flashIndicator();
    void fadeIndicator();
    void startTicker();
    void stopMotion();
    void tick();
    void unhighlightPressed();

    double rowHeight_ = 44;
    int rowCount_ = 0;
    bool loaded_ = false;
    std::map<int, std::shared_ptr<TableViewCell>> visible_;
    std::map<std::string, std::vector<std::shared_ptr<TableViewCell>>> reusePool_;
    int selectedRow_ = -1;
    bool allowsSelection_ = true;
    bool scrollEnabled_ = true;

    // The finger.
    bool tracking_ = false;
    bool dragging_ = false;
    Point touchStart_;
    double offsetAtTouch_ = 0;
    int pressedRow_ = -1;
    struct Sample {
        double time;
        double y;
    };
    std::vector<Sample> samples_;

    // Gliding and animated scrolls, stepped by a frame timer on the run loop.
    bool decelerating_ = false;
    double velocity_ = 0;  // points a second, in content offset
    bool animatingScroll_ = false;
    double animFrom_ = 0, animTo_ = 0, animStart_ = 0;
    double lastTick_ = 0;
    TimerHandle ticker_;

    Color indicatorColor_;
    std::shared_ptr<View> indicator_;
};
