#include "platform/render/WindowDisplay.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <sstream>

#include "platform/foundation/DataFile.h"

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
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_TARGETTEXTURE);
    accelerated_ = renderer_ != nullptr;
    if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE | SDL_RENDERER_TARGETTEXTURE);
    if (!renderer_) {
        error_ = std::string("cannot draw into the window: ") + SDL_GetError();
        return;
    }
    target_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, targetWidth_, targetHeight_);
    if (!target_) {
        error_ = std::string("cannot create the render target: ") + SDL_GetError();
        SDL_DestroyRenderer(renderer_);
        renderer_ = nullptr;
        return;
    }
    drawer_ = std::make_unique<SdlDrawer>(renderer_, kScale);
}

WindowDisplay::~WindowDisplay() {
    if (window_) saveWindowSize();
    drawer_.reset();
    if (target_) SDL_DestroyTexture(target_);
    if (renderer_) SDL_DestroyRenderer(renderer_);
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
    SDL_GetRendererOutputSize(renderer_, &dw, &dh);
    return letterbox(dw, dh, targetWidth_, targetHeight_);
}

void WindowDisplay::present(const View& root) {
    if (!drawer_) return;
    SDL_SetRenderTarget(renderer_, target_);
    drawer_->drawTree(root, Color::black());
    SDL_SetRenderTarget(renderer_, nullptr);
    SDL_RenderSetClipRect(renderer_, nullptr);
    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
    SDL_RenderClear(renderer_);
    const SDL_Rect dst = destinationRect();
    SDL_SetTextureScaleMode(target_, dst.w >= targetWidth_ ? SDL_ScaleModeNearest : SDL_ScaleModeLinear);
    SDL_SetTextureBlendMode(target_, SDL_BLENDMODE_NONE);
    SDL_RenderCopy(renderer_, target_, nullptr, &dst);
    SDL_RenderPresent(renderer_);
}

Point WindowDisplay::pointFromWindow(int x, int y) const {
    if (!window_ || !renderer_) return {};
    int ww = 0, wh = 0, dw = 0, dh = 0;
    SDL_GetWindowSize(window_, &ww, &wh);
    SDL_GetRendererOutputSize(renderer_, &dw, &dh);
    // Window coordinates to drawable pixels (HiDPI), then into the letterboxed target.
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
