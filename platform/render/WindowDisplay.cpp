#include "platform/render/WindowDisplay.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "platform/foundation/DataFile.h"
#include "platform/ui/Window.h"

namespace {
constexpr double kScale = 2.0;  // pixels per point of the render target
}

WindowDisplay::WindowDisplay(const std::string& title, Size points, const std::string& dataDirectory)
    : points_(points), dataDirectory_(dataDirectory) {
    targetWidth_ = static_cast<int>(std::lround(points.width * kScale));
    targetHeight_ = static_cast<int>(std::lround(points.height * kScale));

    // The window's size: remembered, else the target at the largest whole scale that fits the
    // display (or half of it on a small display).
    int w = 0, h = 0;
    if (DataFile::Contents saved = DataFile::read(sizeFile(), 64); saved.status == DataFile::Status::Read) {
        std::istringstream in(std::string(saved.bytes.begin(), saved.bytes.end()));
        if (!(in >> w >> h) || w < 160 || h < 240 || w > 16384 || h > 16384) w = h = 0;
    }
    if (w == 0) {
        SDL_Rect usable{0, 0, targetWidth_, targetHeight_};
        if (SDL_GetDisplayUsableBounds(0, &usable) != 0) usable = SDL_Rect{0, 0, targetWidth_, targetHeight_};
        const int fit = std::min((usable.w - 40) / targetWidth_, (usable.h - 60) / targetHeight_);
        if (fit >= 1) {
            w = targetWidth_ * fit;
            h = targetHeight_ * fit;
        } else {
            w = targetWidth_ / 2;
            h = targetHeight_ / 2;
        }
    }
    window_ = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, w, h,
                               SDL_WINDOW_RESIZABLE | SDL_WINDOW_ALLOW_HIGHDPI);
    if (!window_) {
        error_ = std::string("cannot open the window: ") + SDL_GetError();
        return;
    }
    SDL_SetWindowMinimumSize(window_, targetWidth_ / 4, targetHeight_ / 4);
    SDL_GetWindowPosition(window_, &windowed_.x, &windowed_.y);
    SDL_GetWindowSize(window_, &windowed_.w, &windowed_.h);
    // The target in the window surface's own layout, so copying into the window is a plain copy.
    Uint32 format = SDL_PIXELFORMAT_ARGB8888;
    if (SDL_Surface* screen = SDL_GetWindowSurface(window_); screen && screen->format->BytesPerPixel == 4)
        format = screen->format->format;
    target_ = SDL_CreateRGBSurfaceWithFormat(0, targetWidth_, targetHeight_, 32, format);
    if (target_) renderer_ = SDL_CreateSoftwareRenderer(target_);
    if (!renderer_) {
        error_ = std::string("cannot draw into the window: ") + SDL_GetError();
        return;
    }
    drawer_ = std::make_unique<SdlDrawer>(renderer_, kScale);
}

WindowDisplay::~WindowDisplay() {
    if (window_) saveWindowSize();
    drawer_.reset();
    if (renderer_) SDL_DestroyRenderer(renderer_);
    if (target_) SDL_FreeSurface(target_);
    if (window_) SDL_DestroyWindow(window_);
}

std::string WindowDisplay::sizeFile() const {
    return dataDirectory_.empty() ? std::string() : (std::filesystem::path(dataDirectory_) / "window-size.txt").string();
}

void WindowDisplay::windowSizeChanged() {
    if (!window_) return;
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    if (fullscreen_) {
        fullscreenSize_ = SDL_Rect{0, 0, w, h};
        return;
    }
    // On the way back from fullscreen the old size may still be reported once.
    if (w == fullscreenSize_.w && h == fullscreenSize_.h) return;
    if (SDL_GetWindowFlags(window_) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_MAXIMIZED)) return;
    SDL_GetWindowPosition(window_, &windowed_.x, &windowed_.y);
    windowed_.w = w;
    windowed_.h = h;
    saveWindowSize();
}

void WindowDisplay::saveWindowSize() const {
    if (dataDirectory_.empty() || !window_) return;
    int w = windowed_.w, h = windowed_.h;
    if (w <= 0 && !fullscreen_ && !(SDL_GetWindowFlags(window_) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_MAXIMIZED)))
        SDL_GetWindowSize(window_, &w, &h);
    if (w <= 0 || h <= 0) return;
    std::error_code ec;
    std::filesystem::create_directories(dataDirectory_, ec);
    DataFile::replace(sizeFile(), std::to_string(w) + ' ' + std::to_string(h) + '\n');
}

bool WindowDisplay::isMinimized() const {
    return window_ && (SDL_GetWindowFlags(window_) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN));
}

