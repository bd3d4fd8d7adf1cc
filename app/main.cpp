// Royal Expedition: starts the game in a window, or headless on a manual clock to take one
// picture or to play a script (see README, "Playing from a script").
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "app/AppDelegate.h"
#include "app/GameBot.h"
#include "app/LaunchOptions.h"
#include "app/SaveProblemNotice.h"
#include "app/ScriptDriver.h"
#include "model/SaveTransfer.h"
#include "overlays/SettingViewController.h"
#include "platform/core/Clock.h"
#include "platform/core/Random.h"
#include "platform/core/RunLoop.h"
#include "platform/payments/PaymentQueue.h"
#include "platform/foundation/DataFile.h"
#include "platform/render/Application.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/resources/Format.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/services/DesktopNotifications.h"
#include "platform/services/PageViewLog.h"
#include "platform/services/UrlOpener.h"
#include "platform/sound/SoundEngine.h"
#include "platform/store/SavedStateStore.h"
#include "platform/net/GameIndexAddress.h"
#include "platform/services/LeaderboardService.h"
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

std::string& scratchDirectoryToRemove() {
    static std::string path;
    return path;
}

void removeScratchDirectory() {
    std::error_code ec;
    if (!scratchDirectoryToRemove().empty()) std::filesystem::remove_all(scratchDirectoryToRemove(), ec);
}

