#include "explore/ViewController.h"

#include <cstdio>
#include <mutex>
#include <vector>

#include "explore/EquipStatusView.h"
#include "explore/BalloonView.h"
#include "explore/ExploreStatusView.h"
#include "explore/MenuView.h"
#include "explore/NMCommon.h"
#include "explore/RankingManager.h"
#include "explore/StatusView.h"
#include "gamelink/GameLinkCommon.h"
#include "model/DungeonManager.h"
#include "model/DungeonStaticData.h"
#include "model/GameEvents.h"
#include "model/GameTags.h"
#include "model/GoldManager.h"
#include "model/LeftTimeManager.h"
#include "model/MemberManager.h"
#include "model/MonsterManager.h"
#include "model/SavedStateKeys.h"
#include "overlays/MangaViewManager.h"
#include "overlays/NMAlertViewManager.h"
#include "overlays/OverlayLayoutClasses.h"
#include "overlays/OverlayViewController.h"
#include "overlays/HUDManager.h"
#include "platform/core/Random.h"
#include "platform/resources/Format.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/services/Analytics.h"
#include "platform/services/LocalNotificationCenter.h"
#include "platform/sound/SoundEngine.h"
#include "platform/store/SavedStateStore.h"
#include "platform/ui/ActionSheetView.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/LayoutLoader.h"
#include "platform/ui/LeaderboardView.h"
#include "platform/ui/SocialComposer.h"
#include "stage/ExploreCycle.h"
#include "stage/KingImageView.h"
#include "stage/NMAnimationCommon.h"
#include "stage/StageView.h"
#include "stage/ViewEffects.h"

namespace {

namespace Keys = SavedStateKeys;

constexpr double kPosterDelay = 0.4;
constexpr double kSwipeHintDelay = 1.0;
constexpr double kQuakeStep = 0.06;
constexpr double kBadgeMinInterval = 3.0;
constexpr double kQuakeMinInterval = 3.0;
constexpr double kRatingMinInterval = 50.0;
constexpr double kPromptFrameTime = 0.125;
constexpr double kDreamFrameTime = 0.25;
constexpr int kDreamFrames = 19;
constexpr int kPromptFrames = 6;

SavedStateStore& store() { return SavedStateStore::standardUserDefaults(); }

// The background queue the composer is filled on.
BackgroundWorker& composeQueue() {
    static BackgroundWorker worker;
    return worker;
}

std::mutex ratingMutex;
std::shared_ptr<RatingPrompt>& ratingPromptSlot() {
    static std::shared_ptr<RatingPrompt> prompt;
    return prompt;
}

std::string formatted(const char* pattern, unsigned value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, pattern, value);
    return buf;
}

void setBadge(int64_t number) {
    if (auto center = LocalNotificationCenter::shared()) center->setApplicationIconBadgeNumber(number);
}

}  // namespace

// ---- Creation

void ViewController::registerLayoutClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        OverlayLayoutClasses::registerAll();
        // Each class is made at its usual size; the layout then gives it its frame.
        if (!LayoutLoader::isClassRegistered("StageView"))
            LayoutLoader::registerClass("StageView", [] { return std::make_shared<StageView>(Rect(0, 160, 320, 320)); });
        if (!LayoutLoader::isClassRegistered("KingImageView"))
            LayoutLoader::registerClass("KingImageView", [] { return std::make_shared<KingImageView>(Rect(184, 360, 80, 80)); });
        if (!LayoutLoader::isClassRegistered("StatusView"))
            LayoutLoader::registerClass("StatusView", [] { return std::make_shared<StatusView>(); });
        if (!LayoutLoader::isClassRegistered("ExploreStatusView"))
            LayoutLoader::registerClass("ExploreStatusView", [] { return std::make_shared<ExploreStatusView>(); });
        if (!LayoutLoader::isClassRegistered("MenuView")) LayoutLoader::registerClass<MenuView>("MenuView");
        if (!LayoutLoader::isClassRegistered("BalloonView"))
            LayoutLoader::registerClass("BalloonView", [] { return std::make_shared<BalloonView>(); });
        GameLinkListViewController::registerLayoutClasses();
        if (!LayoutLoader::isClassRegistered("EquipStatusView"))
            LayoutLoader::registerClass("EquipStatusView", [] { return std::make_shared<EquipStatusView>(); });
    });
}

