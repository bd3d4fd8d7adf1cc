#include "platform/render/HeadlessRenderer.h"

#include <SDL.h>
#include <SDL_image.h>

#include <cmath>
#include <cstdio>

#include "platform/render/SdlDrawer.h"

struct HeadlessRenderer::Impl {
    SDL_Surface* surface = nullptr;
    SDL_Renderer* renderer = nullptr;
    std::unique_ptr<SdlDrawer> drawer;
};

HeadlessRenderer::HeadlessRenderer(Size points, double scale) : impl_(std::make_unique<Impl>()), scale_(scale) {
    const int w = std::max(1, static_cast<int>(std::lround(points.width * scale)));
    const int h = std::max(1, static_cast<int>(std::lround(points.height * scale)));
    impl_->surface = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_ARGB8888);
    if (!impl_->surface) {
        std::fprintf(stderr, "headless renderer: no surface: %s\n", SDL_GetError());
        return;
    }
    impl_->renderer = SDL_CreateSoftwareRenderer(impl_->surface);
    if (!impl_->renderer) {
        std::fprintf(stderr, "headless renderer: %s\n", SDL_GetError());
        return;
    }
    impl_->drawer = std::make_unique<SdlDrawer>(impl_->renderer, scale);
}

HeadlessRenderer::~HeadlessRenderer() {
    impl_->drawer.reset();
    if (impl_->renderer) SDL_DestroyRenderer(impl_->renderer);
    if (impl_->surface) SDL_FreeSurface(impl_->surface);
}

bool HeadlessRenderer::isValid() const { return impl_->drawer != nullptr; }
int HeadlessRenderer::pixelWidth() const { return impl_->surface ? impl_->surface->w : 0; }
int HeadlessRenderer::pixelHeight() const { return impl_->surface ? impl_->surface->h : 0; }
int HeadlessRenderer::drawCallsLastFrame() const { return impl_->drawer ? impl_->drawer->drawCallsLastFrame() : 0; }

void HeadlessRenderer::render(const View& root, Color clearColor) {
    if (!impl_->drawer) return;
    impl_->drawer->drawTree(root, clearColor);
    SDL_RenderPresent(impl_->renderer);
}

long HeadlessRenderer::renderChanges(Window& window, Color clearColor) {
    if (!impl_->drawer) return 0;
    const long area = impl_->drawer->drawChanges(window, clearColor).area();
    SDL_RenderPresent(impl_->renderer);
    return area;
}

std::pair<int, int> HeadlessRenderer::firstDifference(const HeadlessRenderer& other) const {
    SDL_Surface* a = impl_->surface;
    SDL_Surface* b = other.impl_->surface;
    if (!a || !b) return {0, 0};
    if (a->w != b->w || a->h != b->h) return {0, 0};
    for (int y = 0; y < a->h; ++y) {
        const auto* ra = reinterpret_cast<const Uint32*>(static_cast<const uint8_t*>(a->pixels) + static_cast<size_t>(y) * a->pitch);
        const auto* rb = reinterpret_cast<const Uint32*>(static_cast<const uint8_t*>(b->pixels) + static_cast<size_t>(y) * b->pitch);
        for (int x = 0; x < a->w; ++x)
            if (ra[x] != rb[x]) return {x, y};
    }
    return {-1, -1};
}

Color HeadlessRenderer::pixelAt(int x, int y) const {
    SDL_Surface* s = impl_->surface;
    if (!s || x < 0 || y < 0 || x >= s->w || y >= s->h) return Color::clear();
    SDL_LockSurface(s);
    const auto* row = static_cast<const uint8_t*>(s->pixels) + static_cast<size_t>(y) * s->pitch;
    const Uint32 pixel = reinterpret_cast<const Uint32*>(row)[x];
    Uint8 r, g, b, a;
    SDL_GetRGBA(pixel, s->format, &r, &g, &b, &a);
    const Color c = Color::fromRGBA8(r, g, b, a);
    SDL_UnlockSurface(s);
    return c;
}

bool HeadlessRenderer::writePNG(const std::string& path) const {
    if (!impl_->surface) return false;
    if (IMG_SavePNG(impl_->surface, path.c_str()) != 0) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), IMG_GetError());
        return false;
    }
    return true;
}
