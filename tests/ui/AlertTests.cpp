// Alerts and action sheets: answered once, Enter and Esc, what is behind kept from touches and
// keys, freed after answering, and the presenter's queue.
#include "UiTestSupport.h"
#include "platform/ui/ActionSheetView.h"
#include "platform/ui/Button.h"
#include "platform/ui/ModalAlertView.h"
#include "platform/ui/WindowAlertPresenter.h"

namespace {

class AlertTest : public WindowTest {
protected:
    void TearDown() override { AlertPresenter::setShared(nullptr), WindowTest::TearDown(); }
    template <class Panel>
    std::shared_ptr<Panel> shown(std::shared_ptr<Panel> panel, int offset = 0) {
        panel->onButton = [this, offset](int index) { answers.push_back(index + offset); };
        EXPECT_TRUE(panel->show());
        return panel;
    }
    static auto alert(std::vector<std::string> buttons, int cancel) { return std::make_shared<ModalAlertView>("", "Sure?", buttons, cancel); }
    static auto sheet() { return std::make_shared<ActionSheetView>("", "Cancel", std::vector<std::string>{"A", "B"}); }
    std::vector<int> answers;
};

TEST_F(AlertTest, EnterPressesTheDefaultButtonAndEscTheCancelButton) {
    EXPECT_FALSE(window->handleEnterKey()) << "no alert, the key is not taken";
    shown(alert({"Cancel", "OK"}, 0));
    EXPECT_TRUE(window->handleEnterKey());  // at once, during the pop-in
    shown(alert({"Cancel", "OK"}, 0), 10);
    EXPECT_TRUE(window->handleEscapeKey()) << "the answered alert fading behind no longer counts";
    shown(alert({"OK"}, 0), 20);  // a lone button is also the way out
    EXPECT_TRUE(window->handleEscapeKey());
    // The sheet: Enter is the first button, Esc the cancel button, which comes last.
    shown(sheet(), 30);
    EXPECT_TRUE(window->handleEscapeKey());
    shown(sheet(), 40);
    EXPECT_TRUE(window->handleEnterKey());
    EXPECT_EQ(answers, (std::vector<int>{1, 10, 20, 32, 40}));
}

TEST_F(AlertTest, APanelIsAnsweredOnceAndKeepsTouchesAndKeysFromWhatIsBehindIt) {
    int behindPresses = 0;
    auto behind = std::make_shared<Button>(Rect(0, 0, 320, 480));
    behind->setAction([&] { ++behindPresses; });
    behind->setClosesOnEscape(true);
    window->addSubview(behind);
    auto a = shown(alert({"One", "Two", "Three"}, -1));
    tap(*a->buttonAtIndex(2));  // during the pop-in: nothing
    advance(ModalPanelView::kAppearDuration);
    tap(Point(5, 5));  // on the dimmed area
    EXPECT_FALSE(window->handleEscapeKey()) << "no cancel button among several";
    tap(*a->buttonAtIndex(2));
    tap(*a->buttonAtIndex(0));
    EXPECT_FALSE(a->dismissWithClickedButtonIndex(0));
    EXPECT_EQ(answers, std::vector<int>{2});
    EXPECT_EQ(behindPresses, 0);
    advance(ModalPanelView::kDisappearDuration);
    EXPECT_FALSE(a->window());
    tap(Point(5, 5));
    EXPECT_TRUE(window->handleEscapeKey());
    EXPECT_EQ(behindPresses, 2) << "once the alert has gone, the screen works again";
}

TEST_F(AlertTest, AnAnsweredPanelIsFreedEvenWhenItsFadeNeverEnds) {
    std::weak_ptr<View> goneAlert = shown(alert({"Cancel", "OK"}, 0)), goneSheet = shown(sheet());
    EXPECT_TRUE(window->handleEnterKey());
    EXPECT_TRUE(window->handleEnterKey());
    // The game closes while the panels fade: the fade's end must not keep them alive.
    window.reset();
    EXPECT_TRUE(goneAlert.expired() && goneSheet.expired());
}

TEST_F(AlertTest, ThePresenterShowsTheGamesAlertsOneAtATimeAndKeepsRecordingThem) {
    auto presenter = WindowAlertPresenter::install();
    std::vector<std::pair<int64_t, int>> heard;
    auto handler = [&](const AlertView& a, int index) { heard.emplace_back(a.tag, index); };
    presenter->showAlert(AlertView{"", "Give up?", {"Cancel", "OK"}, 0, 20}, handler);
    presenter->showAlert(AlertView{"", "Purchased", {"OK"}, 0, 0}, handler);
    auto first = presenter->visibleAlert();
    ASSERT_TRUE(first);
    advance(ModalPanelView::kAppearDuration);
    tap(*first->buttonAtIndex(1));
    auto next = presenter->visibleAlert();
    ASSERT_TRUE(next && next != first);
    EXPECT_TRUE(presenter->pressButton(0)) << "answered through the recording side, as the game's tests do";
    advance(1);
    EXPECT_FALSE(next->window());
    // Without a window alerts are only recorded.
    window.reset();
    presenter->showAlert(AlertView{"", "Hello", {"OK"}, 0, 7}, handler);
    EXPECT_FALSE(presenter->visibleAlert());
    EXPECT_TRUE(presenter->pressButtonOnAlertWithTag(7, 0));
    EXPECT_EQ(heard, (std::vector<std::pair<int64_t, int>>{{20, 1}, {0, 0}, {7, 0}}));
}

}  // namespace