ViewController::ViewController() : ScreenController("Main") { registerLayoutClasses(); }

ViewController::~ViewController() {
    if (isViewLoaded()) viewDidUnload();
    NMCommon::removeObserver(static_cast<Object*>(this));
    stopExploreTimer();
    dreamSwitch_.invalidate();
}

void ViewController::setRatingPrompt(std::shared_ptr<RatingPrompt> prompt) {
    std::lock_guard lock(ratingMutex);
    ratingPromptSlot() = std::move(prompt);
}

void ViewController::bindOutlets() {
    bind(bgImgView_, "bgImgView");
    // The stage and the king have no empty constructor, so their stand-ins are made here.
    stageView_ = viewNamed<StageView>("stageView");
    if (!stageView_) {
        LayoutLoader::reportError(layoutName(), "no view named \"stageView\" of the expected class");
        stageView_ = std::make_shared<StageView>(Rect(0, 160, 320, 320));
        stageView_->setHidden(true);
    }
    kingImgView_ = viewNamed<KingImageView>("kingImgView");
    if (!kingImgView_) {
        LayoutLoader::reportError(layoutName(), "no view named \"kingImgView\" of the expected class");
        kingImgView_ = std::make_shared<KingImageView>(Rect(184, 360, 80, 80));
        kingImgView_->setHidden(true);
    }
    bind(menuView_, "menuView");
    bind(exploreBtnContainer_, "exploreBtnContainer");
    bind(exploreBtn_, "exploreBtn");
    bind(promptImgView_, "promptImgView");
    bind(exploreStatusView_, "exploreStatusView");
    bind(reportBtn_, "reportBtn");
    bind(wantedImgView_, "wantedImgView");
    bind(imagineImgView_, "imagineImgView");
    bindAction("pressExplore", [this] { pressExplore(); });
    bindAction("pressReport", [this] { pressReport(); });
    bindAction("pressShare", [this] { pressShare(); });
    bindAction("pressRanking", [this] { pressRanking(); });
    bindAction("pressInfo", [this] { pressInfo(); });
    bindAction("pressSetting", [this] { pressSetting(); });
    bindAction("pressChat", [this] { pressChat(); });
    // The panel makes its own suspend button and time label; named here so they are found
    // like the layout's views.
    exploreStatusView_->suspendBtn()->setName("suspendBtn");
    exploreStatusView_->leftTimeLabel()->setName("leftTimeLabel");
    exploreStatusView_->setSuspendAction([this] { pressSuspend(); });
}

void ViewController::viewDidLoad() {
    wantedImgView_->setHidden(true);
    exploreStatusView_->setHidden(true);
    currentInterval_ = kUnloadedInterval;

    std::vector<std::shared_ptr<Image>> prompt;
    for (int i = 1; i <= kPromptFrames; ++i) prompt.push_back(Image::named(formatted("sankaku_%u@2x.png", static_cast<unsigned>(i))));
    promptImgView_->setAnimationImages(std::move(prompt));
    promptImgView_->setAnimationDuration(kPromptFrames * kPromptFrameTime);
    promptImgView_->setAnimationRepeatCount(0);
    promptImgView_->startAnimating();

    updateDungeon();
    stageView_->drawPersons();

    auto observe = [this](const char* name, void (ViewController::*handler)(const Notification&)) { NMCommon::observe(this, handler, name); };
    observe(GameEvents::kMoveDidEnd, &ViewController::moveDidEnd);
    observe(GameEvents::kDungeonUpdated, &ViewController::dungeonUpdated);
    observe(GameEvents::kExploreSuspended, &ViewController::exploreSuspended);
    observe(GameEvents::kMemberUpdated, &ViewController::memberUpdated);
    observe(GameEvents::kWillResignActive, &ViewController::willResignActive);
    observe(GameEvents::kCheckDidEnd, &ViewController::checkDidEnd);
    observe(GameEvents::kComebackDidEnd, &ViewController::comebackDidEnd);
    observe(GameEvents::kEquipUpdated, &ViewController::equipUpdated);
    observe(GameEvents::kBattling, &ViewController::battling);
    observe(GameEvents::kSleepAnimationDidStart, &ViewController::sleepAnimationDidStart);
}

