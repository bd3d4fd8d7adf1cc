// Pressing explore: the confirmation text, what the start stores and schedules, the first-time
// pages and the report button.
#include "controller_support.h"

#include "model/DungeonManager.h"

namespace controllertests {
namespace {

class ControllerStartTest : public ControllerTest {
protected:
    // Dungeon d with the time rate r (0: none).
    void useDungeon(unsigned d, float rate = 0) {
        store().setInteger(d, Keys::currentDungeonId);
        if (rate > 0) store().setFloat(rate, Keys::timeRate);
    }
    std::string askedText() {
        tap(*ctr->exploreBtn());
        return alertText();
    }
    std::vector<LocalNotification> badges() const {
        std::vector<LocalNotification> out;
        for (const auto& n : notifications->scheduledLocalNotifications())
            if (n.badgeNumber) out.push_back(n);
        return out;
    }
    std::vector<LocalNotification> bodies() const {
        std::vector<LocalNotification> out;
        for (const auto& n : notifications->scheduledLocalNotifications())
            if (n.alertBody) out.push_back(n);
        return out;
    }
};

// ---- The confirmation text

TEST_F(ControllerStartTest, FiftyNineSecondsAreAnnouncedInSeconds) {
    useDungeon(2, 0.4917f);  // 20 x 6 s x 0.4917 = 59.004 s
    load();
    EXPECT_EQ(static_cast<unsigned>(LeftTimeManager::totalTimeForExplore()), 59u);
    EXPECT_EQ(askedText(), stringWithFormat(NSLocalizedString("FormatStartBodySec"), {Value(59u)}));
    EXPECT_NE(askedText().find("59"), std::string::npos);
    EXPECT_EQ(alert()->alertTag(), ViewController::kStartExploreTag);
    EXPECT_FALSE(alert()->okBtn()->isHidden());
}

TEST_F(ControllerStartTest, SixtySecondsAreOneWholeMinute) {
    useDungeon(2, 0.5f);  // 20 x 3 s
    load();
    EXPECT_EQ(askedText(), stringWithFormat(NSLocalizedString("FormatStartBodyMin"), {Value(1u)}));
}

TEST_F(ControllerStartTest, SixtyOneSecondsAreMinutesAndSeconds) {
    useDungeon(2, 0.5084f);  // 61.008 s
    load();
    EXPECT_EQ(askedText(), stringWithFormat(NSLocalizedString("FormatStartBody"), {Value(1u), Value(1u)}));
}

TEST_F(ControllerStartTest, AnHourIsHoursAndMinutes) {
    useDungeon(6);  // 20 x 180 s
    load();
    EXPECT_EQ(askedText(), stringWithFormat(NSLocalizedString("FormatStartBodyLong"), {Value(1u), Value(0u)}));
    EXPECT_EQ(ViewController::startMessageForExploreTime(3600), askedText());
    EXPECT_EQ(ViewController::startMessageForExploreTime(7199.9),
              stringWithFormat(NSLocalizedString("FormatStartBodyLong"), {Value(1u), Value(59u)}));
}

TEST_F(ControllerStartTest, ClosingTheQuestionWithoutOKStartsNothing) {
    load();
    tap(*ctr->exploreBtn());
    closeAlert();
    advance(3.0);
    EXPECT_EQ(store().doubleForKey(Keys::timestampStart), 0);
    EXPECT_FALSE(ctr->exploreBtnContainer()->isHidden());
    EXPECT_EQ(exploringCount(), 0);
}

TEST_F(ControllerStartTest, OKPressedWithAnotherTagOrNoNumberIsIgnored) {
    load();
    NMCommon::sendNotification("okPressed", Value(static_cast<int64_t>(777)));
    NMCommon::sendNotification("okPressed", Value("12345"));
    NMCommon::sendNotification("okPressed");
    advance(1.0);
    EXPECT_EQ(store().doubleForKey(Keys::timestampStart), 0);
    EXPECT_EQ(exploringCount(), 0);
}

// ---- What the start schedules

TEST_F(ControllerStartTest, LongIntervalsScheduleABadgePerReturnAndTheEndWithSound) {
    useDungeon(2);  // 6 s
    load();
    notifications->scheduleLocalNotification(LocalNotification{0, wall() + 999, std::string("old"), "", Value(), {}, {}});
    notifications->setApplicationIconBadgeNumber(5);
    const double start = startExploreByTouch();
    EXPECT_DOUBLE_EQ(start, kStart + 1.0);  // the box's opening before OK
    EXPECT_EQ(notifications->applicationIconBadgeNumber(), 0);

    const auto end = bodies();
    ASSERT_EQ(end.size(), 1u) << "the old notification was cancelled";
    EXPECT_DOUBLE_EQ(end[0].fireDate, start + 20 * 6.0);
    EXPECT_EQ(*end[0].alertBody, NSLocalizedString("Notification"));
    EXPECT_EQ(end[0].launchImage, "Default.png");
    EXPECT_TRUE(end[0].userInfo.isNil());
    ASSERT_TRUE(end[0].soundName.has_value());
    EXPECT_EQ(*end[0].soundName, "levelup.mp3");

    const auto b = badges();
    ASSERT_EQ(b.size(), 20u);
    for (size_t k = 1; k <= 20; ++k) {
        EXPECT_DOUBLE_EQ(b[k - 1].fireDate, start + static_cast<double>(k) * 6.0);
        EXPECT_EQ(*b[k - 1].badgeNumber, static_cast<int64_t>(k));
        EXPECT_FALSE(b[k - 1].alertBody.has_value());
        EXPECT_FALSE(b[k - 1].soundName.has_value());
    }
}

TEST_F(ControllerStartTest, ShortIntervalsScheduleOnlyTheSilentEndWhenSoundIsOff) {
    store().setBool(true, Keys::pushSoundOff);
    load();  // dungeon 1: 1 s
    const double start = startExploreByTouch();
    EXPECT_TRUE(badges().empty());
    const auto end = bodies();
    ASSERT_EQ(end.size(), 1u);
    EXPECT_DOUBLE_EQ(end[0].fireDate, start + 20.0);
    EXPECT_FALSE(end[0].soundName.has_value());
}

TEST_F(ControllerStartTest, ThreeSecondsIsLongEnoughForBadges) {
    useDungeon(2, 0.5f);  // exactly 3 s
    load();
    startExploreByTouch();
    EXPECT_EQ(badges().size(), 20u);
}

TEST_F(ControllerStartTest, AnAddedMemberGetsItsOwnBadge) {
    useDungeon(2);
    MemberManager::addMemberWithId(1);
    load();
    startExploreByTouch();
    EXPECT_EQ(badges().size(), 21u);
    EXPECT_EQ(ctr->stageView()->persons().size(), 21u);
}

// ---- The departure

TEST_F(ControllerStartTest, TheStartSendsEveryoneOffAndTheKingToSleep) {
    useDungeon(2);
    load();
    startExploreByTouch();
    EXPECT_TRUE(ctr->exploreBtnContainer()->isHidden());
    EXPECT_EQ(exploringCount(), 20);
    EXPECT_FALSE(ctr->isTimerRunning());
    advance(0.1);
    EXPECT_FALSE(ctr->wantedImgView()->isHidden()) << "the boss is not hunted yet";
    letEveryoneLeave();
    EXPECT_EQ(ctr->numMovedPerson(), 20u);
    EXPECT_EQ(numComeback(), 0);
    EXPECT_TRUE(ctr->wantedImgView()->isHidden());
    EXPECT_TRUE(ctr->isTimerRunning());
    EXPECT_TRUE(ctr->exploreStatusView()->isShown());
    advance(2.0);
    EXPECT_EQ(ctr->kingImgView()->currentState(), KingImageView::kStateAsleep);
    // The king stands in front of the panel while the party is away.
    const auto& subs = ctr->view()->subviews();
    const auto at = [&](const View* v) { return std::find_if(subs.begin(), subs.end(), [v](const auto& s) { return s.get() == v; }); };
    EXPECT_GT(at(ctr->kingImgView().get()), at(ctr->exploreStatusView().get()));
}

TEST_F(ControllerStartTest, AHuntedBossShowsNoPoster) {
    useDungeon(2);
    const unsigned boss = DungeonStaticData::getInstance()->bossIdWithDungeionId(2);
    MonsterManager::getInstance()->addMonsterWithId(boss);
    load();
    startExploreByTouch();
    advance(0.1);
    EXPECT_TRUE(ctr->wantedImgView()->isHidden());
}

TEST_F(ControllerStartTest, FirstAndSecondExplorePagesAreRecordedOnce) {
    load();
    for (int i = 0; i < 3; ++i) {
        startExploreByTouch();
        letEveryoneLeave();
        tapSuspend();
        pressAlertOK();
        advance(3.0);
        // A second a person: the first ones were back before the break-off.
        collectEverything();
        ASSERT_FALSE(ctr->exploreBtnContainer()->isHidden()) << i;
    }
    EXPECT_EQ(pages("FIRST_EXPLORE_V102"), 1u);
    EXPECT_EQ(pages("SECOND_EXPLORE_V102"), 1u);
    EXPECT_EQ(pages("START_EXPLORE_1"), 3u);
    EXPECT_TRUE(store().boolForKey(Keys::firstExplore));
    EXPECT_TRUE(store().boolForKey(Keys::secondExplore));
}

// ---- The report button

TEST_F(ControllerStartTest, TheReportButtonWaitsForTheFirstDefeat) {
    store().setObject(Value(Value::Array{Value{{"monster_id", Value(1)}}}), Keys::battleLogs);
    useDungeon(2);
    // A well-trodden forest: every monster of the list may be met, most of them too strong.
    for (int i = 0; i < 200; ++i) DungeonManager::addExploreCntWithDungeonId(2);
    load();
    ctr->appear();
    settle();
    EXPECT_FALSE(ctr->reportBtn()->isHidden()) << "an old log";
    startExploreByTouch();
    EXPECT_TRUE(ctr->reportBtn()->isHidden()) << "the log is cleared at the start";
    EXPECT_TRUE(store().objectForKey(Keys::battleLogs).isNil());
    letEveryoneLeave();
    // Returns until somebody is written to the log.
    bool defeated = false;
    for (int k = 0; k < 25 && !defeated; ++k) {
        advance(6.0);
        defeated = store().objectForKey(Keys::battleLogs).count() > 0;
        EXPECT_EQ(ctr->reportBtn()->isHidden(), store().objectForKey(Keys::battleLogs).count() == 0);
    }
    ASSERT_TRUE(defeated) << "dungeon 2 without equipment loses more than half its battles";
    EXPECT_FALSE(ctr->reportBtn()->isHidden());
}

}  // namespace
}  // namespace controllertests
