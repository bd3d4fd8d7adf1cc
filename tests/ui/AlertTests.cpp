// Alerts and action sheets: button indexes as the phone numbers them, one answer per panel,
// the tag, Enter and Esc, touches kept from what is behind, the presenter that puts the game's
// alerts on the window, and pictures of both panels.
#include <filesystem>

#include "UiTestSupport.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/ui/ActionSheetView.h"
#include "platform/ui/Button.h"
#include "platform/ui/GamePalette.h"
#include "platform/ui/Label.h"
#include "platform/ui/ModalAlertView.h"
#include "platform/ui/WindowAlertPresenter.h"

namespace {

class AlertTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        window = std::make_shared<Window>(Rect(0, 0, 320, 480));
        window->setBackgroundColor(GamePalette::green);
        window->makeKeyAndVisible();
    }
    void TearDown() override {
        AlertPresenter::setShared(nullptr);
        UiTest::TearDown();
    }
    void tapButton(const std::shared_ptr<PanelButton>& button) {
        ASSERT_TRUE(button);
        const Point p = button->convertPointToView(button->bounds().center(), nullptr);
        window->touchDown(p);
        window->touchUp(p);
    }
    bool onWindow(const View& v) const { return v.window() == window.get(); }
    std::string picturePath(const std::string& name) const {
        const auto dir = std::filesystem::path(RE_TEST_BINARY_DIR) / "ui-pictures";
        std::filesystem::create_directories(dir);
        return (dir / name).string();
    }

    std::shared_ptr<Window> window;
};

TEST_F(AlertTest, CancelIsIndexZeroAndTheAnswerComesOnce) {
    auto alert = std::make_shared<ModalAlertView>("Map", "Give up the explore?", "Cancel", std::vector<std::string>{"OK"});
    alert->setAlertTag(20);
    std::vector<int> answers;
    alert->onButton = [&](int index) { answers.push_back(index); };
    ASSERT_TRUE(alert->show());
    EXPECT_TRUE(onWindow(*alert));
    EXPECT_EQ(alert->alertTag(), 20);
    ASSERT_EQ(alert->numberOfButtons(), 2);
    EXPECT_EQ(alert->cancelButtonIndex(), 0);
    EXPECT_EQ(alert->buttonTitleAtIndex(0), "Cancel");
    EXPECT_EQ(alert->buttonTitleAtIndex(1), "OK");
    // Two buttons side by side, cancel on the left, on the same line.
    const Rect cancel = alert->buttonAtIndex(0)->frame(), ok = alert->buttonAtIndex(1)->frame();
    EXPECT_LT(cancel.maxX(), ok.minX());
    EXPECT_DOUBLE_EQ(cancel.minY(), ok.minY());
    EXPECT_EQ(alert->buttonAtIndex(0)->style(), PanelButton::Style::secondary);
    EXPECT_EQ(alert->buttonAtIndex(1)->style(), PanelButton::Style::primary);
    // The panel sits in the middle of the screen on whole points.
    const Rect panel = alert->panel()->frame();
    EXPECT_NEAR(panel.midX(), 160, 0.5);
    EXPECT_NEAR(panel.midY(), 240, 0.5);
    EXPECT_DOUBLE_EQ(panel.minX(), std::round(panel.minX()));

    advance(ModalPanelView::kAppearDuration);
    tapButton(alert->buttonAtIndex(1));
    EXPECT_EQ(answers, (std::vector<int>{1}));
    EXPECT_FALSE(alert->isVisible());
    // Further presses, by finger or by key, change nothing.
    tapButton(alert->buttonAtIndex(0));
    EXPECT_FALSE(alert->dismissWithClickedButtonIndex(0));
    EXPECT_FALSE(ModalPanelView::handleEscapeKey());
    EXPECT_EQ(answers, (std::vector<int>{1}));
    // It fades away and leaves the window.
    EXPECT_TRUE(onWindow(*alert));
    advance(ModalPanelView::kDisappearDuration);
    EXPECT_FALSE(onWindow(*alert));
}

