#pragma once
// The main screen: the stage with the party, the king, the explore button and the
// remaining-time panel. It owns the explore cycle, which runs on the wall clock from the stored
// start time: person k is back at start + k x interval, so the game may be closed meanwhile and
// `appear` picks the cycle up again from what was stored.
//
//   press explore -> OK -> startExplore: start time stored, notifications scheduled,
//   everybody walks off -> the last walk ends: king asleep, 1 s polling -> one return per
//   interval -> all back: start time removed -> the player collects every yield -> gold and
//   monsters saved, the explore button comes back.
//
// The screen is built from "layouts/Main.json" ("Main-568.json" on the tall screen).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "gamelink/GameLinkListViewController.h"
#include "overlays/HistoryListViewController.h"
#include "overlays/OverlaySlot.h"
#include "overlays/SettingViewController.h"
#include "platform/core/RunLoop.h"
#include "platform/events/Notification.h"
#include "platform/ui/ScreenController.h"

class ActionSheetView;
class Button;
class ExploreStatusView;
class LeaderboardView;
class ImageView;
class KingImageView;
class MenuView;
class StageView;
class View;

// The rating prompt's service kit, as the main screen asks it (a recording stand-in is enough
// where there is no store to rate in).
class RatingPrompt {
public:
    virtual ~RatingPrompt() = default;
    virtual bool shouldPromptForRating() = 0;
    virtual void setButtonTitles(const std::string& cancel, const std::string& remind, const std::string& rate) = 0;
    virtual void setTitleAndMessage(const std::string& title, const std::string& message) = 0;
    virtual void promptIfNetworkAvailable() = 0;
    virtual void logSignificantEventWithoutPrompt() = 0;
};

class ViewController : public ScreenController {
public:
    static constexpr double kPollingInterval = 1.0;
    static constexpr double kUnloadedInterval = 100000.0;

    ViewController();
    ~ViewController() override;

    // The game classes the main layout names (StageView, KingImageView and the widgets).
    static void registerLayoutClasses();
    // The confirmation text for an explore of totalTime seconds.
    static std::string startMessageForExploreTime(double totalTime);

    // ---- The cycle
    void appear();
    void updateDungeon();
    void pressExplore();
    void startExplore();
    void pressSuspend();
    void startExploreTimer();
    void stopExploreTimer();
    void explorePolling();
    void checkTimestampsWithAnimated(bool animated);
    void finishExploreWithResult(bool result, bool animated);
    void allPersonExplored();
    void updateExploreBtn();
    void updateReportBtn();
    void showWaitTutorialIfNeeded();
    void flash(int count);

    // ---- Other screens (their overlays come with their own screens, each in its slot below)
    void pressReport();
    void pressInfo();
    void pressSetting();
    void pressShare();
    void pressRanking();

    // ---- Sharing for a bonus: one more member for a post, at most every three hours, ten in all
    // The share sheet's title for the bonus state now.
    static std::string shareSheetTitle();
    void actionSheetClickedButtonAtIndex(ActionSheetView& sheet, int buttonIndex);
    // Opens the composer (filled on the background queue, shown on the main loop), or tells the
    // player why a post cannot be made.
    void startPostToTwitter();
    // "Post1", "Post2" or "Post3", by a draw of the random source.
    static std::string stringForPost();
    // The composer's answer: the bonus is decided now, by the state when the post finished.
    static void postDidFinish(bool done);

    // ---- Rankings
    void leaderboardViewControllerDidFinish();
    // The community chat: group "1" for a player whose first language is Japanese, else "2".
    void pressChat();
    // Who opens the chat window (the application sets it; none: nothing opens).
    using ChatOpener = std::function<void(const std::string& group, const std::string& title)>;
    static void setChatOpener(ChatOpener opener);

