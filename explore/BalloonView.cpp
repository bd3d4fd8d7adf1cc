#include "explore/BalloonView.h"

#include "explore/DotFontLabel.h"
#include "explore/PixelPanel.h"
#include "stage/NMAnimationCommon.h"

namespace {

// ---- Layout of the balloon: the pictures are 160 x 44 with one line of text room between x 8
// and 152, rows 6 to 28.
struct BalloonLayout {
    Rect frame{80, 250, 160, 44};
    Rect messageFrame{8, 6, 144, 22};
    double messageFontSize = 12;
    Color messageColor = Palette::ink;
};

const BalloonLayout& layout() {
    static const BalloonLayout value;
    return value;
}

}  // namespace

Rect BalloonView::defaultFrame() { return layout().frame; }

BalloonView::BalloonView(const Rect& frame) : View(frame) {
    const BalloonLayout& l = layout();
    balloonImgView_ = View::make<ImageView>(Rect(0, 0, frame.size.width, frame.size.height));
    addSubview(balloonImgView_);
    msgLabel_ = DotFontLabel::loadedFromDescription(l.messageFrame, l.messageFontSize);
    msgLabel_->setTextColor(l.messageColor);
    msgLabel_->setTextAlignment(TextAlignment::center);
    msgLabel_->setAdjustsFontSizeToFitWidth(true);
    msgLabel_->setMinimumFontSize(l.messageFontSize / 2);
    addSubview(msgLabel_);
    setHidden(true);
}

void BalloonView::show() {
    ++showCount_;
    setHidden(false);
    NMAnimationCommon::animateView(*this, NMAnimationCommon::kGrowInWithBounce, true);
}

void BalloonView::hide() {
    const unsigned shownAt = showCount_;
    std::weak_ptr<void> alive = lifetime();
    NMAnimationCommon::animateView(*this, NMAnimationCommon::kShrinkOut, true, [this, alive, shownAt] {
        // A show() during the shrink keeps the balloon up.
        if (alive.expired() || showCount_ != shownAt) return;
        setHidden(true);
    });
}

void BalloonView::updateMsg(const std::string& text) { msgLabel_->setText(text); }

void BalloonView::updateBalloonImage(std::shared_ptr<Image> image) { balloonImgView_->setImage(std::move(image)); }
