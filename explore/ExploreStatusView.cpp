#include "explore/ExploreStatusView.h"

#include "explore/DotFontLabel.h"
#include "explore/NMCommon.h"
#include "explore/PixelPanel.h"
#include "model/LeftTimeManager.h"
#include "platform/resources/LocalizedStrings.h"
#include "stage/NMAnimationCommon.h"

namespace {

// ---- Layout of the remaining-time panel, in its own points: a dark board with the title and
// the time on the left and a red suspend button with a white cross on the right.
struct ExploreStatusLayout {
    Rect frame{186, 4, 130, 40};
    // The board's top lines up with the gold panel's board beside it.
    Rect board{0, 3, 130, 34};
    PanelStyle boardStyle{Palette::ink, Palette::stoneDark, Palette::ink, Palette::night};
    Rect titleFrame{7, 6, 86, 12};
    double titleFontSize = 10;
    Color titleColor = Palette::cream;
    Rect timeFrame{7, 17, 86, 19};
    double timeFontSize = 16;
    Color timeColor = Palette::goldLight;
    Rect buttonFrame{98, 8, 24, 24};
    PanelStyle buttonStyle{Palette::ink, Palette::redLight, Palette::redDark, Palette::red};
    // The cross: two diagonals, 2 points thick, in a 10 x 10 box centred on the button.
    Rect crossBox{7, 7, 10, 10};
    Color crossColor = Palette::white;
};

const ExploreStatusLayout& layout() {
    static const ExploreStatusLayout value;
    return value;
}

std::shared_ptr<View> makeCross(const Rect& box, Color color) {
    auto cross = View::make(box);
    cross->setUserInteractionEnabled(false);
    const int n = static_cast<int>(box.size.width);
    for (int i = 0; i < n - 1; ++i) {
        for (double x : {static_cast<double>(i), static_cast<double>(n - 2 - i)}) {
            auto dot = View::make(Rect(x, i, 2, 2));
            dot->setBackgroundColor(color);
            dot->setUserInteractionEnabled(false);
            cross->addSubview(dot);
        }
    }
    return cross;
}

}  // namespace

Rect ExploreStatusView::defaultFrame() { return layout().frame; }

ExploreStatusView::ExploreStatusView(const Rect& frame) : View(frame) {
    const ExploreStatusLayout& l = layout();
    const Rect bounds(0, 0, frame.size.width, frame.size.height);
    contentView_ = View::make(bounds);
    contentView_->addSubview(PixelPanel::make(l.board, l.boardStyle));

    titleLabel_ = DotFontLabel::loadedFromDescription(l.titleFrame, l.titleFontSize);
    titleLabel_->setTextColor(l.titleColor);
    titleLabel_->setAdjustsFontSizeToFitWidth(true);
    titleLabel_->setMinimumFontSize(l.titleFontSize / 2);
    contentView_->addSubview(titleLabel_);

    leftTimeLabel_ = DotFontLabel::loadedFromDescription(l.timeFrame, l.timeFontSize);
    leftTimeLabel_->setTextColor(l.timeColor);
    leftTimeLabel_->setAdjustsFontSizeToFitWidth(true);
    leftTimeLabel_->setMinimumFontSize(l.timeFontSize / 2);
    contentView_->addSubview(leftTimeLabel_);

    suspendBtn_ = View::make<Button>(l.buttonFrame);
    suspendBtn_->insertSubviewAtIndex(PixelPanel::make(Rect(0, 0, l.buttonFrame.size.width, l.buttonFrame.size.height), l.buttonStyle), 0);
    suspendBtn_->addSubview(makeCross(l.crossBox, l.crossColor));
    contentView_->addSubview(suspendBtn_);

    addSubview(contentView_);
    // The panel waits hidden until an explore runs.
    setHidden(true);
}

void ExploreStatusView::setSuspendAction(std::function<void()> action) { suspendBtn_->setAction(std::move(action)); }

void ExploreStatusView::didMoveToWindow() {
    if (window()) drawRect();
}

void ExploreStatusView::drawRect() {
    suspendBtn_->setHidden(true);
    titleLabel_->setText(NSLocalizedString("LeftTime"));
}

void ExploreStatusView::show() {
    if (isShown_ && !isHidden()) {
        setHidden(false);
        return;
    }
    isShown_ = true;
    setHidden(false);
    std::weak_ptr<void> alive = lifetime();
    NMAnimationCommon::animateView(*contentView_, NMAnimationCommon::kGrowInWithBounce, true, [this, alive] {
        if (alive.expired() || !isShown_) return;
        suspendBtn_->setHidden(false);
    });
}

void ExploreStatusView::hide() {
    if (!isShown_) {
        setHidden(true);
        return;
    }
    isShown_ = false;
    suspendBtn_->setHidden(true);
    std::weak_ptr<void> alive = lifetime();
    NMAnimationCommon::animateView(*contentView_, NMAnimationCommon::kShrinkOut, true, [this, alive] {
        // A show() that came in during the shrink keeps the panel.
        if (alive.expired() || isShown_) return;
        setHidden(true);
    });
}

void ExploreStatusView::updateStatus() {
    const double t = LeftTimeManager::getInstance()->leftTime();
    leftTimeLabel_->setText(t >= 3600 ? NMCommon::timeStringFromTime(t) : NMCommon::timeStringShortFromTime(t));
}