TEST_F(AlertTest, EnterPressesTheLastButtonAndEscTheCancelButton) {
    EXPECT_FALSE(ModalPanelView::handleEnterKey()) << "no alert, the key is not taken";
    std::vector<int> answers;
    auto first = std::make_shared<ModalAlertView>("", "Start?", "Cancel", std::vector<std::string>{"OK"});
    first->onButton = [&](int index) { answers.push_back(index); };
    first->show();
    EXPECT_EQ(ModalPanelView::frontmost(), first.get());
    EXPECT_TRUE(ModalPanelView::handleEnterKey());
    EXPECT_EQ(answers, (std::vector<int>{1}));

    auto second = std::make_shared<ModalAlertView>("", "Suspend?", "Cancel", std::vector<std::string>{"OK"});
    second->onButton = [&](int index) { answers.push_back(index + 10); };
    second->show();
    EXPECT_EQ(ModalPanelView::frontmost(), second.get()) << "the answered one no longer counts";
    EXPECT_TRUE(ModalPanelView::handleEscapeKey());
    EXPECT_EQ(answers, (std::vector<int>{1, 10}));

    // A lone OK is also the way out by Esc.
    auto notice = std::make_shared<ModalAlertView>("", "Saved.", std::vector<std::string>{"OK"}, 0);
    notice->onButton = [&](int index) { answers.push_back(index + 20); };
    notice->show();
    EXPECT_TRUE(ModalPanelView::handleEscapeKey());
    EXPECT_EQ(answers, (std::vector<int>{1, 10, 20}));

    // Without a cancel button and with several buttons, Esc does nothing; Enter takes the last.
    auto choice = std::make_shared<ModalAlertView>("", "Which?", "", std::vector<std::string>{"A", "B"});
    choice->onButton = [&](int index) { answers.push_back(index + 30); };
    choice->show();
    EXPECT_EQ(choice->cancelButtonIndex(), -1);
    EXPECT_FALSE(ModalPanelView::handleEscapeKey());
    EXPECT_TRUE(ModalPanelView::handleEnterKey());
    EXPECT_EQ(answers, (std::vector<int>{1, 10, 20, 31}));
}

TEST_F(AlertTest, ThreeButtonsStackInIndexOrderAndNothingBehindIsTouched) {
    int behindPresses = 0;
    auto behind = std::make_shared<Button>(Rect(0, 0, 320, 480));
    behind->setAction([&] { ++behindPresses; });
    window->addSubview(behind);

    auto alert = std::make_shared<ModalAlertView>("Share", "Where to?", "Cancel", std::vector<std::string>{"One", "Two"});
    int answer = -1;
    alert->onButton = [&](int index) { answer = index; };
    alert->show();
    for (int i = 1; i < 3; ++i) {
        EXPECT_GT(alert->buttonAtIndex(i)->frame().minY(), alert->buttonAtIndex(i - 1)->frame().maxY());
        EXPECT_DOUBLE_EQ(alert->buttonAtIndex(i)->frame().minX(), alert->buttonAtIndex(0)->frame().minX());
    }
    // During the pop-in and on the dimmed area, touches reach neither the alert nor what is behind.
    tapButton(alert->buttonAtIndex(2));
    window->touchDown(Point(5, 5));
    window->touchUp(Point(5, 5));
    EXPECT_EQ(answer, -1);
    advance(ModalPanelView::kAppearDuration);
    window->touchDown(Point(5, 5));
    window->touchUp(Point(5, 5));
    EXPECT_EQ(behindPresses, 0);
    tapButton(alert->buttonAtIndex(2));
    EXPECT_EQ(answer, 2);
    advance(1);
    window->touchDown(Point(5, 5));
    window->touchUp(Point(5, 5));
    EXPECT_EQ(behindPresses, 1) << "once the alert has gone, the screen works again";
}

TEST_F(AlertTest, ThePresenterShowsTheGamesAlertsOneAtATimeAndKeepsRecordingThem) {
    auto presenter = WindowAlertPresenter::install();
    EXPECT_EQ(AlertPresenter::shared(), presenter);
    std::vector<std::pair<int64_t, int>> answers;
    auto handler = [&](const AlertView& alert, int index) { answers.emplace_back(alert.tag, index); };
    AlertView question{"", "Give up?", {"Cancel", "OK"}, 0, 20};
    AlertView notice{"", "Purchased", {"OK"}, 0, 0};
    presenter->showAlert(question, handler);
    presenter->showAlert(notice, handler);
    EXPECT_EQ(presenter->shownAlerts().size(), 2u);
    EXPECT_EQ(presenter->queuedCount(), 2u);
    auto shown = presenter->visibleAlert();
    ASSERT_TRUE(shown);
    EXPECT_EQ(shown->message(), "Give up?");
    EXPECT_EQ(shown->alertTag(), 20);
    EXPECT_TRUE(onWindow(*shown));

    // The player presses OK: the caller hears (tag 20, index 1), the next alert comes up.
    advance(ModalPanelView::kAppearDuration);
    tapButton(shown->buttonAtIndex(1));
    ASSERT_EQ(answers.size(), 1u);
    EXPECT_EQ(answers[0], (std::pair<int64_t, int>(20, 1)));
    auto next = presenter->visibleAlert();
    ASSERT_TRUE(next);
    EXPECT_EQ(next->message(), "Purchased");
    EXPECT_EQ(presenter->openAlerts().size(), 1u);

    // Answered through the recording side (as the game's tests do), it leaves the screen too.
    EXPECT_TRUE(presenter->pressButton(0));
    EXPECT_EQ(answers.size(), 2u);
    EXPECT_FALSE(presenter->visibleAlert());
    EXPECT_FALSE(next->isVisible());
    advance(1);
    EXPECT_FALSE(onWindow(*next));
    EXPECT_TRUE(presenter->openAlerts().empty());
    EXPECT_EQ(presenter->queuedCount(), 0u);
    EXPECT_EQ(answers.size(), 2u) << "each alert answered once";
}

