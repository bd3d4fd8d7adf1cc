// The script driver's lines on a running headless game: any line is run or refused with a
// reason, never a crash. One game lives across the inputs, so the lines meet many states.
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>

#include "app/AppDelegate.h"
#include "app/ScriptDriver.h"
#include "platform/core/Clock.h"
#include "platform/core/RunLoop.h"
#include "platform/foundation/DataFile.h"
#include "platform/render/Application.h"
#include "platform/services/DesktopNotifications.h"
#include "platform/sound/SoundEngine.h"
#include "platform/store/SavedStateStore.h"

namespace {
struct Game {
    std::unique_ptr<Application> app;
    std::shared_ptr<ManualClock> clock;
    std::shared_ptr<AppDelegate> delegate;
    std::unique_ptr<ScriptDriver> driver;
    std::ostringstream out, err;
    Game() {
        const std::string dir = DataFile::makeScratchFolder("re-fuzz-script");
        SavedStateStore::configureDataDirectory(dir);
        SavedStateStore::standardUserDefaults().setAutoFlushDelay(0);
        ApplicationOptions options;
        options.headless = true;
        options.dataDirectory = dir;
        app = std::make_unique<Application>(options);
        clock = std::make_shared<ManualClock>(1800000000.0);
        RunLoop::main().setClock(clock);
        SoundEngine::Config sound;
        sound.headless = true;
        SoundEngine::installSharedEngine(SoundEngine::create(sound));
        auto notifications = std::make_shared<DesktopNotificationCenter>(dir);
        notifications->setShowsNotifications(false);
        LocalNotificationCenter::setShared(notifications);
        AppDelegate::initializeClass();
        delegate = std::make_shared<AppDelegate>();
        delegate->didFinishLaunching(app->window());
        delegate->applicationDidBecomeActive();
        driver = std::make_unique<ScriptDriver>(*delegate, app->window(), clock, out, err);
        driver->settle();
    }
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Game game;
    std::istringstream lines(std::string(reinterpret_cast<const char*>(data), size));
    for (std::string line; std::getline(lines, line);) {
        // Lines that end the run or write files are the driver's business, not the parser's; so is
        // `frame`, a whole-picture comparison that took two fifths of each run under coverage.
        if (line.find("terminate") != std::string::npos || line.find("screenshot") != std::string::npos ||
            line.find("frame") != std::string::npos)
            continue;
        std::string reason;
        (void)game.driver->runLine(line, &reason);
        game.out.str("");
        game.err.str("");
    }
    return 0;
}