// --export-save / --import-save: the saved game of the data folder goes out or waits to come in;
// the messages are the game's own, in the player's language.
int transferSave(const LaunchOptions& options, const std::string& dataDirectory) {
    const double now = SystemClock().wallNow();
    SaveTransfer::Result result;
    std::string done;
    if (!options.exportSavePath.empty()) {
        Value state;
        result = SaveTransfer::readSaveFile(dataDirectory, &state);
        if (result.ok()) result = SaveTransfer::exportTo(options.exportSavePath, state, now);
        done = stringWithFormat(NSLocalizedString("FormatExportDone"),
                                {Value(std::filesystem::path(options.exportSavePath).filename().string()),
                                 Value(std::filesystem::absolute(options.exportSavePath).parent_path().string())});
    } else {
        result = SaveTransfer::scheduleImport(options.importSavePath, dataDirectory);
        done = stringWithFormat(NSLocalizedString("FormatImportNextStart"),
                                {Value(std::filesystem::path(options.importSavePath).filename().string())});
    }
    if (!result.ok()) {
        std::fprintf(stderr, "royal-expedition: %s\n", SaveTransfer::message(result).c_str());
        return 1;
    }
    std::printf("%s\n", done.c_str());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const auto started = std::chrono::steady_clock::now();
    std::string error;
    const LaunchOptions options = LaunchOptions::parse(std::vector<std::string>(argv + 1, argv + argc), &error);
    if (!error.empty()) {
        std::fprintf(stderr, "royal-expedition: %s\n", error.c_str());
        return 2;
    }
    if (options.showHelp || options.showVersion) {
        std::fputs((options.showHelp ? LaunchOptions::help() : LaunchOptions::version() + "\n").c_str(), stdout);
        return 0;
    }
    if (!options.language.empty() && !LocalizedStrings::shared().hasLanguage(options.language)) {
        std::fprintf(stderr, "royal-expedition: --lang takes one of the game's languages (en, ja, zh-Hans)\n");
        return 2;
    }
    std::error_code scriptError;
    if (!options.scriptPath.empty() && options.scriptPath != "-" && std::filesystem::is_directory(options.scriptPath, scriptError)) {
        std::fprintf(stderr, "royal-expedition: %s is a folder, not a script\n", options.scriptPath.c_str());
        return 2;
    }
    // A headless run never touches the player's own saved game unless --data-dir names its folder:
    // it plays in a fresh folder of its own, removed at the end.
    std::string scratchDirectory;
    if (options.headless && options.dataDirectory.empty()) {
        // A simulation writes the saved game thousands of times: into memory when the system can.
        scratchDirectory = DataFile::makeScratchFolder("royal-expedition", options.simulate);
        if (scratchDirectory.empty()) {
            std::fprintf(stderr, "royal-expedition: cannot make a scratch folder for the headless run\n");
            return 2;
        }
        // The folder goes at exit, however the run ends (the end of main, a script's terminate);
        // the path is kept first, so it outlives the handler that removes it.
        scratchDirectoryToRemove() = scratchDirectory;
        std::atexit(removeScratchDirectory);
    }
    std::string dataDirectory = !options.dataDirectory.empty() ? options.dataDirectory
                                : !scratchDirectory.empty()    ? scratchDirectory
                                                               : SavedStateStore::defaultDataDirectory();
    std::error_code ec;
    std::filesystem::create_directories(dataDirectory, ec);
    SavedStateStore::configureDataDirectory(dataDirectory);
    if (!options.exportSavePath.empty() || !options.importSavePath.empty()) {
        if (!options.language.empty()) LocalizedStrings::setPreferredLanguages({options.language});
        else SettingViewController::applySavedLanguage();
        return transferSave(options, dataDirectory);
    }
    // An import waiting from the last run takes the save's place before the store reads it.
    const double startWall = options.epoch ? *options.epoch : SystemClock().wallNow();
    if (std::string importError; !SaveTransfer::applyPendingImport(dataDirectory, startWall, &importError) && !importError.empty())
        std::fprintf(stderr, "royal-expedition: %s\n", importError.c_str());
    const bool scripted = !options.scriptPath.empty();
    // A scripted run ends as if killed: nothing reaches the disk unless the script terminates.
    if (scripted) SavedStateStore::standardUserDefaults().setAutoFlushDelay(0);
    // The command line's language, else the one the player chose in the settings.
    if (!options.language.empty()) LocalizedStrings::setPreferredLanguages({options.language});
    else SettingViewController::applySavedLanguage();
    // The store keeps its unfinished purchases in the same data folder.
    PaymentQueue::setDefaultQueue(std::make_shared<PaymentQueue>(dataDirectory, options.storeMode.value_or(StoreMode::sheet)));
    // The game list's address: the option, RE_INDEX_URL, the settings file, else the bundled list.
    std::vector<std::string> indexWarnings;
    GameIndexAddress::setCurrent(GameIndexAddress::resolve(options.indexUrl, dataDirectory, &indexWarnings));
    for (const std::string& warning : indexWarnings) std::fprintf(stderr, "royal-expedition: %s\n", warning.c_str());
    // The leaderboards live in the data folder; --sign-in off (or RE_SIGN_IN=off) fails the sign-in.
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
        // A simulation starts on the same morning every time, so that one seed gives one table, or
        // where a stopped one in the same folder had got to.
        const double epoch = options.epoch                                     ? *options.epoch
                             : options.simulate                                ? GameBot::savedClock(dataDirectory).value_or(LaunchOptions::kSimulationEpoch)
                                                                               : SystemClock().wallNow();
        clock = std::make_shared<ManualClock>(epoch);
        RunLoop::main().setClock(clock);
    }
    const std::optional<uint64_t> seed = options.simulate ? std::optional<uint64_t>(options.seed.value_or(1)) : options.seed;
    if (seed) RandomSource::shared().seed(*seed);
    // The last good saves are kept by the game's own clock (the manual one headless).
    if (clock) SavedStateStore::standardUserDefaults().enableBackups([clock] { return clock->wallNow(); });
    else SavedStateStore::standardUserDefaults().enableBackups([] { return SystemClock().wallNow(); });

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
    auto saveNotice = std::make_shared<SaveProblemNotice>();
    saveNotice->watch(SavedStateStore::standardUserDefaults());
    delegate->applicationDidBecomeActive();

    if (options.simulate) {
        ScriptDriver driver(*delegate, app.window(), clock, std::cout, std::cerr);
        driver.settle();
        SimulationOptions simulation;
        simulation.player = GameBot::playerKindFromName(options.player).value_or(PlayerKind::casual);
        simulation.days = options.days;
        simulation.seed = *seed;
        simulation.reportPath = options.reportPath;
        const int status = GameBot(driver, *clock, simulation, dataDirectory).play(std::cout, std::cerr);
        std::cout.flush();
        PersonView::waitForRecordings();
        removeScratchDirectory();
        std::_Exit(status);
    }

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
    // Silence while another window has the focus, when the player asked for it.
    app.onFocusChanged = [](bool focused) {
        SoundEngine::sharedEngine().setMutedWhileUnfocused(!focused && SettingViewController::savedMuteWhenUnfocused());
    };
    auto saveFailedAtExit = std::make_shared<bool>(false);
    app.onTerminate = [delegate, &options, started, saveFailedAtExit] {
        // Headless, the one frame has just been drawn when the run ends.
        if (options.headless && options.exitAfterFirstFrame) {
            std::printf("FIRST_FRAME %.1f\n", millisecondsSince(started));
            std::fflush(stdout);
        }
        delegate->applicationWillTerminate();
        if (!SavedStateStore::standardUserDefaults().synchronize()) {
            std::fprintf(stderr, "royal-expedition: the game could not be saved: %s\n",
                         SavedStateStore::standardUserDefaults().lastSyncError().c_str());
            *saveFailedAtExit = true;
        }
    };
    if (options.exitAfterFirstFrame && !options.headless) quitAfterFirstFrame(app, started);
    TimerHandle frameReport;
    if (options.printFrames) {
        frameReport = RunLoop::main().scheduleTimer(5.0, true, [&app] {
            // The time each frame took, from its run-loop pass to the picture sent.
            std::vector<double> times = app.takeFrameTimes();
            std::sort(times.begin(), times.end());
            const double slowest = times.empty() ? 0 : times.back();
            const double p99 = times.empty() ? 0 : times[std::min(times.size() - 1, times.size() * 99 / 100)];
            std::printf("FRAMES %llu %.3f %.2f %.2f\n", static_cast<unsigned long long>(app.framesRendered()), RunLoop::main().now(),
                        slowest * 1000, p99 * 1000);
            std::fflush(stdout);
        });
    }
    const int status = app.run();
    if (options.printFrames) std::printf("FRAMES %llu end\n", static_cast<unsigned long long>(app.framesRendered()));
    frameReport.invalidate();
    deliver.invalidate();
    return status != 0 ? status : (*saveFailedAtExit ? 1 : 0);
}
