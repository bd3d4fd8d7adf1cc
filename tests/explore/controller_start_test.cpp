// Pressing explore, where the scenario scripts cannot look: the text helper's boundaries, stray
// OK presses, and the departure's timer, king and stacking.
#include "controller_support.h"

namespace controllertests {
namespace {

using ControllerStartTest = ControllerTest;

TEST_F(ControllerStartTest, StartMessagesTruncateToWholeSecondsAndMinutes) {
    const auto format = [](const char* key, std::vector<Value> args) { return stringWithFormat(NSLocalizedString(key), args); };
    EXPECT_EQ(ViewController::startMessageForExploreTime(59.999), format("FormatStartBodySec", {Value(59u)}));
    EXPECT_EQ(ViewController::startMessageForExploreTime(3599.9), format("FormatStartBody", {Value(59u), Value(59u)}));
    EXPECT_EQ(ViewController::startMessageForExploreTime(7199.9), format("FormatStartBodyLong", {Value(1u), Value(59u)}));
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

TEST_F(ControllerStartTest, TheTimerStartsWhenTheLastHasLeftAndTheKingSleepsInFrontOfThePanel) {
    store().setInteger(2, Keys::currentDungeonId);
    load();
    startExploreByTouch();
    EXPECT_EQ(exploringCount(), 20);
    EXPECT_FALSE(ctr->isTimerRunning());
    letEveryoneLeave();
    EXPECT_EQ(ctr->numMovedPerson(), 20u);
    EXPECT_TRUE(ctr->isTimerRunning());
    advance(2.0);
    EXPECT_EQ(ctr->kingImgView()->currentState(), KingImageView::kStateAsleep);
    const auto& subs = ctr->view()->subviews();
    const auto at = [&](const View* v) { return std::find_if(subs.begin(), subs.end(), [v](const auto& s) { return s.get() == v; }); };
    EXPECT_GT(at(ctr->kingImgView().get()), at(ctr->exploreStatusView().get()));
}

}  // namespace
}  // namespace controllertests