void ViewController::viewDidUnload() {
    NMCommon::removeObserver(static_cast<Object*>(this));
    stopExploreTimer();
    dreamSwitch_.invalidate();
    history_.drop();
    setting_.drop();
    gamelink_.drop();
    if (shareSheet_) shareSheet_->onButton = nullptr;
    shareSheet_.reset();
    if (leaderboard_) leaderboard_->onFinish = nullptr;
    leaderboard_.reset();
}

void ViewController::viewWillAppear(bool) {
    // The advertising banner's place at the bottom edge.
    const Rect bounds = view()->bounds();
    auto banner = View::make<View>(Rect(0, bounds.height() - 50, 320, 50));
    banner->setTag(GameTags::kAdBanner);
    banner->setUserInteractionEnabled(false);
    view()->addSubview(banner);
}

void ViewController::viewWillDisappear(bool) {
    if (auto banner = view()->viewWithTag(GameTags::kAdBanner)) banner->removeFromSuperview();
}

// ---- Helpers

void ViewController::recordPage(const std::string& name) {
    if (auto analytics = Analytics::shared()) analytics->trackPageView("/" + name);
}

void ViewController::show(const std::string& key, const std::string& icon, bool hasBtn, int tag, std::function<void()> onOK) {
    NMAlertViewManager::getInstance()->showAlertWithMessage(NSLocalizedString(key), icon, hasBtn, tag, std::move(onOK));
}

void ViewController::placeKingBelowStage() {
    if (kingImgView_->superview() == stageView_->superview() && stageView_->superview())
        stageView_->superview()->insertSubviewBelow(kingImgView_, stageView_.get());
}

void ViewController::placeKingAbovePanel() {
    if (kingImgView_->superview() == exploreStatusView_->superview() && exploreStatusView_->superview())
        exploreStatusView_->superview()->insertSubviewAbove(kingImgView_, exploreStatusView_.get());
}

std::string ViewController::startMessageForExploreTime(double totalTime) {
    const unsigned t = totalTime > 0 ? static_cast<unsigned>(totalTime) : 0u;
    if (t >= 3600)
        return stringWithFormat(NSLocalizedString("FormatStartBodyLong"), {Value(t / 3600), Value((t % 3600) / 60)});
    if (t >= 60) {
        if (t % 60 == 0) return stringWithFormat(NSLocalizedString("FormatStartBodyMin"), {Value(t / 60)});
        return stringWithFormat(NSLocalizedString("FormatStartBody"), {Value(t / 60), Value(t % 60)});
    }
    return stringWithFormat(NSLocalizedString("FormatStartBodySec"), {Value(t)});
}

// ---- Dungeon

void ViewController::updateDungeon() {
    const unsigned d = DungeonManager::currentDungeonId();
    recordPage(formatted("STAGE_%u", d));
    bgImgView_->setImage(Image::named(formatted("stage_%u@2x.png", d)));
    stageView_->setCurrentDungeonInfo(DungeonStaticData::getInstance()->currentDungeonStaticInfo());
    currentInterval_ = LeftTimeManager::intervalAtCurrentDungeon();
}

void ViewController::dungeonUpdated(const Notification&) { updateDungeon(); }

void ViewController::equipUpdated(const Notification&) { currentInterval_ = LeftTimeManager::intervalAtCurrentDungeon(); }

// ---- Starting

void ViewController::pressExplore() {
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    NMAlertViewManager::getInstance()->showAlertWithMessage(startMessageForExploreTime(LeftTimeManager::totalTimeForExplore()),
                                                            "talk1@2x.png", true, GameTags::kStartExplore,
                                                            [this, alive = lifetime()] {
                                                                if (!alive.expired()) startExplore();
                                                            });
}

