// Alerts and action sheets: button indexes as the phone numbers them, one answer per panel,
// Enter and Esc, touches and keys kept from what is behind, the presenter that puts the game's
// alerts on the window, and pictures of both panels.
#include "UiTestSupport.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/ui/ActionSheetView.h"
#include "platform/ui/Button.h"
#include "platform/ui/GamePalette.h"
#include "platform/ui/ModalAlertView.h"
#include "platform/ui/WindowAlertPresenter.h"

namespace {

class AlertTest : public WindowTest {
protected:
    void TearDown() override {
        AlertPresenter::setShared(nullptr);
        WindowTest::TearDown();
    }
    template <class Panel>
    std::shared_ptr<Panel> shown(std::shared_ptr<Panel> panel, int offset = 0) {
        panel->onButton = [this, offset](int index) { answers.push_back(index + offset); };
        EXPECT_TRUE(panel->show());
        return panel;
    }
    static std::shared_ptr<ModalAlertView> alert(std::vector<std::string> buttons, int cancelIndex) {
        return std::make_shared<ModalAlertView>("", "Sure?", std::move(buttons), cancelIndex);
    }
    bool onWindow(const View& v) const { return v.window() == window.get(); }
    std::vector<int> answers;
};

TEST_F(AlertTest, CancelIsIndexZeroTheButtonsSitSideBySideAndTheAnswerComesOnce) {
    auto a = shown(std::make_shared<ModalAlertView>("Map", "Give up the explore?", "Cancel", std::vector<std::string>{"OK"}));
    EXPECT_TRUE(onWindow(*a));
    ASSERT_EQ(a->numberOfButtons(), 2);
    EXPECT_EQ(a->cancelButtonIndex(), 0);
    EXPECT_EQ(a->buttonTitleAtIndex(1), "OK");
    const Rect cancel = a->buttonAtIndex(0)->frame(), ok = a->buttonAtIndex(1)->frame();
    EXPECT_LT(cancel.maxX(), ok.minX());
    EXPECT_DOUBLE_EQ(cancel.minY(), ok.minY());
    EXPECT_EQ(a->buttonAtIndex(0)->style(), PanelButton::Style::secondary);
    EXPECT_EQ(a->buttonAtIndex(1)->style(), PanelButton::Style::primary);
    // In the middle of the screen on whole points.
    const Rect panel = a->panel()->frame();
    EXPECT_NEAR(panel.midX(), 160, 0.5);
    EXPECT_NEAR(panel.midY(), 240, 0.5);
    EXPECT_DOUBLE_EQ(panel.minX(), std::round(panel.minX()));

    advance(ModalPanelView::kAppearDuration);
    tap(*a->buttonAtIndex(1));
    EXPECT_FALSE(a->isVisible());
    // Further presses, by finger or by key, change nothing.
    tap(*a->buttonAtIndex(0));
    EXPECT_FALSE(a->dismissWithClickedButtonIndex(0));
    EXPECT_FALSE(window->handleEscapeKey());
    EXPECT_EQ(answers, (std::vector<int>{1}));
    EXPECT_TRUE(onWindow(*a)) << "it fades away first";
    advance(ModalPanelView::kDisappearDuration);
    EXPECT_FALSE(onWindow(*a));
}

TEST_F(AlertTest, EnterPressesTheDefaultButtonAndEscTheCancelButton) {
    EXPECT_FALSE(window->handleEnterKey()) << "no alert, the key is not taken";
    shown(alert({"Cancel", "OK"}, 0));
    EXPECT_TRUE(window->handleEnterKey());  // at once, during the pop-in
    shown(alert({"Cancel", "OK"}, 0), 10);
    EXPECT_TRUE(window->handleEscapeKey()) << "the answered alert fading behind no longer counts";
    shown(alert({"OK"}, 0), 20);  // a lone button is also the way out
    EXPECT_TRUE(window->handleEscapeKey());
    // The sheet: Enter is the first button, Esc the cancel button, which comes last.
    shown(std::make_shared<ActionSheetView>("", "Cancel", std::vector<std::string>{"A", "B"}), 30);
    EXPECT_TRUE(window->handleEscapeKey());
    shown(std::make_shared<ActionSheetView>("", "Cancel", std::vector<std::string>{"A", "B"}), 40);
    EXPECT_TRUE(window->handleEnterKey());
    EXPECT_EQ(answers, (std::vector<int>{1, 10, 20, 32, 40}));
}

TEST_F(AlertTest, APanelKeepsTouchesAndKeysFromWhatIsBehindIt) {
    int behindPresses = 0;
    auto behind = std::make_shared<Button>(Rect(0, 0, 320, 480));
    behind->setAction([&] { ++behindPresses; });
    behind->setClosesOnEscape(true);
    window->addSubview(behind);

    auto a = shown(std::make_shared<ModalAlertView>("Share", "Where to?", "", std::vector<std::string>{"One", "Two", "Three"}));
    for (int i = 1; i < 3; ++i) {
        EXPECT_GT(a->buttonAtIndex(i)->frame().minY(), a->buttonAtIndex(i - 1)->frame().maxY());
        EXPECT_DOUBLE_EQ(a->buttonAtIndex(i)->frame().minX(), a->buttonAtIndex(0)->frame().minX());
    }
    // During the pop-in and on the dimmed area, touches reach neither the alert nor what is behind.
    tap(*a->buttonAtIndex(2));
    EXPECT_TRUE(answers.empty());
    advance(ModalPanelView::kAppearDuration);
    tap(Point(5, 5));
    // No cancel button among several: Esc is refused, and the button behind does not get it.
    EXPECT_EQ(a->cancelButtonIndex(), -1);
    EXPECT_FALSE(window->handleEscapeKey());
    EXPECT_EQ(behindPresses, 0);
    tap(*a->buttonAtIndex(2));
    EXPECT_EQ(answers, std::vector<int>{2});
    advance(1);
    tap(Point(5, 5));
    EXPECT_TRUE(window->handleEscapeKey());
    EXPECT_EQ(behindPresses, 2) << "once the alert has gone, the screen works again";
}

TEST_F(AlertTest, AnAnsweredPanelIsFreedEvenWhenItsFadeNeverEnds) {
    std::weak_ptr<View> gone;
    {
        auto a = shown(alert({"Cancel", "OK"}, 0));
        auto sheet = shown(std::make_shared<ActionSheetView>("", "Cancel", std::vector<std::string>{"Post"}));
        EXPECT_TRUE(window->handleEnterKey());
        EXPECT_TRUE(window->handleEnterKey());
        gone = a;
    }
    // The game closes while the panels fade: the fade's end must not keep them alive.
    window.reset();
    EXPECT_TRUE(gone.expired());
}

TEST_F(AlertTest, ThePresenterShowsTheGamesAlertsOneAtATimeAndKeepsRecordingThem) {
    auto presenter = WindowAlertPresenter::install();
    EXPECT_EQ(AlertPresenter::shared(), presenter);
    std::vector<std::pair<int64_t, int>> heard;
    auto handler = [&](const AlertView& a, int index) { heard.emplace_back(a.tag, index); };
    presenter->showAlert(AlertView{"", "Give up?", {"Cancel", "OK"}, 0, 20}, handler);
    presenter->showAlert(AlertView{"", "Purchased", {"OK"}, 0, 0}, handler);
    EXPECT_EQ(presenter->queuedCount(), 2u);
    auto first = presenter->visibleAlert();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->message(), "Give up?");
    EXPECT_EQ(first->alertTag(), 20);
    EXPECT_TRUE(onWindow(*first));

