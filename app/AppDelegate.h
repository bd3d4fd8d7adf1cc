#pragma once
// The application object: told of launch, activation, going to the background, termination and
// addresses handed to the game. It builds the window with the main screen, lays the title over
// it, saves when the game leaves the foreground, keeps a reminder three days ahead while the game
// is away, and resumes the main screen once the title has gone. A save found damaged is answered
// first: the newest good backup is offered, else the player is told the game begins afresh.
#include <memory>
#include <string>

#include "overlays/OverlaySlot.h"
#include "overlays/TitleViewController.h"
#include "platform/core/RunLoop.h"

class TopPanelAdsViewController;
class ViewController;
class Window;

class AppDelegate : public Object {
public:
    // Three days, in seconds.
    static constexpr double kReminderDelay = 259200.0;
    static constexpr float kMusicVolume = 0.3f;

    AppDelegate();
    ~AppDelegate() override;

    // Once before first use: the rating prompt's settings.
    static void initializeClass();

    // ---- Life cycle, as the platform tells it
    // When the save could not be read and a good backup is kept, the player is asked first
    // whether to load it; the game is built once they have answered, from the restored save or
    // afresh.
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

    // ---- Fields
    Window* window() const { return window_; }
    const std::shared_ptr<ViewController>& viewController() const { return viewController_; }
    const std::shared_ptr<TitleViewController>& titleCtr() const { return title_.screen(); }
    // The top advertising panel, on the 568-point screen only.
    const std::shared_ptr<TopPanelAdsViewController>& topPanelCtr() const { return topPanelCtr_; }

private:
    // Builds the game's screens and managers on the saved state as it now stands.
    void finishLaunching(Window& window);
    // Whatever happened to the save before the game was built, told over the title.
    void tellAboutTheSave(const std::string& message);

    Window* window_ = nullptr;
    std::shared_ptr<ViewController> viewController_;
    // The title; as it starts to fade the main screen appears under it.
    OverlaySlot<TitleViewController> title_;
    std::shared_ptr<TopPanelAdsViewController> topPanelCtr_;
};
