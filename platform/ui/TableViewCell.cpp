#include "platform/ui/TableViewCell.h"

#include "platform/ui/GamePalette.h"

TableViewCell::TableViewCell(std::string reuseIdentifier, const Rect& frame)
    : View(frame), reuseIdentifier_(std::move(reuseIdentifier)), highlightColor_(GamePalette::gold.withAlpha(0.45f)) {}

Label& TableViewCell::textLabel() {
    if (!textLabel_) {
        const Rect b = bounds();
        textLabel_ = std::make_shared<Label>(Rect(10, 0, std::max(0.0, b.width() - 20), b.height()));
        textLabel_->setFont(Font::systemFontOfSize(12));
        addSubview(textLabel_);
    }
    return *textLabel_;
}

void TableViewCell::boundsDidChange() {
    const Rect b = bounds();
    View::performWithoutAnimation([&] {
        if (textLabel_) textLabel_->setFrame(Rect(10, 0, std::max(0.0, b.width() - 20), b.height()));
        if (highlightView_) highlightView_->setFrame(Rect(0, 0, b.width(), b.height()));
    });
}

void TableViewCell::setSelectionStyle(TableViewCellSelectionStyle style) {
    selectionStyle_ = style;
    updateHighlight(false);
}

void TableViewCell::setHighlightColor(Color color) {
    highlightColor_ = color;
    if (highlightView_) highlightView_->setBackgroundColor(color);
}

void TableViewCell::setSelected(bool selected, bool animated) {
    selected_ = selected;
    updateHighlight(animated);
}

void TableViewCell::setHighlighted(bool highlighted) {
    highlighted_ = highlighted;
    updateHighlight(false);
}

double TableViewCell::highlightAlpha() const {
    if (!highlightView_ || !highlightView_->superview()) return 0;
    return highlightView_->presentationAlpha();
}

void TableViewCell::updateHighlight(bool animated) {
    const bool show = (selected_ || highlighted_) && selectionStyle_ != TableViewCellSelectionStyle::none;
    if (show) {
        if (!highlightView_) {
            highlightView_ = std::make_shared<View>(Rect(0, 0, bounds().width(), bounds().height()));
            highlightView_->setUserInteractionEnabled(false);
        }
        highlightView_->setBackgroundColor(highlightColor_);
        View::performWithoutAnimation([&] { highlightView_->setAlpha(1); });
        // Behind the row's content.
        if (highlightView_->superview() != this) insertSubviewAtIndex(highlightView_, 0);
        return;
    }
    if (!highlightView_ || !highlightView_->superview()) return;
    if (!animated) {
        highlightView_->removeFromSuperview();
        return;
    }
    std::weak_ptr<View> weak = highlightView_;
    View::animateWithDuration(
        kDeselectDuration, 0, AnimationOptions{}, [&] { highlightView_->setAlpha(0); },
        [weak](bool finished) {
            if (!finished) return;
            if (auto v = weak.lock()) v->removeFromSuperview();
        });
}
