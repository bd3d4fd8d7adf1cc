#include "platform/render/SdlDrawer.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "platform/core/RunLoop.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"

namespace {
constexpr size_t kTextCacheLimit = 1500;
}

SdlDrawer::SdlDrawer(SDL_Renderer* renderer, double scale)
    : renderer_(renderer), scale_(scale), alive_(std::make_shared<bool>(true)) {
    static uint64_t lastId = 0;
    id_ = ++lastId;
    SDL_RendererInfo info;
    if (SDL_GetRendererInfo(renderer, &info) == 0 && info.num_texture_formats > 0) textureFormat_ = info.texture_formats[0];
    for (Uint32 i = 0; i < info.num_texture_formats; ++i)
        if (info.texture_formats[i] == SDL_PIXELFORMAT_ARGB8888) textureFormat_ = SDL_PIXELFORMAT_ARGB8888;
}

SdlDrawer::~SdlDrawer() {
    for (auto& [key, entry] : textCache_)
        if (entry.texture) SDL_DestroyTexture(entry.texture);
    // Pictures may outlive this drawer: their textures must no longer be destroyed through it.
    *alive_ = false;
}

void SdlDrawer::drawTree(const View& root, Color clearColor) {
    ++frame_;
    drawCalls_ = 0;
    now_ = RunLoop::main().now();
    SDL_RenderSetClipRect(renderer_, nullptr);
    clipping_ = false;
    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(renderer_, clearColor.r8(), clearColor.g8(), clearColor.b8(), clearColor.a8());
    SDL_RenderClear(renderer_);
    // The root's own frame is the target: its coordinates are points from the top left.
    const Rect b = root.presentationBounds();
    const Transform rootToTarget = Transform::makeTranslation(-b.minX(), -b.minY()).concat(Transform::makeScale(scale_, scale_));
    if (!root.isHidden()) {
        current_ = rootToTarget;
        const double rootAlpha = root.presentationAlpha();
        alpha_ = rootAlpha;
        if (!root.backgroundColor().isClear()) fillRect(b, root.backgroundColor());
        root.drawContent(*this);
        for (const auto& sub : root.subviews()) drawView(*sub, rootToTarget, rootAlpha);
    }
    trimTextCache();
}

void SdlDrawer::drawView(const View& view, const Transform& parent, double parentAlpha) {
    if (view.isHidden()) return;
    const double alpha = parentAlpha * view.presentationAlpha();
    if (alpha <= 0.002) return;
    const Rect b = view.presentationBounds();
    const Point c = view.presentationCenter();
    const Transform& t = view.presentationTransform();
    const Point bc = b.center();
    const Transform m = Transform::makeTranslation(-bc.x, -bc.y).concat(t).concat(Transform::makeTranslation(c.x, c.y)).concat(parent);

    const bool savedClipping = clipping_;
    const SDL_Rect savedClip = clip_;
    if (view.clipsToBounds() && m.isAxisAligned()) {
        const Rect r = m.apply(b);
        SDL_Rect pr{static_cast<int>(std::floor(r.minX() + 0.5)), static_cast<int>(std::floor(r.minY() + 0.5)), 0, 0};
        pr.w = static_cast<int>(std::floor(r.maxX() + 0.5)) - pr.x;
        pr.h = static_cast<int>(std::floor(r.maxY() + 0.5)) - pr.y;
        if (clipping_) {
            SDL_Rect both;
            if (!SDL_IntersectRect(&clip_, &pr, &both)) return;
            pr = both;
        }
        if (pr.w <= 0 || pr.h <= 0) return;
        clip_ = pr;
        clipping_ = true;
        SDL_RenderSetClipRect(renderer_, &clip_);
    }

    current_ = m;
    alpha_ = alpha;
    const Color bg = view.backgroundColor();
    if (!bg.isClear()) fillRect(b, bg);
    view.drawContent(*this);
    for (const auto& sub : view.subviews()) drawView(*sub, m, alpha);

    if (clipping_ != savedClipping || clip_.x != savedClip.x || clip_.y != savedClip.y || clip_.w != savedClip.w ||
        clip_.h != savedClip.h) {
        clipping_ = savedClipping;
        clip_ = savedClip;
        SDL_RenderSetClipRect(renderer_, clipping_ ? &clip_ : nullptr);
    }
}

