#pragma once
// Internal to the platform: the SDL2 window back end. The screen (320 x 480 or 320 x 568
// points) is drawn into a 2-pixels-per-point target kept from frame to frame, by the same
// software drawing as the headless renderer (so the window shows exactly what screenshots show),
// and only what changed is drawn again. The changed rectangles alone are copied into the
// window's own surface, scaled by a whole factor when it fits (halved when the window is smaller
// than the target, the whole picture then), centred and letterboxed, and only they are sent to
// the display: a countdown ticking costs a few thousand pixels, not a frame. HiDPI aware, resizable; F11 or Alt+Enter toggles fullscreen: a borderless window
// over the whole display (which needs no window manager to honour it), the picture letterboxed
// in it; toggled back, the window takes its windowed place and size again. Only the windowed
// size is kept, in "window-size.txt" in the data folder.
#include <SDL.h>

#include <memory>
#include <string>
#include <vector>

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

    // Draws what changed in the window's tree into the target and shows it; the pixels of the
    // target drawn (0 when nothing changed).
    long present(Window& root);
    // The window's pixels were lost or moved (exposed, resized): the next present sends all.
    void showWholePicture() { wholeWindow_ = true; }
    // Window coordinates (as mouse events give them) to screen points.
    Point pointFromWindow(int x, int y) const;
    void toggleFullscreen();
    bool isFullscreen() const { return fullscreen_; }
    // The window's size changed: a windowed size is remembered (not the fullscreen one, nor
    // the fullscreen size still reported on the way back).
    void windowSizeChanged();
    // Writes the remembered windowed size.
    void saveWindowSize() const;
    // Window pixels to screen points (the window surface's pixels; the window's size otherwise).
    // Where a target of targetW x targetH pixels goes in a drawable of drawableW x drawableH: a
    // whole factor when it fits, else half size, else shrunk to fit; centred.
    static SDL_Rect letterbox(int drawableW, int drawableH, int targetW, int targetH);
    uint32_t windowId() const { return window_ ? SDL_GetWindowID(window_) : 0; }

private:
    SDL_Rect destinationRect() const;
    std::string sizeFile() const;

    SDL_Window* window_ = nullptr;
    SDL_Surface* target_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Surface* shown_ = nullptr;  // the window surface the target went to last
    bool wholeWindow_ = true;
    std::vector<SDL_Rect> sent_;
    std::unique_ptr<SdlDrawer> drawer_;
    Size points_;
    int targetWidth_ = 0;
    int targetHeight_ = 0;
    std::string dataDirectory_;
    std::string error_;
    bool fullscreen_ = false;
    SDL_Rect windowed_{0, 0, 0, 0};    // the windowed place and size, kept while fullscreen
    SDL_Rect fullscreenSize_{0, 0, 0, 0};  // the size while fullscreen
};
