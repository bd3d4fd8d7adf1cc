#pragma once
// The application shell: reads the command line, sets up the screen and the window of views,
// and runs either the event loop with a real window or a headless render.
//
//   --headless            no window; render offscreen on a manual clock
//   --screenshot FILE     (headless) write the frame as a PNG and exit
//   --time SECONDS        (headless) how far the clock runs before the frame (default 0.5)
//   --screen 480|568      the screen height in points (default 480)
//   --data DIR            the folder for the window size file (and the game's data)
#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class Window;
class EventLoop;

struct ApplicationOptions {
    bool headless = false;
    std::string screenshotPath;
    double headlessTime = 0.5;
    double screenHeight = 480;
    std::string dataDirectory;
    std::string title = "Royal Expedition";
    // Unknown options are left to the caller; `error` tells a malformed one.
    static ApplicationOptions fromArguments(int argc, char** argv, std::string* error = nullptr);
};

class Application {
public:
    explicit Application(ApplicationOptions options);
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    static Application* shared();
    const ApplicationOptions& options() const { return options_; }
    // The key window over the whole screen; build the scene on it before run().
    Window& window() { return *window_; }

    // Headless: runs the clock for `headlessTime`, renders once, writes the screenshot if asked,
    // returns 0 (1 when the PNG could not be written). Otherwise opens the window and runs the
    // event loop until quit(); returns 0, or 1 when no window could be opened.
    int run();
    // Ends the event loop after the current iteration. Safe from any thread.
    void quit();

    // Life-cycle hooks of the window (minimised = the game goes to the background).
    std::function<void()> onEnterBackground;
    std::function<void()> onEnterForeground;
    std::function<void()> onTerminate;
    // The window gained (true) or lost (false) the keyboard focus.
    std::function<void(bool)> onFocusChanged;

    // Frames drawn so far (for measurements).
    uint64_t framesRendered() const { return framesRendered_.load(); }
    // The processor time each frame drawn since the last call took (seconds, from its run-loop
    // pass to the picture sent); the last few thousand at most.
    std::vector<double> takeFrameTimes() { return std::exchange(frameTimes_, {}); }

private:
    friend class EventLoop;
    int runHeadless();
    ApplicationOptions options_;
    std::shared_ptr<Window> window_;
    std::atomic<bool> quitRequested_{false};
    std::atomic<uint64_t> framesRendered_{0};
    std::vector<double> frameTimes_;
};