SDL_Rect WindowDisplay::letterbox(int drawableW, int drawableH, int targetW, int targetH) {
    if (drawableW <= 0 || drawableH <= 0 || targetW <= 0 || targetH <= 0) return SDL_Rect{0, 0, 0, 0};
    const double fit = std::min(static_cast<double>(drawableW) / targetW, static_cast<double>(drawableH) / targetH);
    double factor = std::floor(fit);
    // Smaller than the target: halve it when that fits, else shrink to fit.
    if (factor < 1) factor = fit >= 0.5 ? 0.5 : fit;
    const int w = static_cast<int>(std::lround(targetW * factor));
    const int h = static_cast<int>(std::lround(targetH * factor));
    return SDL_Rect{(drawableW - w) / 2, (drawableH - h) / 2, w, h};
}

SDL_Rect WindowDisplay::destinationRect() const {
    int dw = 0, dh = 0;
    if (shown_) {
        dw = shown_->w;
        dh = shown_->h;
    } else {
        SDL_GetWindowSize(window_, &dw, &dh);
    }
    return letterbox(dw, dh, targetWidth_, targetHeight_);
}

long WindowDisplay::present(Window& root) {
    if (!drawer_) return 0;
    SDL_Surface* screen = SDL_GetWindowSurface(window_);
    if (!screen) return 0;
    if (screen != shown_) wholeWindow_ = true;
    shown_ = screen;
    const DamageRegion& damage = drawer_->drawChanges(root, Color::black());
    const long drawn = damage.area();
    if (damage.isEmpty() && !wholeWindow_) return 0;
    SDL_RenderFlush(renderer_);

    const SDL_Rect dst = destinationRect();
    if (dst.w <= 0 || dst.h <= 0) return drawn;
    const bool whole = dst.w % targetWidth_ == 0 && dst.h % targetHeight_ == 0 && dst.w / targetWidth_ == dst.h / targetHeight_;
    if (wholeWindow_ || !whole) {
        // All of it: the borders black, the picture scaled in (smoothly when shrunk).
        if (wholeWindow_) SDL_FillRect(screen, nullptr, SDL_MapRGB(screen->format, 0, 0, 0));
        SDL_Rect to = dst;
        if (whole || screen->format->format != target_->format->format || SDL_SoftStretchLinear(target_, nullptr, screen, &to) != 0)
            SDL_BlitScaled(target_, nullptr, screen, &to);
        SDL_UpdateWindowSurface(window_);
        wholeWindow_ = false;
        return drawn;
    }
    // Only the changed rectangles, each scaled by the whole factor.
    const int f = dst.w / targetWidth_;
    sent_.clear();
    for (const PixelRect& r : damage.rects()) {
        SDL_Rect from{r.x, r.y, r.w, r.h};
        SDL_Rect to{dst.x + r.x * f, dst.y + r.y * f, r.w * f, r.h * f};
        sent_.push_back(to);
        SDL_BlitScaled(target_, &from, screen, &to);
    }
    SDL_UpdateWindowSurfaceRects(window_, sent_.data(), static_cast<int>(sent_.size()));
    return drawn;
}

Point WindowDisplay::pointFromWindow(int x, int y) const {
    if (!window_ || !renderer_) return {};
    int ww = 0, wh = 0;
    SDL_GetWindowSize(window_, &ww, &wh);
    const int dw = shown_ ? shown_->w : ww, dh = shown_ ? shown_->h : wh;
    // Window coordinates to surface pixels (HiDPI), then into the letterboxed target.
    const double px = ww > 0 ? x * static_cast<double>(dw) / ww : x;
    const double py = wh > 0 ? y * static_cast<double>(dh) / wh : y;
    const SDL_Rect dst = destinationRect();
    if (dst.w <= 0 || dst.h <= 0) return {};
    return {(px - dst.x) * points_.width / dst.w, (py - dst.y) * points_.height / dst.h};
}

void WindowDisplay::toggleFullscreen() {
    if (!window_) return;
    if (!fullscreen_) {
        SDL_Rect display{0, 0, 0, 0};
        if (SDL_GetDisplayBounds(std::max(0, SDL_GetWindowDisplayIndex(window_)), &display) != 0 || display.w <= 0) return;
        SDL_GetWindowPosition(window_, &windowed_.x, &windowed_.y);
        SDL_GetWindowSize(window_, &windowed_.w, &windowed_.h);
        fullscreen_ = true;
        fullscreenSize_ = SDL_Rect{0, 0, display.w, display.h};
        SDL_SetWindowBordered(window_, SDL_FALSE);
        SDL_SetWindowResizable(window_, SDL_FALSE);
        SDL_SetWindowPosition(window_, display.x, display.y);
        SDL_SetWindowSize(window_, display.w, display.h);
        SDL_RaiseWindow(window_);
    } else {
        fullscreen_ = false;
        SDL_SetWindowBordered(window_, SDL_TRUE);
        SDL_SetWindowResizable(window_, SDL_TRUE);
        SDL_SetWindowSize(window_, windowed_.w, windowed_.h);
        SDL_SetWindowPosition(window_, windowed_.x, windowed_.y);
    }
}
