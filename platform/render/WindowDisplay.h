#pragma once
// Internal to the platform: the SDL2 window back end. The screen (320 x 480 or 320 x 568
// points) is drawn into a 2-pixels-per-point render target, which is scaled into the window by
// a whole factor when it fits (halved when the window is smaller than the target), centred and
// letterboxed. HiDPI aware, resizable; F11 or Alt+Enter toggles fullscreen; the window size is
// kept in "window-size.txt" in the data folder.
#include <SDL.h>

#include <memory>
#include <string>

#include "platform/render/SdlDrawer.h"
#include "platform/ui/Geometry.h"

class WindowDisplay {
public:
    WindowDisplay(const std::string& title, Size points, const std::string& dataDirectory);
    ~WindowDisplay();
    WindowDisplay(const WindowDisplay&) = delete;
    WindowDisplay& operator=(const WindowDisplay&) = delete;

    bool isOpen() const { return renderer_ != nullptr; }
    const std::string& error() const { return error_; }
    bool isMinimized() const;
    bool isAccelerated() const { return accelerated_; }

    // Draws the tree into the target and shows it in the window.
    void present(const View& root);
    // Window coordinates (as mouse events give them) to screen points.
    Point pointFromWindow(int x, int y) const;
    void toggleFullscreen();
    // Remembers the window size (not while fullscreen).
    void saveWindowSize() const;
    uint32_t windowId() const { return window_ ? SDL_GetWindowID(window_) : 0; }

private:
    SDL_Rect destinationRect() const;
    std::string sizeFile() const;

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* target_ = nullptr;
    std::unique_ptr<SdlDrawer> drawer_;
    Size points_;
    int targetWidth_ = 0;
    int targetHeight_ = 0;
    std::string dataDirectory_;
    std::string error_;
    bool accelerated_ = false;
    bool fullscreen_ = false;
};