    // The player presses OK: the caller hears (tag 20, index 1), the next alert comes up.
    advance(ModalPanelView::kAppearDuration);
    tap(*first->buttonAtIndex(1));
    EXPECT_EQ(heard, (std::vector<std::pair<int64_t, int>>{{20, 1}}));
    auto next = presenter->visibleAlert();
    ASSERT_TRUE(next);
    EXPECT_EQ(next->message(), "Purchased");

    // Answered through the recording side (as the game's tests do), it leaves the screen too.
    EXPECT_TRUE(presenter->pressButton(0));
    EXPECT_FALSE(presenter->visibleAlert());
    advance(1);
    EXPECT_FALSE(onWindow(*next));
    EXPECT_TRUE(presenter->openAlerts().empty());
    EXPECT_EQ(presenter->queuedCount(), 0u);
    EXPECT_EQ(heard.size(), 2u) << "each alert answered once";

    // Without a window alerts are only recorded.
    window.reset();
    presenter->showAlert(AlertView{"", "Hello", {"OK"}, 0, 7}, handler);
    EXPECT_FALSE(presenter->visibleAlert());
    EXPECT_TRUE(presenter->pressButtonOnAlertWithTag(7, 0));
    EXPECT_EQ(heard.size(), 3u);
}

TEST_F(AlertTest, TheActionSheetSlidesUpAndCountsItsCancelButtonLast) {
    auto sheet = shown(std::make_shared<ActionSheetView>("Post for a new member?", "Cancel", std::vector<std::string>{"To Twitter"}));
    EXPECT_EQ(sheet->cancelButtonIndex(), 1);
    EXPECT_EQ(sheet->buttonTitleAtIndex(1), "Cancel");
    // It starts below the bottom edge and rests on the bottom after the slide.
    EXPECT_GE(sheet->panel()->presentationFrame().minY(), 480);
    advance(ActionSheetView::kSlideDuration / 2);
    EXPECT_LT(sheet->panel()->presentationFrame().minY(), 480);
    EXPECT_GT(sheet->panel()->presentationFrame().minY(), sheet->restingPanelFrame().minY());
    advance(ActionSheetView::kSlideDuration / 2);
    EXPECT_EQ(sheet->panel()->presentationFrame(), sheet->restingPanelFrame());
    EXPECT_NEAR(sheet->restingPanelFrame().maxY(), 474, 0.5);
    EXPECT_GT(sheet->buttonAtIndex(1)->frame().minY(), sheet->buttonAtIndex(0)->frame().maxY()) << "cancel at the bottom";
    tap(*sheet->buttonAtIndex(0));
    EXPECT_EQ(answers, std::vector<int>{0});
    advance(ActionSheetView::kSlideDuration);
    EXPECT_FALSE(onWindow(*sheet));
}

