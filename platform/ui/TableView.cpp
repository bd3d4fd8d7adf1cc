#include "platform/ui/TableView.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/AnimationCurve.h"
#include "platform/ui/GamePalette.h"

namespace {
constexpr double kDragThreshold = 5;          // points a finger moves before it drags
constexpr double kFrameInterval = 1.0 / 60.0;  // glide and scroll steps
constexpr double kMinimumGlideSpeed = 40;      // points a second; slower drags just stop
constexpr double kStopSpeed = 8;
constexpr double kVelocityWindow = 0.1;        // seconds of finger history for the release speed
constexpr double kIndicatorWidth = 3;
constexpr double kIndicatorMinLength = 16;
}  // namespace

TableView::TableView(const Rect& frame) : View(frame), indicatorColor_(GamePalette::ink.withAlpha(0.7f)) {
    setClipsToBounds(true);
    indicator_ = std::make_shared<View>();
    indicator_->setUserInteractionEnabled(false);
    indicator_->setBackgroundColor(indicatorColor_);
    indicator_->setAlpha(0);
    addSubview(indicator_);
}

TableView::~TableView() { ticker_.invalidate(); }

void TableView::setRowHeight(double height) {
    rowHeight_ = std::max(1.0, height);
    if (loaded_) reloadData();
}

void TableView::setScrollIndicatorColor(Color color) {
    indicatorColor_ = color;
    indicator_->setBackgroundColor(color);
}

// ---- Rows

void TableView::reloadData() {
    loaded_ = true;
    for (auto& [row, cell] : visible_) {
        cell->removeFromSuperview();
        reusePool_[cell->reuseIdentifier()].push_back(cell);
    }
    visible_.clear();
    rowCount_ = numberOfRows ? std::max(0, numberOfRows(*this)) : 0;
    if (selectedRow_ >= rowCount_) selectedRow_ = -1;
    applyOffset(contentOffset());
}

std::shared_ptr<TableViewCell> TableView::dequeueReusableCell(const std::string& identifier) {
    auto it = reusePool_.find(identifier);
    if (it == reusePool_.end() || it->second.empty()) return nullptr;
    auto cell = std::move(it->second.back());
    it->second.pop_back();
    cell->prepareForReuse();
    return cell;
}

std::shared_ptr<TableViewCell> TableView::cellForRowAtIndex(int row) const {
    auto it = visible_.find(row);
    return it == visible_.end() ? nullptr : it->second;
}

std::vector<int> TableView::indexesForVisibleRows() const {
    std::vector<int> rows;
    for (const auto& [row, cell] : visible_) rows.push_back(row);
    return rows;
}

std::vector<std::shared_ptr<TableViewCell>> TableView::visibleCells() const {
    std::vector<std::shared_ptr<TableViewCell>> cells;
    for (const auto& [row, cell] : visible_) cells.push_back(cell);
    return cells;
}

int TableView::rowAtPoint(Point p) const {
    if (p.x < 0 || p.x >= bounds().width() || p.y < 0) return -1;
    const int row = static_cast<int>(std::floor(p.y / rowHeight_));
    return row < rowCount_ ? row : -1;
}

Rect TableView::rectForRow(int row) const { return {0, row * rowHeight_, bounds().width(), rowHeight_}; }

void TableView::recycle(int row) {
    auto it = visible_.find(row);
    if (it == visible_.end()) return;
    auto cell = it->second;
    visible_.erase(it);
    cell->setHighlighted(false);
    cell->removeFromSuperview();
    reusePool_[cell->reuseIdentifier()].push_back(std::move(cell));
}

void TableView::layoutRows() {
    if (!loaded_) return;
    const Rect b = bounds();
    int first = 0, last = -1;
    if (rowCount_ > 0 && b.height() > 0) {
        first = std::clamp(static_cast<int>(std::floor(b.minY() / rowHeight_)), 0, rowCount_ - 1);
        // A row touching the bottom edge without showing is left out.
        last = std::clamp(static_cast<int>(std::ceil(b.maxY() / rowHeight_)) - 1, 0, rowCount_ - 1);
    }
    // Rows that left the screen go back to the pool first, so the new ones can reuse them.
    std::vector<int> gone;
    for (const auto& [row, cell] : visible_)
        if (row < first || row > last) gone.push_back(row);
    for (int row : gone) recycle(row);
    for (int row = first; row <= last; ++row) {
        if (visible_.count(row)) continue;
        std::shared_ptr<TableViewCell> cell = cellForRow ? cellForRow(*this, row) : nullptr;
        if (!cell) cell = std::make_shared<TableViewCell>();
        View::performWithoutAnimation([&] { cell->setFrame(rectForRow(row)); });
        cell->setSelected(row == selectedRow_);
        insertSubviewAtIndex(cell, 0);
        visible_[row] = std::move(cell);
    }
}