void ViewController::startExplore() {
    const DungeonRow* info = DungeonStaticData::getInstance()->currentDungeonStaticInfo();
    const unsigned d = info ? info->id : 0;

    if (!store().boolForKey(Keys::firstExplore)) {
        recordPage("FIRST_EXPLORE_V102");
        store().setBool(true, Keys::firstExplore);
    } else if (!store().boolForKey(Keys::secondExplore)) {
        recordPage("SECOND_EXPLORE_V102");
        store().setBool(true, Keys::secondExplore);
    }
    recordPage(formatted("START_EXPLORE_%u", d));

    store().setDouble(RunLoop::main().wallTime(), Keys::timestampStart);
    // Nobody is back yet: a game closed during the walk off must not count the last explore's returns.
    store().setInteger(0, Keys::numComeback);

    setBadge(0);
    NMCommon::cancelAllLocalPush();

    const double s = RunLoop::main().wallTime();
    const int64_t n = MemberManager::numTotalMembers();
    const double interval = currentInterval_;
    std::optional<std::string> sound;
    if (!store().boolForKey(Keys::pushSoundOff)) sound = "levelup.mp3";
    NMCommon::showLocalPushAtTime(s + static_cast<double>(n) * interval, NSLocalizedString("Notification"), "Default.png", Value(), sound);
    if (interval >= kBadgeMinInterval && n > 0)
        for (int64_t k = 1; k <= n; ++k) NMCommon::showLocalPushAtTime(s + static_cast<double>(k) * interval, k);

    numMovedPerson_ = 0;
    exploreBtnContainer_->setHidden(true);
    kingImgView_->startGoingExploreAnimation();

    const unsigned boss = DungeonStaticData::getInstance()->bossIdWithDungeionId(d);
    const bool hunted = MonsterManager::getInstance()->huntedMonsterWithId(boss);

    store().removeObjectForKey(Keys::battleLogs);
    updateReportBtn();

    stageView_->moveAllPersonsForExplore();
    // One write for the whole start: the start time together with every person marked away, so a
    // game killed right after the press comes back to the same explore, not to a party at home.
    store().synchronize();
    SoundEngine::sharedEngine().playEffect("se_charge.wav");

    if (!hunted) {
        performBlock(
            [this, d] {
                wantedImgView_->setImage(Image::named(formatted("wanted%u@2x.png", d)));
                wantedImgView_->setAlpha(1.0);
                wantedImgView_->setHidden(false);
                NMAnimationCommon::animateView(*wantedImgView_, NMAnimationCommon::kGrowInWithBounce, true);
            },
            0);
    }
}

// ---- Departure

void ViewController::moveDidEnd(const Notification&) {
    ++numMovedPerson_;
    if (static_cast<int64_t>(numMovedPerson_) >= MemberManager::numTotalMembers()) allPersonExplored();
}

void ViewController::allPersonExplored() {
    store().setInteger(0, Keys::numComeback);
    performBlock(
        [this] {
            NMAnimationCommon::animateView(*wantedImgView_, NMAnimationCommon::kShrinkOut, true, [this] {
                wantedImgView_->setHidden(true);
                kingImgView_->startSleepAnimation();
                startExploreTimer();
            });
        },
        kPosterDelay);
}

// ---- Polling

void ViewController::startExploreTimer() {
    exploreStatusView_->show();
    placeKingAbovePanel();
    if (!exploreTimer_.isValid()) {
        exploreTimer_ = RunLoop::main().scheduleTimer(kPollingInterval, true, [this, alive = lifetime()] {
            if (!alive.expired()) explorePolling();
        });
    }
    explorePolling();
}

void ViewController::stopExploreTimer() {
    exploreTimer_.invalidate();
    exploreTimer_ = TimerHandle();
}

void ViewController::explorePolling() { checkTimestampsWithAnimated(true); }

void ViewController::willResignActive(const Notification&) { stopExploreTimer(); }

void ViewController::checkTimestampsWithAnimated(bool animated) {
    const double s = LeftTimeManager::exploreStartAt(RunLoop::main().wallTime());
    if (s <= 0) {
        finishExploreWithResult(false, false);
        return;
    }
    const ExploreCycle cycle(s, currentInterval_, MemberManager::numTotalMembers(), LeftTimeManager::totalTimeForExplore());
    const ExploreProgress p = cycle.progressAt(RunLoop::main().wallTime(), LeftTimeManager::comebackCount());
    LeftTimeManager::getInstance()->setLeftTime(p.left);
    for (int64_t i = 0; i < p.returning; ++i) stageView_->comebackOnePersonWithResult(true, animated);
    store().setInteger(p.numComeback, Keys::numComeback);
    exploreStatusView_->updateStatus();

    if (!p.finished) {
        if (p.waitHintDue) showWaitTutorialIfNeeded();
        return;
    }
    finishExploreWithResult(true, animated);
}

