#include "platform/render/Application.h"

#include <SDL.h>
#include <SDL_image.h>
#include <SDL_ttf.h>

#include <cstdio>
#include <cstdlib>

#include "platform/core/Clock.h"
#include "platform/core/RunLoop.h"
#include "platform/render/EventLoop.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/render/WindowDisplay.h"
#include "platform/ui/Font.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

namespace {
Application* gShared = nullptr;
// The window's class (X11) and app id (Wayland): the desktop entry's name and StartupWMClass, by
// which the desktop shows the game's name and icon in its task switcher.
constexpr const char* kWindowClass = "com.example.royalexpedition";
}

ApplicationOptions ApplicationOptions::fromArguments(int argc, char** argv, std::string* error) {
    ApplicationOptions o;
    auto fail = [&](const std::string& message) {
        if (error && error->empty()) *error = message;
    };
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) {
                fail(arg + " needs a value");
                return "";
            }
            return argv[++i];
        };
        if (arg == "--headless") {
            o.headless = true;
        } else if (arg == "--screenshot") {
            o.screenshotPath = value();
            o.headless = true;
        } else if (arg == "--time") {
            const std::string v = value();
            char* end = nullptr;
            const double t = std::strtod(v.c_str(), &end);
            if (v.empty() || *end || t < 0) fail("--time needs a number of seconds");
            else o.headlessTime = t;
        } else if (arg == "--screen") {
            const std::string v = value();
            if (v == "480" || v == "568") o.screenHeight = std::atof(v.c_str());
            else fail("--screen takes 480 or 568");
        } else if (arg == "--data") {
            o.dataDirectory = value();
        }
    }
    return o;
}

Application::Application(ApplicationOptions options) : options_(std::move(options)) {
    gShared = this;
    Screen::mainScreen().setHeight(options_.screenHeight);
    if (options_.headless) {
        // Offscreen: time moves only as the headless run steps it.
        RunLoop::main().setClock(std::make_shared<ManualClock>());
    }
    if (TTF_WasInit() == 0 && TTF_Init() != 0) std::fprintf(stderr, "Royal Expedition: text drawing is off: %s\n", TTF_GetError());
    for (const auto& message : Font::missingFontMessages())
        std::fprintf(stderr, "Royal Expedition: %s; texts in it are not drawn.\n", message.c_str());
    window_ = std::make_shared<Window>(Screen::mainScreen().bounds());
    window_->makeKeyAndVisible();
}

Application::~Application() {
    if (gShared == this) gShared = nullptr;
}

Application* Application::shared() { return gShared; }

void Application::quit() {
    quitRequested_.store(true);
    // Wakes a sleeping loop.
    RunLoop::main().post([] {});
}

int Application::runHeadless() {
    RunLoop::main().advanceBy(options_.headlessTime);
    HeadlessRenderer renderer(Screen::mainScreen().bounds().size);
    if (!renderer.isValid()) return 1;
    renderer.render(*window_);
    window_->clearDirty();
    ++framesRendered_;
    if (!options_.screenshotPath.empty() && !renderer.writePNG(options_.screenshotPath)) return 1;
    if (onTerminate) onTerminate();
    return 0;
}

int Application::run() {
    if (options_.headless) return runHeadless();
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    // The window's surface goes to the display as it is (shared memory on X11): no GL context,
    // whose start, memory and per-frame copy the few changed rectangles a frame sends never need.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_setenv("SDL_VIDEO_X11_WMCLASS", kWindowClass, 0);
    SDL_setenv("SDL_VIDEO_WAYLAND_WMCLASS", kWindowClass, 0);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        std::fprintf(stderr, "Royal Expedition: no display: %s\n", SDL_GetError());
        return 1;
    }
    int status = 0;
    {
        WindowDisplay display(options_.title, Screen::mainScreen().bounds().size, options_.dataDirectory);
        if (!display.isOpen()) {
            std::fprintf(stderr, "Royal Expedition: %s\n", display.error().c_str());
            status = 1;
        } else {
            EventLoop loop(*this, display);
            status = loop.run();
            if (onTerminate) onTerminate();
        }
    }
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    return status;
}