void TableView::boundsDidChange() {
    View::performWithoutAnimation([&] {
        for (auto& [row, cell] : visible_) cell->setFrame(rectForRow(row));
    });
    applyOffset(contentOffset());
}

// ---- Scrolling

double TableView::maximumContentOffset() const { return std::max(0.0, contentHeight() - bounds().height()); }

void TableView::applyOffset(double y) {
    y = std::clamp(y, 0.0, maximumContentOffset());
    Rect b = bounds();
    if (b.minY() != y) {
        b.origin.y = y;
        View::performWithoutAnimation([&] { setBounds(b); });
    }
    layoutRows();
    updateIndicator();
}

void TableView::setContentOffset(double y, bool animated) {
    stopMotion();
    y = std::clamp(y, 0.0, maximumContentOffset());
    if (!animated || y == contentOffset()) {
        applyOffset(y);
        return;
    }
    animatingScroll_ = true;
    animFrom_ = contentOffset();
    animTo_ = y;
    animStart_ = RunLoop::main().now();
    flashIndicator();
    startTicker();
}

void TableView::scrollToRow(int row, TableViewScrollPosition position, bool animated) {
    if (row < 0 || row >= rowCount_) return;
    const Rect r = rectForRow(row);
    const double h = bounds().height();
    double y = contentOffset();
    switch (position) {
    case TableViewScrollPosition::top: y = r.minY(); break;
    case TableViewScrollPosition::middle: y = r.midY() - h / 2; break;
    case TableViewScrollPosition::bottom: y = r.maxY() - h; break;
    case TableViewScrollPosition::none:
        // Just enough to show the whole row.
        if (r.minY() < y) y = r.minY();
        else if (r.maxY() > y + h) y = r.maxY() - h;
        break;
    }
    setContentOffset(y, animated);
}

void TableView::startTicker() {
    if (ticker_.isValid()) return;
    lastTick_ = RunLoop::main().now();
    std::weak_ptr<View> weak = weak_from_this();
    ticker_ = RunLoop::main().scheduleTimer(kFrameInterval, true, [weak] {
        if (auto self = std::static_pointer_cast<TableView>(weak.lock())) self->tick();
    });
}

void TableView::stopMotion() {
    const bool moving = decelerating_ || animatingScroll_;
    decelerating_ = false;
    animatingScroll_ = false;
    velocity_ = 0;
    ticker_.invalidate();
    ticker_ = TimerHandle();
    if (moving && !tracking_) fadeIndicator();
}

void TableView::tick() {
    const double now = RunLoop::main().now();
    const double dt = now - lastTick_;
    lastTick_ = now;
    if (animatingScroll_) {
        const double t = std::min(1.0, (now - animStart_) / kScrollAnimationDuration);
        applyOffset(animFrom_ + (animTo_ - animFrom_) * applyAnimationCurve(AnimationCurve::easeInOut, t));
        if (t >= 1) stopMotion();
        return;
    }
    if (!decelerating_) {
        stopMotion();
        return;
    }
    const double before = contentOffset();
    applyOffset(before + velocity_ * dt);
    velocity_ *= std::pow(kDecelerationRate, dt * 1000);
    // The glide ends when it is slow or meets an end of the content.
    const bool atEnd = (velocity_ < 0 && contentOffset() <= 0) || (velocity_ > 0 && contentOffset() >= maximumContentOffset());
    if (std::abs(velocity_) < kStopSpeed || atEnd) stopMotion();
}

// ---- Scroll indicator

void TableView::updateIndicator() {
    const Rect b = bounds();
    const double content = contentHeight();
    if (content <= b.height() || b.height() <= 0) {
        indicator_->setHidden(true);
        return;
    }
    indicator_->setHidden(false);
    const double inset = 2;
    const double track = b.height() - 2 * inset;
    const double length = std::max(kIndicatorMinLength, std::round(track * b.height() / content));
    const double progress = maximumContentOffset() > 0 ? contentOffset() / maximumContentOffset() : 0;
    const double y = b.minY() + inset + std::round((track - length) * progress);
    View::performWithoutAnimation(
        [&] { indicator_->setFrame(Rect(b.width() - kIndicatorWidth - 1, y, kIndicatorWidth, length)); });
    bringSubviewToFront(indicator_.get());
}