TEST_F(AlertTest, PicturesOfTheAlertAndTheSheetLookLikeTheGame) {
    HeadlessRenderer renderer(Size(320, 480));
    ASSERT_TRUE(renderer.isValid());
    window->setBackgroundColor(GamePalette::green);
    auto a = shown(std::make_shared<ModalAlertView>(
        "Explore", "Send the whole party into the Meadow? They return in 20 seconds.", "Cancel", std::vector<std::string>{"OK"}));
    advance(ModalPanelView::kAppearDuration);
    a->buttonAtIndex(0)->setHighlighted(true);
    renderer.render(*window);
    EXPECT_TRUE(renderer.writePNG(picturePath("alert.png")));
    const Rect panel = a->panel()->frame();
    // Ink outline at the panel's edge, gold frame, cream parchment, the dimmed green around.
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(panel.midX(), panel.minY())), GamePalette::ink);
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(panel.minX() + 3, panel.midY())), GamePalette::gold);
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(panel.minX() + 8, panel.minY() + 10)), GamePalette::cream);
    EXPECT_LT(renderer.colorAtPoint(Point(4, 4)).green, GamePalette::green.green - 0.15f);
    const Rect ok = a->buttonAtIndex(1)->convertRectToView(a->buttonAtIndex(1)->bounds(), nullptr);
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(ok.minX() + 4, ok.midY() + 5)), GamePalette::red);
    a->dismissWithClickedButtonIndex(0, false);

    auto sheet = shown(std::make_shared<ActionSheetView>("Post about the expedition and a new member joins the party.",
                                                         "Cancel", std::vector<std::string>{"To Twitter"}));
    advance(ActionSheetView::kSlideDuration);
    renderer.render(*window);
    EXPECT_TRUE(renderer.writePNG(picturePath("actionsheet.png")));
    const Rect rest = sheet->restingPanelFrame();
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(rest.midX(), rest.minY())), GamePalette::ink);
}

}  // namespace
