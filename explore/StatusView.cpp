#include "explore/StatusView.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "explore/DotFontLabel.h"
#include "explore/NMCommon.h"
#include "explore/PixelPanel.h"
#include "model/GameEvents.h"
#include "model/GoldManager.h"
#include "model/SavedStateKeys.h"
#include "platform/resources/Format.h"
#include "platform/store/SavedStateStore.h"

namespace {

// ---- Layout of the gold panel, in the panel's own points. The counter's frame, font, colour and
// spacing are fixed by the game; the rest frames it: a wooden board with a cream socket behind
// every figure and the rate at the right end.
struct StatusLayout {
    Rect frame{14, 2, 170, 36};
    // The counter: 8 figures of the bold system font 18, black, 6 points apart.
    Rect counterFrame{-7, 9, 100, 14};
    double counterFontSize = 18;
    Color counterColor = Color::black();
    double counterSpace = 6;
    // The board behind everything.
    Rect board{-11, 5, 181, 28};
    PanelStyle boardStyle{Palette::ink, Palette::brownLight, Palette::brownDark, Palette::brown};
    // One socket per figure, centred on the figure; the flash lights the sockets up.
    double socketWidth = 14, socketTop = 10, socketHeight = 17;
    Color socketFill = Palette::cream, socketDark = Palette::brownDark, socketLit = Palette::goldLight;
    Color flashColor = Palette::goldLight;
    // The gold rate at the right end of the board.
    Rect rateFrame{131, 11, 34, 18};
    double rateFontSize = 12;
    Color rateColor = Palette::goldLight;
};

const StatusLayout& layout() {
    static const StatusLayout value;
    return value;
}

// The flash: every socket lit in one colour, the board between them left alone. Drawn at 2
// pixels per point over the area the sockets cover.
std::shared_ptr<Image> flashPicture(const Rect& area, const std::vector<Rect>& sockets, Color color) {
    const int width = static_cast<int>(std::lround(area.size.width * 2));
    const int height = static_cast<int>(std::lround(area.size.height * 2));
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
    for (const Rect& socket : sockets) {
        const int x0 = static_cast<int>(std::lround((socket.origin.x - area.origin.x) * 2));
        const int y0 = static_cast<int>(std::lround((socket.origin.y - area.origin.y) * 2));
        const int x1 = std::min(width, x0 + static_cast<int>(std::lround(socket.size.width * 2)));
        const int y1 = std::min(height, y0 + static_cast<int>(std::lround(socket.size.height * 2)));
        for (int y = std::max(0, y0); y < y1; ++y)
            for (int x = std::max(0, x0); x < x1; ++x) {
                uint8_t* p = &pixels[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 4];
                p[0] = color.r8();
                p[1] = color.g8();
                p[2] = color.b8();
                p[3] = color.a8();
            }
    }
    return Image::fromRGBA(width, height, std::move(pixels), 2.0);
}

}  // namespace

Rect StatusView::defaultFrame() { return layout().frame; }

StatusView::StatusView(const Rect& frame) : StatusView(frame, GoldManager::getInstance()) {}

StatusView::StatusView(const Rect& frame, GoldManager* goldManager) : View(frame), followsGold_(goldManager != nullptr) {
    build();
    Object* self = this;
    // Bound to the panel's lifetime: the manager skips it once the panel is gone.
    if (goldManager) goldManager->addGoldObserver(self, [this](int64_t, int64_t) { updateGoldWithAnimated(true); });
    NMCommon::addObserver(self, [this](const Notification& n) { equipUpdated(n); }, GameEvents::kEquipUpdated);
}

StatusView::~StatusView() { NMCommon::removeObserver(static_cast<const void*>(static_cast<Object*>(this))); }

void StatusView::build() {
    const StatusLayout& l = layout();
    setUserInteractionEnabled(false);
    addSubview(PixelPanel::make(l.board, l.boardStyle));

    numberLabelsView_ = View::make<NumberLabelsView>(kNumberOfFigures, l.counterFontSize, l.counterColor, l.counterFrame, l.counterSpace);

    // Sockets under the figures, and the flash over the sockets (the figures stay on top).
    std::vector<Rect> sockets;
    Rect flashArea;
    for (const auto& label : numberLabelsView_->labels()) {
        const Rect figure = label->frame();
        const double centre = l.counterFrame.origin.x + figure.origin.x + figure.size.width / 2;
        const Rect socket(std::round(centre - l.socketWidth / 2), l.socketTop, l.socketWidth, l.socketHeight);
        addSubview(PixelPanel::makeSocket(socket, l.socketFill, l.socketDark, l.socketLit));
        sockets.push_back(socket);
        flashArea = flashArea.size.width <= 0 ? socket : flashArea.unionWith(socket);
    }
    effectImgView_ = View::make<ImageView>(flashArea);
    effectImgView_->setImage(flashPicture(flashArea, sockets, l.flashColor));
    effectImgView_->setHidden(true);
    addSubview(effectImgView_);

    goldRateLabel_ = DotFontLabel::loadedFromDescription(l.rateFrame, l.rateFontSize);
    goldRateLabel_->setTextColor(l.rateColor);
    goldRateLabel_->setTextAlignment(TextAlignment::center);
    goldRateLabel_->setAdjustsFontSizeToFitWidth(true);
    goldRateLabel_->setMinimumFontSize(l.rateFontSize / 2);
    addSubview(goldRateLabel_);
}

void StatusView::didMoveToWindow() {
    if (window()) drawRect();
}

void StatusView::drawRect() {
    effectImgView_->setHidden(true);
    if (!numberLabelsView_->superview()) insertSubviewBelow(numberLabelsView_, goldRateLabel_.get());
    numberLabelsView_->drawRect();
    updateGoldWithAnimated(false);
    updateEquip();
}

void StatusView::updateGoldWithAnimated(bool animated) {
    const uint32_t gold = followsGold_ ? GoldManager::getInstance()->currentGold() : 0;
    numberLabelsView_->updateNumber(gold, animated);
    if (!animated || animating_) return;
    animating_ = true;
    effectImgView_->setHidden(false);
    effectImgView_->setAlpha(1.0);
    AnimationOptions options;
    options.curve = AnimationCurve::easeIn;
    ImageView* flash = effectImgView_.get();
    std::weak_ptr<void> alive = lifetime();
    View::animateWithDuration(
        kFlashDuration, 0, options, [flash] { flash->setAlpha(0.0); },
        [this, alive](bool) {
            if (alive.expired()) return;
            animating_ = false;
            effectImgView_->setHidden(true);
        });
}

void StatusView::updateEquip() {
    const float rate = SavedStateStore::standardUserDefaults().floatForKey(SavedStateKeys::goldRate);
    if (rate > 1.0f)
        goldRateLabel_->setText(stringWithFormat("x%1.2f", {Value(static_cast<double>(rate))}));
    else
        goldRateLabel_->setText("");
}

void StatusView::equipUpdated(const Notification&) { updateEquip(); }
