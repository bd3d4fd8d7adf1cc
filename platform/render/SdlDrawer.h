#pragma once
// Internal to the render back ends: draws a view tree with an SDL_Renderer, the one drawing code
// shared by the window and the headless renderer. Each view draws its background colour, its
// content, then its sub-views, with the accumulated transform (scale and rotation about the
// centre through SDL_RenderCopyEx), the opacity multiplied down the tree, and clipping to the
// bounds for axis-aligned views that clip. Pictures become textures once per renderer; lines of
// text are rendered once in white and kept (tinted per draw), keyed by font, size and text.
//
// drawChanges() keeps the target from frame to frame and draws only the pixels that changed:
// the boxes the changed views drew last time (each view keeps its own, see View::drawnRecord),
// the boxes they draw now (measured by running their drawing without pixels), and the boxes of
// views that went. Every drawing call is clipped to those few rectangles and skipped when it
// misses them all, so the pixels inside come out exactly as a full frame would draw them.
#include <SDL.h>

#include <memory>
#include <string>
#include <unordered_map>

#include "platform/render/DamageRegion.h"
#include "platform/ui/DrawContext.h"
#include "platform/ui/View.h"

class Window;

class SdlDrawer final : public DrawContext {
public:
    // `scale`: pixels per point of the render target.
    SdlDrawer(SDL_Renderer* renderer, double scale);
    ~SdlDrawer() override;
    SdlDrawer(const SdlDrawer&) = delete;
    SdlDrawer& operator=(const SdlDrawer&) = delete;

    // Clears the target to `clearColor` and draws the tree with `root` at the origin.
    void drawTree(const View& root, Color clearColor);
    // Draws what changed in `window` since this drawer's last frame of it (all of it the first
    // time and after Window::markDirty). Returns the rectangles drawn (target pixels; empty
    // when nothing changed). One drawer per window draws this way.
    const DamageRegion& drawChanges(Window& window, Color clearColor);
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
    enum class Mode { draw, measure };
    void drawRoot(const View& root, Color clearColor);
    void drawView(const View& view, const Transform& parent, double parentAlpha);
    // Where `view`'s parent puts it: the transform to target pixels and the opacity, false when
    // an ancestor is hidden or the view is not under `root`.
    bool placeOfParent(const View& view, const View& root, Transform& m, double& alpha) const;
    void measureTree(const View& view, const View& root);
    // The view (or one of its sub-views) paints every pixel of the target opaquely.
    bool coversTarget(const View& view, const Transform& parent, double parentAlpha) const;
    // The pixels a drawing call touches (a pixel of margin for rounding); notes them for the view
    // being drawn, or for the measurement. False when the call misses every damaged rectangle.
    bool touch(const Rect& box);
    // Runs `issue` once per damaged rectangle the box meets, clipped to it.
    template <class F>
    void issueClipped(const SDL_Rect& box, F&& issue);
    void copyTexture(SDL_Texture* texture, const Rect& rect, Color tint, bool opaque = false);
    // A copy to exactly these target pixels, unscaled when the texture is their size.
    void copyAt(SDL_Texture* texture, const SDL_FRect& pixels, Color tint, bool opaque);
    SDL_Texture* makeTexture(const uint8_t* rgba, int w, int h);
    std::shared_ptr<void> owned(SDL_Texture* texture) const;
    SDL_Texture* textureFor(const Image& image);
    // The picture scaled once, whole, to w x h pixels (nearest pixel, as SDL stretches).
    SDL_Texture* scaledTextureFor(const Image& image, int w, int h);
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
    Mode mode_ = Mode::draw;
    DamageRegion damage_;
    SDL_Rect opBox_{};              // the current call's pixels
    View::DrawnRecord* record_ = nullptr;  // the view being drawn, when frames are kept
    uint64_t recordFrame_ = 0;
    Rect measured_;
    bool sdlClipSet_ = false;
    SDL_Rect sdlClip_{};
    const Window* lastWindow_ = nullptr;
    std::unordered_map<std::string, TextEntry> textCache_;
    size_t textBytes_ = 0;
    std::string keyBuffer_;
};