void ViewController::showWaitTutorialIfNeeded() {
    if (store().boolForKey(Keys::waitTutorialShown)) return;
    show("AppClose", "talk2@2x.png");
    store().setBool(true, Keys::waitTutorialShown);
}

// ---- Finishing

void ViewController::finishExploreWithResult(bool result, bool animated) {
    NMCommon::cancelAllLocalPush();
    LeftTimeManager::getInstance()->setLeftTime(0);
    store().removeObjectForKey(Keys::timestampStart);
    store().synchronize();
    if (stageView_->isAnyoneExploring()) stageView_->comebackAllPersonWithResult(result, animated);
    else comebackDidEnd(Notification{GameEvents::kComebackDidEnd, Value(), Value()});
    stopExploreTimer();
}

void ViewController::exploreSuspended(const Notification&) { finishExploreWithResult(false, false); }

void ViewController::pressSuspend() {
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    show("Suspend", "talk1@2x.png", true, GameTags::kSuspend, [this, alive = lifetime()] {
        if (!alive.expired()) finishExploreWithResult(false, true);
    });
}

void ViewController::comebackDidEnd(const Notification&) {
    updateReportBtn();
    if (stageView_->isAnyoneExploring()) return;
    exploreStatusView_->hide();
    placeKingBelowStage();
    stopDream();
    kingImgView_->startExploreEndAnimation();
    if (stageView_->isAnyoneHavingYield()) {
        // Remembered as it shows: a game closed in the second before still owes the hint.
        if (!store().boolForKey(Keys::swipeTutorialShown)) {
            performBlock(
                [this] {
                    if (store().boolForKey(Keys::swipeTutorialShown)) return;
                    show("SwipeTutorial", "talk5@2x.png");
                    store().setBool(true, Keys::swipeTutorialShown);
                },
                kSwipeHintDelay);
        }
    } else {
        checkDidEnd(Notification{GameEvents::kCheckDidEnd, Value(), Value()});
    }
}

void ViewController::checkDidEnd(const Notification&) { updateExploreBtn(); }

void ViewController::updateExploreBtn() {
    if (stageView_->isAnyoneExploring()) {
        exploreBtnContainer_->setHidden(true);
        kingImgView_->startSleepAnimation();
        return;
    }
    if (stageView_->isAnyoneHavingYield()) {
        exploreBtnContainer_->setHidden(true);
        stopDream();
        kingImgView_->startExploreEndAnimation();
        return;
    }
    stageView_->resetPersonPoses();
    setBadge(0);
    if (store().boolForKey(Keys::firstExplore) && !store().boolForKey(Keys::firstCheck)) {
        store().setBool(true, Keys::firstCheck);
        store().synchronize();
        recordPage("FIRST_CHECK_V102");
    }
    recordPage(formatted("FINISH_CHECK_%u", DungeonManager::currentDungeonId()));
    GoldManager::getInstance()->saveGold();
    MonsterManager::getInstance()->saveMonsters();
    if (store().boolForKey(Keys::firstCheck) && !store().boolForKey(Keys::exploreTutorial2Shown) &&
        !DungeonManager::isUnlockedWithDungeonId(2)) {
        store().setBool(true, Keys::exploreTutorial2Shown);
        show("Explore2Tutorial", "talk6@2x.png");
    }
    exploreBtnContainer_->setHidden(false);
    NMAnimationCommon::animateView(*exploreBtnContainer_, NMAnimationCommon::kGrowInWithBounce, true);
    kingImgView_->startCheckEndAnimation();
}

void ViewController::updateReportBtn() { reportBtn_->setHidden(store().objectForKey(Keys::battleLogs).count() == 0); }

// ---- Resuming

void ViewController::appear() {
    (void)view();
    if (!store().boolForKey(Keys::firstMainDone)) {
        recordPage("FIRST_MAIN");
        store().setBool(true, Keys::firstMainDone);
    }
    recordPage("MAIN");
    checkTimestampsWithAnimated(false);
    if (store().doubleForKey(Keys::timestampStart) > 0) {
        kingImgView_->startSleepAnimation();
        exploreBtnContainer_->setHidden(true);
        startExploreTimer();
    }
    updateExploreBtn();
    updateReportBtn();
    if (store().boolForKey(Keys::tutorialShown)) {
        SoundEngine::sharedEngine().playBackgroundMusic(DungeonManager::currentDungeonBGM());
    } else {
        MangaViewManager::getInstance()->showMangaWithMode(0, false);
        store().setBool(true, Keys::tutorialShown);
    }
}