TEST_F(AlertTest, WithoutAWindowAlertsAreOnlyRecorded) {
    auto presenter = WindowAlertPresenter::install();
    window.reset();  // the key window goes with it
    ASSERT_EQ(Window::keyWindow(), nullptr);
    int answered = 0;
    presenter->showAlert(AlertView{"", "Hello", {"OK"}, 0, 7}, [&](const AlertView&, int) { ++answered; });
    EXPECT_FALSE(presenter->visibleAlert());
    EXPECT_EQ(presenter->openAlerts().size(), 1u);
    EXPECT_TRUE(presenter->pressButtonOnAlertWithTag(7, 0));
    EXPECT_EQ(answered, 1);
}

TEST_F(AlertTest, TheActionSheetSlidesUpAndCountsItsCancelButtonLast) {
    auto sheet = std::make_shared<ActionSheetView>("Post for a new member?", "Cancel", std::vector<std::string>{"To Twitter"});
    sheet->setAlertTag(212);
    std::vector<int> answers;
    sheet->onButton = [&](int index) { answers.push_back(index); };
    ASSERT_TRUE(sheet->show());
    EXPECT_EQ(sheet->alertTag(), 212);
    EXPECT_EQ(sheet->cancelButtonIndex(), 1);
    EXPECT_EQ(sheet->buttonTitleAtIndex(0), "To Twitter");
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

    tapButton(sheet->buttonAtIndex(0));
    EXPECT_EQ(answers, (std::vector<int>{0}));
    EXPECT_FALSE(ModalPanelView::handleEscapeKey());
    advance(ActionSheetView::kSlideDuration);
    EXPECT_FALSE(onWindow(*sheet));

    // Esc answers the cancel index; Enter the first button.
    auto again = std::make_shared<ActionSheetView>("", "Cancel", std::vector<std::string>{"A", "B"});
    again->onButton = [&](int index) { answers.push_back(index); };
    again->show();
    EXPECT_TRUE(ModalPanelView::handleEscapeKey());
    auto third = std::make_shared<ActionSheetView>("", "Cancel", std::vector<std::string>{"A", "B"});
    third->onButton = [&](int index) { answers.push_back(index); };
    third->show();
    EXPECT_TRUE(ModalPanelView::handleEnterKey());
    EXPECT_EQ(answers, (std::vector<int>{0, 2, 0}));
}

TEST_F(AlertTest, PicturesOfTheAlertAndTheSheetLookLikeTheGame) {
    HeadlessRenderer renderer(Size(320, 480));
    ASSERT_TRUE(renderer.isValid());

    auto alert = std::make_shared<ModalAlertView>("Explore", "Send the whole party into the Meadow? They return in 20 seconds.",
                                                  "Cancel", std::vector<std::string>{"OK"});
    alert->show();
    advance(ModalPanelView::kAppearDuration);
    alert->buttonAtIndex(0)->setHighlighted(true);
    renderer.render(*window);
    EXPECT_TRUE(renderer.writePNG(picturePath("alert.png")));
    const Rect panel = alert->panel()->frame();
    // Ink outline at the panel's edge (its corner point is cut), gold frame, cream parchment
    // in the middle of the panel's upper part, and the dimmed green around it.
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(panel.midX(), panel.minY())), GamePalette::ink);
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(panel.minX() + 3, panel.midY())), GamePalette::gold);
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(panel.minX() + 8, panel.minY() + 10)), GamePalette::cream);
    const Color dimmed = renderer.colorAtPoint(Point(4, 4));
    EXPECT_LT(dimmed.green, GamePalette::green.green - 0.15f);
    // The OK button is royal red.
    const Rect ok = alert->buttonAtIndex(1)->convertRectToView(alert->buttonAtIndex(1)->bounds(), nullptr);
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(ok.minX() + 4, ok.midY() + 5)), GamePalette::red);
    alert->dismissWithClickedButtonIndex(0, false);

    auto sheet = std::make_shared<ActionSheetView>("Post about the expedition and a new member joins the party.",
                                                   "Cancel", std::vector<std::string>{"To Twitter"});
    sheet->show();
    advance(ActionSheetView::kSlideDuration);
    renderer.render(*window);
    EXPECT_TRUE(renderer.writePNG(picturePath("actionsheet.png")));
    const Rect rest = sheet->restingPanelFrame();
    EXPECT_COLOR_NEAR(renderer.colorAtPoint(Point(rest.midX(), rest.minY())), GamePalette::ink);
}

}  // namespace