void SdlDrawer::fillRect(const Rect& rect, Color color) {
    const double a = color.alpha * alpha_;
    if (a <= 0 || rect.isEmpty()) return;
    const Color c = color.withAlpha(static_cast<float>(a));
    ++drawCalls_;
    if (current_.isAxisAligned()) {
        const Rect r = current_.apply(rect);
        const SDL_FRect fr{static_cast<float>(r.minX()), static_cast<float>(r.minY()), static_cast<float>(r.width()),
                           static_cast<float>(r.height())};
        SDL_SetRenderDrawBlendMode(renderer_, c.a8() == 255 ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
        SDL_SetRenderDrawColor(renderer_, c.r8(), c.g8(), c.b8(), c.a8());
        SDL_RenderFillRectF(renderer_, &fr);
        return;
    }
    const SDL_Color sc{c.r8(), c.g8(), c.b8(), c.a8()};
    const Point p[4] = {current_.apply(Point(rect.minX(), rect.minY())), current_.apply(Point(rect.maxX(), rect.minY())),
                        current_.apply(Point(rect.maxX(), rect.maxY())), current_.apply(Point(rect.minX(), rect.maxY()))};
    SDL_Vertex v[4];
    for (int i = 0; i < 4; ++i) v[i] = SDL_Vertex{{static_cast<float>(p[i].x), static_cast<float>(p[i].y)}, sc, {0, 0}};
    const int indices[6] = {0, 1, 2, 0, 2, 3};
    SDL_RenderGeometry(renderer_, nullptr, v, 4, indices, 6);
}

void SdlDrawer::copyTexture(SDL_Texture* texture, const Rect& rect, Color tint, bool opaque) {
    const double a = tint.alpha * alpha_;
    if (!texture || a <= 0 || rect.isEmpty()) return;
    ++drawCalls_;
    const auto alphaMod = static_cast<Uint8>(std::lround(std::clamp(a, 0.0, 1.0) * 255));
    SDL_SetTextureColorMod(texture, tint.r8(), tint.g8(), tint.b8());
    SDL_SetTextureAlphaMod(texture, alphaMod);
    // Opaque pictures shown fully opaque are copied without blending (a full-screen background
    // costs a quarter as much).
    SDL_SetTextureBlendMode(texture, opaque && alphaMod == 255 ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
    if (current_.b == 0 && current_.c == 0 && current_.a > 0 && current_.d > 0) {
        const Rect r = current_.apply(rect);
        const SDL_FRect fr{static_cast<float>(r.minX()), static_cast<float>(r.minY()), static_cast<float>(r.width()),
                           static_cast<float>(r.height())};
        SDL_RenderCopyF(renderer_, texture, nullptr, &fr);
        return;
    }
    // Rotated or mirrored: the rectangle's centre lands where the transform puts it, its sides
    // scaled, and SDL turns it about that centre.
    const Point center = current_.apply(rect.center());
    const double sx = current_.scaleX(), sy = current_.scaleY();
    const double w = std::abs(rect.width() * sx), h = std::abs(rect.height() * sy);
    const SDL_FRect fr{static_cast<float>(center.x - w / 2), static_cast<float>(center.y - h / 2), static_cast<float>(w),
                       static_cast<float>(h)};
    const double degrees = current_.rotation() * 180.0 / std::numbers::pi;
    const SDL_RendererFlip flip = sy < 0 ? SDL_FLIP_VERTICAL : SDL_FLIP_NONE;
    SDL_RenderCopyExF(renderer_, texture, nullptr, &fr, degrees, nullptr, flip);
}

SDL_Texture* SdlDrawer::textureFor(const Image& image) {
    if (auto existing = image.textureFor(id_)) return static_cast<SDL_Texture*>(existing.get());
    if (image.isEmpty()) return nullptr;
    // Textures in the renderer's own layout blit fastest; the pixels are converted once here.
    SDL_Texture* texture =
        SDL_CreateTexture(renderer_, textureFormat_, SDL_TEXTUREACCESS_STATIC, image.pixelWidth(), image.pixelHeight());
    if (!texture) return nullptr;
    if (textureFormat_ == SDL_PIXELFORMAT_RGBA32) {
        SDL_UpdateTexture(texture, nullptr, image.pixels().data(), image.pixelWidth() * 4);
    } else {
        std::vector<uint8_t> converted(image.pixels().size());
        SDL_ConvertPixels(image.pixelWidth(), image.pixelHeight(), SDL_PIXELFORMAT_RGBA32, image.pixels().data(),
                          image.pixelWidth() * 4, textureFormat_, converted.data(), image.pixelWidth() * 4);
        SDL_UpdateTexture(texture, nullptr, converted.data(), image.pixelWidth() * 4);
    }
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    std::weak_ptr<bool> alive = alive_;
    image.setTexture(id_, std::shared_ptr<void>(texture, [alive](void* t) {
        auto flag = alive.lock();
        if (flag && *flag) SDL_DestroyTexture(static_cast<SDL_Texture*>(t));
    }));
    return texture;
}

void SdlDrawer::drawImage(const Image& image, const Rect& rect) {
    copyTexture(textureFor(image), rect, Color::whiteColor(), image.isOpaque());
}

void SdlDrawer::drawText(const std::string& text, const Font& font, Color color, Point origin) {
    if (text.empty() || color.isClear()) return;
    const int pixels = font.pixelSize();
    keyBuffer_.assign(font.filePath());
    keyBuffer_ += font.isBold() ? "|b|" : "|r|";
    keyBuffer_ += std::to_string(pixels);
    keyBuffer_ += '|';
    keyBuffer_ += text;
    auto it = textCache_.find(keyBuffer_);
    if (it == textCache_.end()) {
        TextEntry entry;
        if (auto* f = static_cast<TTF_Font*>(font.handleForPixelSize(pixels))) {
            if (SDL_Surface* s = TTF_RenderUTF8_Blended(f, text.c_str(), SDL_Color{255, 255, 255, 255})) {
                entry.texture = SDL_CreateTextureFromSurface(renderer_, s);
                entry.width = s->w;
                entry.height = s->h;
                if (entry.texture) SDL_SetTextureBlendMode(entry.texture, SDL_BLENDMODE_BLEND);
                SDL_FreeSurface(s);
            }
        }
        it = textCache_.emplace(keyBuffer_, entry).first;
    }
    it->second.lastUsed = frame_;
    const double pointScale = 2.0;  // text is rendered at 2 pixels per point, as it is measured
    copyTexture(it->second.texture, Rect(origin.x, origin.y, it->second.width / pointScale, it->second.height / pointScale), color);
}

void SdlDrawer::trimTextCache() {
    if (textCache_.size() <= kTextCacheLimit) return;
    for (auto it = textCache_.begin(); it != textCache_.end();) {
        if (it->second.lastUsed + 2 < frame_) {
            if (it->second.texture) SDL_DestroyTexture(it->second.texture);
            it = textCache_.erase(it);
        } else {
            ++it;
        }
    }
}
