#pragma once
// The application object: told of launch, activation, going to the background, termination and
// addresses handed to the game. It builds the window with the main screen, lays the title over
// it, saves when the game leaves the foreground, keeps a reminder three days ahead while the game
// is away, and resumes the main screen once the title has gone.
#include <memory>
#include <string>

#include "overlays/OverlayViewControllerDelegate.h"
#include "platform/core/RunLoop.h"

class TitleViewController;
class TopPanelAdsViewController;
class ViewController;
class Window;

class AppDelegate : public Object, public OverlayViewControllerDelegate {
public:
    // Three days, in seconds.
    static constexpr double kReminderDelay = 259200.0;
    static constexpr float kMusicVolume = 0.3f;

    AppDelegate();
    ~AppDelegate() override;

    // Once before first use: the rating prompt's settings.
    static void initializeClass();

    // ---- Life cycle, as the platform tells it
    bool didFinishLaunching(Window& window);
    // Tells the game it is no longer in front (the main screen stops its polling).
    void applicationWillResignActive();
    void applicationDidEnterBackground();
    void applicationWillEnterForeground() {}
    void applicationDidBecomeActive();
    void applicationWillTerminate();
    void saveGameData();
    // Both ways the platform hands an address over end here.
    bool handleOpenURL(const std::string& url);

    void overlayWillClose(OverlayViewController& overlay) override;
    void overlayDidClose(OverlayViewController& overlay) override;

    // ---- Fields
    Window* window() const { return window_; }
    const std::shared_ptr<ViewController>& viewController() const { return viewController_; }
    const std::shared_ptr<TitleViewController>& titleCtr() const { return titleCtr_; }
    // The top advertising panel, on the 568-point screen only.
    const std::shared_ptr<TopPanelAdsViewController>& topPanelCtr() const { return topPanelCtr_; }

private:
    Window* window_ = nullptr;
    std::shared_ptr<ViewController> viewController_;
    std::shared_ptr<TitleViewController> titleCtr_;
    std::shared_ptr<TopPanelAdsViewController> topPanelCtr_;
};
