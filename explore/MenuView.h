#pragma once
// The main screen's menu: the shop, map list and collection buttons, the small buttons for
// sharing, rankings, the game list, the settings and the chat, a speech balloon announcing a
// new shop or map, and the mark of a newly counted monster. Every button shows only once the
// game has opened it; the stored flags make that right after every restart, and the events keep
// it current. The story scenes after a boss and after a full collection start here too.
//
// Its own three buttons open their screens; the small buttons name actions of the main screen
// ("pressShare", "pressRanking", "pressInfo", "pressSetting", "pressChat") in the layout. The
// menu view itself takes no touches: what falls between its buttons reaches the stage below.
#include <memory>
#include <string>

#include "platform/events/Notification.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/LayoutLoader.h"
#include "platform/ui/View.h"

class BalloonView;

class MenuView : public View, public LayoutAware {
public:
    static constexpr double kBalloonFrameTime = 0.35;  // two frames in 0.7 s

    explicit MenuView(const Rect& frame = Rect(0, 0, 320, 480));
    ~MenuView() override;

    // The visibility rules; the balloon and the new mark are hidden.
    void drawRect();
    void updateShareBtn();
    void updateRankingBtn();
    void updateInfoBtn();
    void updateSettingBtn();

    void pressMenu1();
    void pressMenu2();
    void pressMenu3();

    // Events.
    void shopUnlocked(const Notification& n);
    void mapUnlocked(const Notification& n);
    void collectionUnlocked(const Notification& n);
    void newMapAdded(const Notification& n);
    void newMonsterAdded(const Notification& n);
    void gamecenterStatusUpdated(const Notification& n);

    // ---- Outlets (the layout's views of these names)
    const std::shared_ptr<Button>& menuBtn1() const { return menuBtn1_; }
    const std::shared_ptr<Button>& menuBtn2() const { return menuBtn2_; }
    const std::shared_ptr<Button>& menuBtn3() const { return menuBtn3_; }
    const std::shared_ptr<BalloonView>& balloonView() const { return balloonView_; }
    const std::shared_ptr<ImageView>& blandnewIcon() const { return blandnewIcon_; }
    const std::shared_ptr<Button>& rankingBtn() const { return rankingBtn_; }
    const std::shared_ptr<Button>& shareBtn() const { return shareBtn_; }
    const std::shared_ptr<Button>& infoBtn() const { return infoBtn_; }
    const std::shared_ptr<Button>& settingBtn() const { return settingBtn_; }
    const std::shared_ptr<Button>& chatBtn() const { return chatBtn_; }

    void awakeFromLayout() override;
    std::shared_ptr<View> hitTest(Point p) override;

protected:
    void didMoveToWindow() override;

private:
    // The balloon with a text, its two frames (the last one resting) and its tag, popped in.
    void announce(const std::string& textKey, const std::string& framePattern, int tag);

    std::shared_ptr<Button> menuBtn1_;
    std::shared_ptr<Button> menuBtn2_;
    std::shared_ptr<Button> menuBtn3_;
    std::shared_ptr<BalloonView> balloonView_;
    std::shared_ptr<ImageView> blandnewIcon_;
    std::shared_ptr<Button> rankingBtn_;
    std::shared_ptr<Button> shareBtn_;
    std::shared_ptr<Button> infoBtn_;
    std::shared_ptr<Button> settingBtn_;
    std::shared_ptr<Button> chatBtn_;
    bool observing_ = false;
};
