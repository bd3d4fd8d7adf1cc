// The event loop. Order of work in one iteration:
//
//   1. Input: every pending SDL event is handled (mouse -> window touches; keys: Enter and Esc
//      go to the window, where the alert in front answers them or else the frontmost button
//      marked for the key is pressed - an overlay's close button, a message box's OK; F11
//      toggles fullscreen; window events: resize and expose mark the window dirty,
//      minimise/restore, quit).
//   2. Run loop pass: RunLoop::main().runPass() runs the posted blocks, then every timer that is
//      due - delayed blocks, repeating timers, animation completions and the ends of frame
//      animations, each at its instant.
//   3. Animations: nothing to step; views compute their presentation values from the clock.
//      The window asks its animating views when the picture next changes by itself.
//   4. Render: only when something on screen changed (the window's dirty flag, or an animation
//      due to show a new picture), at most about 60 times a second, and never while minimised
//      or hidden. Only the changed pixels are drawn and sent to the display (WindowDisplay).
//   5. Sleep in SDL_WaitEventTimeout until the earliest of: the next timer deadline, the next
//      animation frame (1/60 s after the last render while something moves, or the next frame
//      switch of a frame animation), or input. Blocks posted from other threads wake the loop
//      through an SDL user event. With nothing scheduled it waits for input alone.
#include "platform/render/EventLoop.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <ctime>
#include <cmath>

#include "platform/core/RunLoop.h"
#include "platform/render/Application.h"
#include "platform/render/WindowDisplay.h"
#include "platform/ui/Window.h"

namespace {
constexpr double kFrameInterval = 1.0 / 60.0;
constexpr size_t kFrameTimesKept = 4096;

// The processor time of this thread: a frame's own cost, whatever else the machine runs.
double threadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}
std::atomic<bool> wakePending{false};
Uint32 wakeEventType = 0;
}  // namespace

EventLoop::EventLoop(Application& app, WindowDisplay& display) : app_(app), display_(display) {}

int EventLoop::run() {
    RunLoop& loop = RunLoop::main();
    Window& window = app_.window();
    if (wakeEventType == 0) wakeEventType = SDL_RegisterEvents(1);
    loop.setWakeHandler([] {
        // One wake event at a time is enough: the loop drains the run loop when it wakes.
        if (wakePending.exchange(true)) return;
        SDL_Event e{};
        e.type = wakeEventType;
        SDL_PushEvent(&e);
    });

    bool minimized = false;
    double lastRender = -1;
    bool mouseDown = false;

    auto handle = [&](const SDL_Event& e) {
        switch (e.type) {
        case SDL_QUIT: app_.quit(); break;
        case SDL_MOUSEBUTTONDOWN:
            if (e.button.button == SDL_BUTTON_LEFT && e.button.which != SDL_TOUCH_MOUSEID) {
                mouseDown = true;
                window.touchDown(display_.pointFromWindow(e.button.x, e.button.y));
            }
            break;
        case SDL_MOUSEMOTION:
            if (mouseDown && (e.motion.state & SDL_BUTTON_LMASK))
                window.touchMove(display_.pointFromWindow(e.motion.x, e.motion.y));
            break;
        case SDL_MOUSEBUTTONUP:
            if (e.button.button == SDL_BUTTON_LEFT && mouseDown) {
                mouseDown = false;
                window.touchUp(display_.pointFromWindow(e.button.x, e.button.y));
            }
            break;
        case SDL_KEYDOWN:
            if (e.key.keysym.sym == SDLK_F11 ||
                ((e.key.keysym.sym == SDLK_RETURN || e.key.keysym.sym == SDLK_KP_ENTER) && (e.key.keysym.mod & KMOD_ALT))) {
                display_.toggleFullscreen();
                display_.showWholePicture();
            } else if (e.key.repeat == 0 && (e.key.keysym.sym == SDLK_RETURN || e.key.keysym.sym == SDLK_KP_ENTER)) {
                window.handleEnterKey();
            } else if (e.key.repeat == 0 && e.key.keysym.sym == SDLK_ESCAPE) {
                window.handleEscapeKey();
            }
            break;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
            case SDL_WINDOWEVENT_MINIMIZED:
            case SDL_WINDOWEVENT_HIDDEN:
                if (!minimized && app_.onEnterBackground) app_.onEnterBackground();
                minimized = true;
                break;
            case SDL_WINDOWEVENT_RESTORED:
            case SDL_WINDOWEVENT_SHOWN:
                if (minimized && app_.onEnterForeground) app_.onEnterForeground();
                minimized = false;
                display_.showWholePicture();
                window.markDirty();
                break;
            case SDL_WINDOWEVENT_FOCUS_GAINED:
            case SDL_WINDOWEVENT_FOCUS_LOST:
                if (app_.onFocusChanged) app_.onFocusChanged(e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED);
                break;
            case SDL_WINDOWEVENT_SIZE_CHANGED:
                display_.windowSizeChanged();
                display_.showWholePicture();
                window.markDirty();
                break;
            case SDL_WINDOWEVENT_EXPOSED:
                // The target still holds the picture: it is only sent again.
                display_.showWholePicture();
                window.requestFrame();
                break;
            default: break;
            }
            break;
        default:
            if (e.type == wakeEventType) wakePending.store(false);
            break;
        }
    };

    while (!app_.quitRequested_.load()) {
        // 1. Input.
        SDL_Event e;
        while (SDL_PollEvent(&e)) handle(e);
        if (app_.quitRequested_.load()) break;

        // 2. Run loop pass (timers, posted blocks, animation completions).
        const double passStart = threadCpuSeconds();
        loop.runPass();

        // 3-4. Render when the picture changed, paced to the frame interval.
        double now = loop.now();
        const bool paced = lastRender < 0 || now - lastRender >= kFrameInterval - 0.001;
        if (!minimized && paced && window.needsDisplay(now)) {
            window.clearDirty();
            if (display_.present(window) > 0) {
                ++app_.framesRendered_;
                if (app_.frameTimes_.size() < kFrameTimesKept)
                    app_.frameTimes_.push_back(threadCpuSeconds() - passStart);
            }
            lastRender = now;
        }

        // 5. Sleep until the next deadline, the next frame or input.
        if (loop.hasPostedBlocks()) continue;
        now = loop.now();
        std::optional<double> wake = loop.nextDeadline();
        if (!minimized) {
            std::optional<double> visual;
            if (window.isDirty()) visual = now;
            else visual = window.nextVisualChange(now);
            if (visual) {
                const double frame = std::max(*visual, lastRender + kFrameInterval);
                if (!wake || frame < *wake) wake = frame;
            }
        }
        if (!wake) {
            if (SDL_WaitEvent(&e)) handle(e);
        } else {
            const double wait = *wake - now;
            if (wait > 0) {
                const int ms = static_cast<int>(std::ceil(wait * 1000.0));
                if (SDL_WaitEventTimeout(&e, std::max(1, ms))) handle(e);
            }
        }
    }
    loop.setWakeHandler(nullptr);
    return 0;
}