// ---- Party and battles

void ViewController::memberUpdated(const Notification&) {
    stageView_->drawAddedPersons();
    SoundEngine::sharedEngine().playEffect("levelup.mp3");
    show("MemberAdded", "talk3@2x.png");
}

void ViewController::battling(const Notification&) {
    if (!(currentInterval_ > kQuakeMinInterval) || isQuaking_) return;
    isQuaking_ = true;
    SoundEngine::sharedEngine().playEffect("SE001.mp3");
    ViewEffects::quakeWithCount(*view(), 20, 0.02);
    flash(2);
}

void ViewController::flash(int count) {
    performBlock(
        [this, count] {
            if (count <= 1) isQuaking_ = false;
            else flash(count - 1);
        },
        kQuakeStep);
}

// ---- The king asleep: the rating prompt and the dream

void ViewController::sleepAnimationDidStart(const Notification&) {
    if (currentInterval_ > kRatingMinInterval) {
        std::shared_ptr<RatingPrompt> prompt;
        {
            std::lock_guard lock(ratingMutex);
            prompt = ratingPromptSlot();
        }
        if (prompt) {
            if (prompt->shouldPromptForRating()) {
                prompt->setButtonTitles(NSLocalizedString("CancelButton"), NSLocalizedString("RemindButton"),
                                        NSLocalizedString("RateButton"));
                prompt->setTitleAndMessage(NSLocalizedString("RateTitle"), NSLocalizedString("RateBody"));
                prompt->promptIfNetworkAvailable();
            } else {
                prompt->logSignificantEventWithoutPrompt();
            }
        }
    }
    if (DungeonManager::currentDungeonId() == 1) startDream();
}

void ViewController::startDream() {
    std::vector<std::shared_ptr<Image>> frames;
    for (unsigned i = 1; i <= kDreamFrames; ++i) {
        const std::string name = formatted("loading%u@2x.png", i);
        if (Image::exists(name)) frames.push_back(Image::named(name));
    }
    const double duration = static_cast<double>(frames.size()) * kDreamFrameTime;
    imagineImgView_->setHidden(false);
    imagineImgView_->setAnimationImages(std::move(frames));
    imagineImgView_->setAnimationDuration(duration);
    imagineImgView_->setAnimationRepeatCount(1);
    imagineImgView_->startAnimating();
    dreamSwitch_.invalidate();
    dreamSwitch_ = performBlock(
        [this] {
            std::vector<std::shared_ptr<Image>> loop;
            for (const char* name : {"loading19@2x.png", "loading20@2x.png"})
                if (Image::exists(name)) loop.push_back(Image::named(name));
            imagineImgView_->setAnimationImages(std::move(loop));
            imagineImgView_->setAnimationDuration(2 / 4.0);
            imagineImgView_->setAnimationRepeatCount(0);
            imagineImgView_->startAnimating();
        },
        duration);
}

void ViewController::stopDream() {
    dreamSwitch_.invalidate();
    imagineImgView_->stopAnimating();
    imagineImgView_->setHidden(true);
}

// ---- Other screens

void ViewController::pressReport() {
    recordPage("REPORT");
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    auto& report = history_.present(view().get());
    report.updateHistory();
    report.appearWithAnimationAllowInteraction(false);
}

void ViewController::pressInfo() {
    recordPage("INFO");
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    auto& list = gamelink_.present(view().get());
    list.moveDownOnTallScreen();
    list.setThisAppId(GameLinkCommon::thisAppId());
    list.startLoad();
    list.appearWithAnimationAllowInteraction(false);
}

void ViewController::pressSetting() {
    recordPage("SETTING");
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    auto& setting = setting_.present(view().get());
    setting.moveDownOnTallScreen();
    setting.appearWithAnimationAllowInteraction(false);
}

// ---- Sharing

