#pragma once
// The speech balloon of the main menu (the shop or a new map has opened) and of the stage (the
// boss is beaten): a balloon picture, often a two-frame animation, with one line of text that
// shrinks to fit. It pops in with a bounce and shrinks away. Its tag names the announcement it
// carries: 1 shop, 2 map.
#include <memory>
#include <string>

#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

class BalloonView : public View {
public:
    enum : int { kTagShop = 1, kTagMap = 2 };
    static Rect defaultFrame();

    explicit BalloonView(const Rect& frame = defaultFrame());

    const std::shared_ptr<ImageView>& balloonImgView() const { return balloonImgView_; }
    const std::shared_ptr<Label>& msgLabel() const { return msgLabel_; }

    // Unhides and grows in with a bounce.
    void show();
    // Shrinks out, hidden at the end.
    void hide();
    void updateMsg(const std::string& text);
    // The resting picture (shown whenever no frame animation runs).
    void updateBalloonImage(std::shared_ptr<Image> image);

private:
    std::shared_ptr<ImageView> balloonImgView_;
    std::shared_ptr<Label> msgLabel_;
    unsigned showCount_ = 0;
};