    // ---- Events
    void moveDidEnd(const Notification& n);
    void dungeonUpdated(const Notification& n);
    void exploreSuspended(const Notification& n);
    void memberUpdated(const Notification& n);
    void willResignActive(const Notification& n);
    void checkDidEnd(const Notification& n);
    void comebackDidEnd(const Notification& n);
    void equipUpdated(const Notification& n);
    void battling(const Notification& n);
    void sleepAnimationDidStart(const Notification& n);

    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    // The rating service asked when the king falls asleep in a long explore (none: not asked).
    static void setRatingPrompt(std::shared_ptr<RatingPrompt> prompt);

    // ---- State, for the screen's owner and its tests
    bool isQuaking() const { return isQuaking_; }
    unsigned numMovedPerson() const { return numMovedPerson_; }
    double currentInterval() const { return currentInterval_; }
    bool isTimerRunning() const { return exploreTimer_.isValid(); }
    const std::shared_ptr<StageView>& stageView() { return (void)view(), stageView_; }
    const std::shared_ptr<ImageView>& bgImgView() { return (void)view(), bgImgView_; }
    const std::shared_ptr<KingImageView>& kingImgView() { return (void)view(), kingImgView_; }
    const std::shared_ptr<MenuView>& menuView() { return (void)view(), menuView_; }
    const std::shared_ptr<View>& exploreBtnContainer() { return (void)view(), exploreBtnContainer_; }
    const std::shared_ptr<Button>& exploreBtn() { return (void)view(), exploreBtn_; }
    const std::shared_ptr<ImageView>& promptImgView() { return (void)view(), promptImgView_; }
    const std::shared_ptr<ExploreStatusView>& exploreStatusView() { return (void)view(), exploreStatusView_; }
    const std::shared_ptr<Button>& reportBtn() { return (void)view(), reportBtn_; }
    const std::shared_ptr<ImageView>& wantedImgView() { return (void)view(), wantedImgView_; }
    const std::shared_ptr<ImageView>& imagineImgView() { return (void)view(), imagineImgView_; }
    const std::shared_ptr<HistoryListViewController>& historyCtr() const { return history_.screen(); }
    const std::shared_ptr<SettingViewController>& settingCtr() const { return setting_.screen(); }
    const std::shared_ptr<GameLinkListViewController>& gamelinkCtr() const { return gamelink_.screen(); }
    const std::shared_ptr<LeaderboardView>& leaderboardCtr() const { return leaderboard_; }
    const std::shared_ptr<ActionSheetView>& shareSheet() const { return shareSheet_; }

protected:
    void bindOutlets() override;
    void viewDidLoad() override;
    void viewDidUnload() override;

private:
    void recordPage(const std::string& name);
    // A message box with the text of the key; a confirmation (hasBtn) runs onOK on its OK.
    void show(const std::string& key, const std::string& icon, bool hasBtn = false, int tag = 0,
              std::function<void()> onOK = {});
    void stopDream();
    void startDream();
    void placeKingBelowStage();
    void placeKingAbovePanel();

    bool isQuaking_ = false;
    unsigned numMovedPerson_ = 0;
    double currentInterval_ = kUnloadedInterval;
    TimerHandle exploreTimer_;
    TimerHandle dreamSwitch_;

    std::shared_ptr<StageView> stageView_;
    std::shared_ptr<ImageView> bgImgView_;
    std::shared_ptr<KingImageView> kingImgView_;
    std::shared_ptr<MenuView> menuView_;
    std::shared_ptr<View> exploreBtnContainer_;
    std::shared_ptr<Button> exploreBtn_;
    std::shared_ptr<ImageView> promptImgView_;
    std::shared_ptr<ExploreStatusView> exploreStatusView_;
    std::shared_ptr<Button> reportBtn_;
    std::shared_ptr<ImageView> wantedImgView_;
    std::shared_ptr<ImageView> imagineImgView_;
    // The screens laid over the main screen's root view.
    OverlaySlot<HistoryListViewController> history_;
    OverlaySlot<GameLinkListViewController> gamelink_;
    OverlaySlot<SettingViewController> setting_;
    // The platform's own panels while they are up: the share sheet and the leaderboards.
    std::shared_ptr<ActionSheetView> shareSheet_;
    std::shared_ptr<LeaderboardView> leaderboard_;
};