std::string ViewController::shareSheetTitle() {
    if (MemberManager::canAddMember()) return NSLocalizedString("PostBonus");
    if (MemberManager::isMaxMember()) return NSLocalizedString("PostBonusMax");
    return stringWithFormat(NSLocalizedString("PostBonusLeft"), {Value(NMCommon::timeStringFromTime(MemberManager::leftTimeToAddMember()))});
}

void ViewController::pressShare() {
    recordPage("SHARE");
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    if (shareSheet_ && shareSheet_->isVisible()) return;
    shareSheet_ = std::make_shared<ActionSheetView>(shareSheetTitle(), NSLocalizedString("Cancel"),
                                                    std::vector<std::string>{NSLocalizedString("ToTwitter")});
    shareSheet_->setAlertTag(GameTags::kShareSheet);
    ActionSheetView* sheet = shareSheet_.get();
    shareSheet_->onButton = [this, sheet, alive = lifetime()](int index) {
        if (!alive.expired()) actionSheetClickedButtonAtIndex(*sheet, index);
    };
    shareSheet_->showInView(*view());
}

void ViewController::actionSheetClickedButtonAtIndex(ActionSheetView& sheet, int buttonIndex) {
    if (sheet.alertTag() == GameTags::kShareSheet && buttonIndex == 0) startPostToTwitter();
}

std::string ViewController::stringForPost() {
    static const char* const kPosts[] = {"Post1", "Post2", "Post3"};
    return NSLocalizedString(kPosts[RandomSource::shared().next() % 3]);
}

void ViewController::startPostToTwitter() {
    if (!SocialComposer::canSendPost()) {
        NMCommon::showAlertWithTitle(NSLocalizedString("TwitterAlertTitle"), NSLocalizedString("TwitterAlertBody"), nullptr, 0);
        return;
    }
    HUDManager::getInstance()->showHUDOnWindowWithText(NSLocalizedString("Loading..."));
    const std::string link = NSLocalizedString("AppUrl");
    composeQueue().dispatch([link] {
        auto composer = std::make_shared<SocialComposer>();
        composer->setInitialText(stringForPost());
        composer->addUrl(link);
        std::weak_ptr<SocialComposer> weak = composer;
        composer->setCompletionHandler([weak](SocialComposer::Result result) {
            postDidFinish(result == SocialComposer::Result::done);
            if (auto c = weak.lock()) c->dismiss(true);
        });
        RunLoop::main().post([composer] {
            composer->present();
            HUDManager::getInstance()->hideHUD();
        });
    });
}

void ViewController::postDidFinish(bool done) {
    if (!done) return;
    NMCommon::showAlertWithTitle("", NSLocalizedString("PostSucceed"), nullptr, 0);
    if (!MemberManager::canAddMember()) return;
    MemberManager::addMember();
    store().setDouble(RunLoop::main().wallTime(), Keys::timestampPostBonus);
    store().synchronize();
}

// ---- Rankings

void ViewController::pressRanking() {
    recordPage("RANKING");
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    if (leaderboard_) return;
    leaderboard_ = std::make_shared<LeaderboardView>(LeaderboardService::shared(), LeaderboardTimeScope::today);
    leaderboard_->onFinish = [this, alive = lifetime()] {
        if (!alive.expired()) leaderboardViewControllerDidFinish();
    };
    leaderboard_->showInView(*view());
}

// The screen is already leaving; it is let go on the next pass, outside its own callback.
void ViewController::leaderboardViewControllerDidFinish() {
    performBlock([this] { leaderboard_.reset(); }, 0);
}

namespace {
std::mutex chatMutex;
ViewController::ChatOpener& chatOpenerSlot() {
    static ViewController::ChatOpener opener;
    return opener;
}
}  // namespace

void ViewController::setChatOpener(ChatOpener opener) {
    std::lock_guard lock(chatMutex);
    chatOpenerSlot() = std::move(opener);
}

void ViewController::pressChat() {
    recordPage("CHAT");
    SoundEngine::sharedEngine().playEffect("tap.mp3");
    const auto languages = LocalizedStrings::preferredLanguages();
    const std::string group = !languages.empty() && languages.front() == "ja" ? "1" : "2";
    ChatOpener opener;
    {
        std::lock_guard lock(chatMutex);
        opener = chatOpenerSlot();
    }
    if (opener) opener(group, NSLocalizedString("ChatTitle"));
}
