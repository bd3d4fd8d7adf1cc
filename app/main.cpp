// Royal Expedition: starts the game in a window, or headless on a manual clock to take one
// picture or to play a script (see README, "Playing from a script").
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/AppDelegate.h"
#include "app/LaunchOptions.h"
#include "app/ScriptDriver.h"
#include "platform/core/Clock.h"
#include "platform/core/Random.h"
#include "platform/core/RunLoop.h"
#include "platform/payments/PaymentQueue.h"
#include "platform/services/LeaderboardService.h"
#include "platform/render/Application.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/services/DesktopNotifications.h"
#include "platform/services/PageViewLog.h"
#include "platform/services/UrlOpener.h"
#include "platform/sound/SoundEngine.h"
#include "platform/store/SavedStateStore.h"
#include "platform/ui/Window.h"
#include "platform/ui/WindowAlertPresenter.h"
#include "stage/PersonView.h"

namespace {

// Milliseconds since main began, for the start-up measurement.
double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

// Asks again on every pass until the first frame is out, then ends the run.
void quitAfterFirstFrame(Application& app, std::chrono::steady_clock::time_point start) {
    if (app.framesRendered() == 0) {
        RunLoop::main().post([&app, start] { quitAfterFirstFrame(app, start); });
        return;
    }
    std::printf("FIRST_FRAME %.1f\n", millisecondsSince(start));
    std::fflush(stdout);
    app.quit();
}

}  // namespace

int main(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    std::string error;
    const LaunchOptions options = LaunchOptions::parse(std::vector<std::string>(argv + 1, argv + argc), &error);
    if (!error.empty()) {
        std::fprintf(stderr, "royal-expedition: %s\n%s", error.c_str(), LaunchOptions::usage());
        return 2;
    }
    std::string dataDirectory = options.dataDirectory.empty() ? SavedStateStore::defaultDataDirectory() : options.dataDirectory;
    std::error_code ec;
    std::filesystem::create_directories(dataDirectory, ec);
    SavedStateStore::configureDataDirectory(dataDirectory);
    const bool scripted = !options.scriptPath.empty();
    // A scripted run ends as if killed: nothing reaches the disk unless the script terminates.
    if (scripted) SavedStateStore::standardUserDefaults().setAutoFlushDelay(0);
    if (!options.language.empty()) LocalizedStrings::setPreferredLanguages({options.language});
    // The store keeps its unfinished purchases in the same data folder.
    PaymentQueue::setDefaultQueue(std::make_shared<PaymentQueue>(dataDirectory, options.storeMode.value_or(StoreMode::sheet)));
    // --sign-in off: the leaderboard sign-in fails, as for a player who has none.
    if (options.signIn) LeaderboardService::shared().setSignInEnabled(*options.signIn);

    ApplicationOptions appOptions;
    appOptions.headless = options.headless;
    appOptions.screenHeight = options.screenHeight;
    appOptions.dataDirectory = dataDirectory;
    appOptions.screenshotPath = options.screenshotPath;
    appOptions.headlessTime = options.headlessTime;
    Application app(appOptions);

    std::shared_ptr<ManualClock> clock;
    if (options.headless) {
        clock = std::make_shared<ManualClock>(options.epoch ? *options.epoch : SystemClock().wallNow());
        RunLoop::main().setClock(clock);
    }
    if (options.seed) RandomSource::shared().seed(*options.seed);

    SoundEngine::Config soundConfig;
    soundConfig.settingsPath = dataDirectory + "/sound-settings.json";
    soundConfig.headless = options.headless;
    SoundEngine::installSharedEngine(SoundEngine::create(soundConfig));

    auto notifications = std::make_shared<DesktopNotificationCenter>(dataDirectory);
    notifications->setShowsNotifications(!options.headless);
    if (!options.headless) {
        const std::string title = appOptions.title;
        notifications->onBadgeChanged = [title](int64_t badge) { DesktopNotificationCenter::showBadgeInWindowTitle(title, badge); };
    }
    LocalNotificationCenter::setShared(notifications);
    Analytics::setShared(std::make_shared<PageViewLog>(dataDirectory, [] { return RunLoop::main().wallTime(); }));
    UrlOpener::shared().setRecordOnly(options.headless);
    WindowAlertPresenter::install();

    AppDelegate::initializeClass();
    auto delegate = std::make_shared<AppDelegate>();
    delegate->didFinishLaunching(app.window());
    delegate->applicationDidBecomeActive();

    if (scripted) {
        ScriptDriver driver(*delegate, app.window(), clock, std::cout, std::cerr);
        driver.settle();
        int status = 0;
        if (options.scriptPath == "-") {
            status = driver.run(std::cin);
        } else {
            std::ifstream script(options.scriptPath);
            if (!script) {
                std::fprintf(stderr, "royal-expedition: cannot read %s\n", options.scriptPath.c_str());
                return 2;
            }
            status = driver.run(script);
        }
        std::cout.flush();
        PersonView::waitForRecordings();
        // No clean-up: the run ends as if the game were killed (terminate has saved already).
        std::_Exit(status);
    }

    // Notifications that fall due while the game runs are shown at once.
    TimerHandle deliver = RunLoop::main().scheduleTimer(1.0, true, [notifications] { notifications->deliverDue(RunLoop::main().wallTime()); });
    // X11 hides a new window once while mapping it (shown, hidden, shown): that is no trip to the
    // background. Before the first frame a hide is ignored, and so is the show that ends it;
    // otherwise the launch would save, close and reopen the sound and plan the reminder.
    auto inBackground = std::make_shared<bool>(false);
    app.onEnterBackground = [delegate, inBackground, &app] {
        if (app.framesRendered() == 0) return;
        *inBackground = true;
        delegate->applicationWillResignActive();
        delegate->applicationDidEnterBackground();
    };
    app.onEnterForeground = [delegate, inBackground] {
        if (!*inBackground) return;
        *inBackground = false;
        delegate->applicationWillEnterForeground();
        delegate->applicationDidBecomeActive();
    };
    app.onTerminate = [delegate, &options, started] {
        // Headless, the one frame has just been drawn when the run ends.
        if (options.headless && options.exitAfterFirstFrame) {
            std::printf("FIRST_FRAME %.1f\n", millisecondsSince(started));
            std::fflush(stdout);
        }
        delegate->applicationWillTerminate();
        SavedStateStore::standardUserDefaults().synchronize();
    };
    if (options.exitAfterFirstFrame && !options.headless) quitAfterFirstFrame(app, started);
    TimerHandle frameReport;
    if (options.printFrames) {
        frameReport = RunLoop::main().scheduleTimer(5.0, true, [&app] {
            std::printf("FRAMES %llu %.3f\n", static_cast<unsigned long long>(app.framesRendered()), RunLoop::main().now());
            std::fflush(stdout);
        });
    }
    const int status = app.run();
    if (options.printFrames) std::printf("FRAMES %llu end\n", static_cast<unsigned long long>(app.framesRendered()));
    frameReport.invalidate();
    deliver.invalidate();
    return status;
}
