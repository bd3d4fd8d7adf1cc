#pragma once
// Internal to the render back ends: draws a view tree with an SDL_Renderer, the one drawing code
// shared by the window and the headless renderer. Each view draws its background colour, its
// content, then its sub-views, with the accumulated transform (scale and rotation about the
// centre through SDL_RenderCopyEx), the opacity multiplied down the tree, and clipping to the
// bounds for axis-aligned views that clip. Pictures become textures once per renderer; lines of
// text are rendered once in white and kept (tinted per draw), keyed by font, size and text.
#include <SDL.h>

#include <memory>
#include <string>
#include <unordered_map>

#include "platform/ui/DrawContext.h"
#include "platform/ui/View.h"

class SdlDrawer final : public DrawContext {
public:
    // `scale`: pixels per point of the render target.
    SdlDrawer(SDL_Renderer* renderer, double scale);
    ~SdlDrawer() override;
    SdlDrawer(const SdlDrawer&) = delete;
    SdlDrawer& operator=(const SdlDrawer&) = delete;

    // Clears the target to `clearColor` and draws the tree with `root` at the origin.
    void drawTree(const View& root, Color clearColor);
    int drawCallsLastFrame() const { return drawCalls_; }
    size_t cachedTextCount() const { return textCache_.size(); }

    void fillRect(const Rect& rect, Color color) override;
    void drawImage(const Image& image, const Rect& rect) override;
    void drawText(const std::string& text, const Font& font, Color color, Point origin) override;
    double now() const override { return now_; }

private:
    struct TextEntry {
        SDL_Texture* texture = nullptr;
        int width = 0;
        int height = 0;
        uint64_t lastUsed = 0;
    };
    void drawView(const View& view, const Transform& parent, double parentAlpha);
    void copyTexture(SDL_Texture* texture, const Rect& rect, Color tint, bool opaque = false);
    SDL_Texture* textureFor(const Image& image);
    void trimTextCache();

    SDL_Renderer* renderer_;
    double scale_;
    std::shared_ptr<bool> alive_;
    uint64_t id_;
    Uint32 textureFormat_ = SDL_PIXELFORMAT_RGBA32;
    Transform current_;
    double alpha_ = 1;
    double now_ = 0;
    int drawCalls_ = 0;
    uint64_t frame_ = 0;
    bool clipping_ = false;
    SDL_Rect clip_{};
    std::unordered_map<std::string, TextEntry> textCache_;
    std::string keyBuffer_;
};