void TableView::flashIndicator() {
    View::performWithoutAnimation([&] { indicator_->setAlpha(1); });
}

void TableView::fadeIndicator() {
    AnimationOptions options;
    options.curve = AnimationCurve::easeOut;
    View::animateWithDuration(0.3, 0.2, options, [&] { indicator_->setAlpha(0); });
}

// ---- Selection

void TableView::selectRow(int row, bool animated, TableViewScrollPosition position) {
    if (selectedRow_ >= 0 && selectedRow_ != row)
        if (auto old = cellForRowAtIndex(selectedRow_)) old->setSelected(false);
    selectedRow_ = row >= 0 && row < rowCount_ ? row : -1;
    if (selectedRow_ < 0) return;
    if (auto cell = cellForRowAtIndex(selectedRow_)) cell->setSelected(true);
    if (position != TableViewScrollPosition::none) scrollToRow(selectedRow_, position, animated);
}

void TableView::deselectRow(int row, bool animated) {
    if (row != selectedRow_) return;
    selectedRow_ = -1;
    if (auto cell = cellForRowAtIndex(row)) cell->setSelected(false, animated);
}

// ---- Touches

void TableView::unhighlightPressed() {
    if (pressedRow_ >= 0)
        if (auto cell = cellForRowAtIndex(pressedRow_)) cell->setHighlighted(false);
    pressedRow_ = -1;
}

void TableView::touchesBegan(const TouchSet& touches) {
    Touch* touch = touches.anyObject();
    if (!touch) return;
    const bool wasMoving = decelerating_ || animatingScroll_;
    stopMotion();
    tracking_ = true;
    dragging_ = false;
    touchStart_ = touch->locationInView(nullptr);
    offsetAtTouch_ = contentOffset();
    samples_.assign(1, Sample{touch->timestamp(), touchStart_.y});
    // A touch that stops a glide only stops it; it selects nothing.
    pressedRow_ = wasMoving || !allowsSelection_ ? -1 : rowAtPoint(touch->locationInView(this));
    if (pressedRow_ >= 0)
        if (auto cell = cellForRowAtIndex(pressedRow_)) cell->setHighlighted(true);
    if (wasMoving) flashIndicator();
}

void TableView::touchesMoved(const TouchSet& touches) {
    Touch* touch = touches.anyObject();
    if (!touch || !tracking_) return;
    const Point p = touch->locationInView(nullptr);
    const double dy = p.y - touchStart_.y;
    if (!dragging_ && std::abs(dy) >= kDragThreshold && scrollEnabled_) {
        dragging_ = true;
        unhighlightPressed();
        flashIndicator();
    }
    if (!dragging_) return;
    samples_.push_back(Sample{touch->timestamp(), p.y});
    applyOffset(offsetAtTouch_ - dy);
}

void TableView::touchesEnded(const TouchSet& touches) {
    Touch* touch = touches.anyObject();
    if (!tracking_) return;
    tracking_ = false;
    if (!dragging_) {
        const int row = pressedRow_;
        unhighlightPressed();
        if (touch && row >= 0 && row == rowAtPoint(touch->locationInView(this))) {
            selectRow(row);
            if (didSelectRow) didSelectRow(*this, row);
        }
        return;
    }
    dragging_ = false;
    // The release speed: the finger's motion over its last tenth of a second.
    const double now = touch ? touch->timestamp() : RunLoop::main().now();
    const double y = touch ? touch->locationInView(nullptr).y : samples_.back().y;
    samples_.push_back(Sample{now, y});
    size_t i = samples_.size() - 1;
    while (i > 0 && now - samples_[i - 1].time <= kVelocityWindow) --i;
    const double span = now - samples_[i].time;
    const double fingerSpeed = span > 0 ? (y - samples_[i].y) / span : 0;
    samples_.clear();
    velocity_ = -fingerSpeed;
    const bool canMove = (velocity_ < 0 && contentOffset() > 0) || (velocity_ > 0 && contentOffset() < maximumContentOffset());
    if (std::abs(velocity_) >= kMinimumGlideSpeed && canMove) {
        decelerating_ = true;
        startTicker();
    } else {
        velocity_ = 0;
        fadeIndicator();
    }
}

void TableView::touchesCancelled(const TouchSet&) {
    tracking_ = false;
    dragging_ = false;
    samples_.clear();
    unhighlightPressed();
    fadeIndicator();
}
