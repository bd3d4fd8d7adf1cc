#include "platform/render/SdlDrawer.h"

#include <SDL_ttf.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "platform/core/RunLoop.h"
#include "platform/ui/Font.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Window.h"

namespace {
// Lines of text kept: past this many bytes of text pictures, those not drawn in the last frames go
// (a countdown makes a new line every second; an hour of them must not pile up).
constexpr size_t kTextCacheBytes = 1024 * 1024;
// Larger stretched pictures are stretched while drawn (none in the game is).
constexpr long kMaxScaledPixels = 2L * 1024 * 1024;
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
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(renderer_, &w, &h);
    damage_.setBounds(w, h);
    damage_.addAll();
    record_ = nullptr;
    recordFrame_ = 0;
    drawRoot(root, clearColor);
}

const DamageRegion& SdlDrawer::drawChanges(Window& window, Color clearColor) {
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(renderer_, &w, &h);
    damage_.setBounds(w, h);
    now_ = RunLoop::main().now();
    Window::Changes changes = window.takeChanges(now_);
    const uint64_t last = window.drawnFrame();
    if (changes.all || last == 0 || lastWindow_ != &window) {
        damage_.addAll();
    } else {
        auto pixels = [](const Rect& r) {
            const int x0 = static_cast<int>(std::floor(r.minX())) - 1, y0 = static_cast<int>(std::floor(r.minY())) - 1;
            const int x1 = static_cast<int>(std::ceil(r.maxX())) + 1, y1 = static_cast<int>(std::ceil(r.maxY())) + 1;
            return PixelRect{x0, y0, x1 - x0, y1 - y0};
        };
        for (const Rect& r : changes.left) damage_.add(pixels(r));
        for (const View* v : changes.views) {
            if (v == &window) {
                damage_.addAll();
                break;
            }
            // Where it was, and where it is now.
            const Rect before = window.drawnBoxOfTree(*v);
            if (!before.isEmpty()) damage_.add(pixels(before));
            measureTree(*v, window);
            if (!measured_.isEmpty()) damage_.add(pixels(measured_));
        }
    }
    lastWindow_ = &window;
    if (damage_.isEmpty()) return damage_;
    recordFrame_ = last + 1;
    drawRoot(window, clearColor);
    record_ = nullptr;
    window.setDrawnFrame(recordFrame_);
    return damage_;
}

void SdlDrawer::drawRoot(const View& root, Color clearColor) {
    ++frame_;
    drawCalls_ = 0;
    mode_ = Mode::draw;
    now_ = RunLoop::main().now();
    clipping_ = false;
    sdlClipSet_ = false;
    SDL_RenderSetClipRect(renderer_, nullptr);
    // The damaged rectangles start from the clear colour, as a whole frame does.
    SDL_SetRenderDrawBlendMode(renderer_, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(renderer_, clearColor.r8(), clearColor.g8(), clearColor.b8(), clearColor.a8());
    if (damage_.coversAll()) {
        SDL_RenderClear(renderer_);
    } else {
        for (const PixelRect& d : damage_.rects()) {
            const SDL_Rect r{d.x, d.y, d.w, d.h};
            SDL_RenderFillRect(renderer_, &r);
        }
    }
    // The root's own frame is the target: its coordinates are points from the top left.
    const Rect b = root.presentationBounds();
    const Transform rootToTarget = Transform::makeTranslation(-b.minX(), -b.minY()).concat(Transform::makeScale(scale_, scale_));
    if (!root.isHidden()) {
        current_ = rootToTarget;
        const double rootAlpha = root.presentationAlpha();
        alpha_ = rootAlpha;
        if (recordFrame_ != 0) {
            record_ = &root.drawnRecord();
            *record_ = View::DrawnRecord{Rect(), recordFrame_};
        }
        // What a screen over the whole target hides is not drawn (the main screen under the title).
        const auto& subs = root.subviews();
        size_t first = subs.size();
        while (first > 0 && !coversTarget(*subs[first - 1], rootToTarget, rootAlpha)) --first;
        if (first == 0) {
            if (!root.backgroundColor().isClear()) fillRect(b, root.backgroundColor());
            root.drawContent(*this);
        } else {
            --first;
        }
        for (size_t i = first; i < subs.size(); ++i) drawView(*subs[i], rootToTarget, rootAlpha);
    }
    if (sdlClipSet_) SDL_RenderSetClipRect(renderer_, nullptr);
    sdlClipSet_ = false;
    trimTextCache();
}

bool SdlDrawer::coversTarget(const View& view, const Transform& parent, double parentAlpha) const {
    if (view.isHidden() || parentAlpha * view.presentationAlpha() < 1.0) return false;
    const Rect b = view.presentationBounds();
    const Point bc = b.center();
    const Point c = view.presentationCenter();
    const Transform m =
        Transform::makeTranslation(-bc.x, -bc.y).concat(view.presentationTransform()).concat(Transform::makeTranslation(c.x, c.y)).concat(parent);
    if (!m.isAxisAligned()) return false;
    int w = 0, h = 0;
    SDL_GetRendererOutputSize(renderer_, &w, &h);
    auto covers = [&](const Rect& local) {
        const Rect r = m.apply(local);
        return r.minX() <= 0 && r.minY() <= 0 && r.maxX() >= w && r.maxY() >= h;
    };
    const bool wholeBox = covers(b);
    if (wholeBox && view.backgroundColor().alpha >= 1.0f) return true;
    if (view.clipsToBounds() && !wholeBox) return false;
    if (const auto* picture = dynamic_cast<const ImageView*>(&view)) {
        const auto shown = picture->displayedImage();
        if (shown && !shown->isEmpty() && covers(picture->imageRect(*shown)) && shown->isOpaque() &&
            (!view.clipsToBounds() || wholeBox))
            return true;
    }
    for (const auto& sub : view.subviews())
        if (coversTarget(*sub, m, 1.0)) return true;
    return false;
}

bool SdlDrawer::placeOfParent(const View& view, const View& root, Transform& m, double& alpha) const {
    const View* parent = view.superview();
    if (!parent) return false;
    if (parent == &root) {
        const Rect b = root.presentationBounds();
        m = Transform::makeTranslation(-b.minX(), -b.minY()).concat(Transform::makeScale(scale_, scale_));
        alpha = root.presentationAlpha();
        return !root.isHidden();
    }
    Transform above;
    double aboveAlpha = 1;
    if (parent->isHidden() || !placeOfParent(*parent, root, above, aboveAlpha)) return false;
    const Rect b = parent->presentationBounds();
    const Point bc = b.center();
    const Point c = parent->presentationCenter();
    m = Transform::makeTranslation(-bc.x, -bc.y)
            .concat(parent->presentationTransform())
            .concat(Transform::makeTranslation(c.x, c.y))
            .concat(above);
    alpha = aboveAlpha * parent->presentationAlpha();
    return true;
}

void SdlDrawer::measureTree(const View& view, const View& root) {
    measured_ = Rect();
    Transform m;
    double alpha = 1;
    if (!placeOfParent(view, root, m, alpha)) return;
    mode_ = Mode::measure;
    record_ = nullptr;
    clipping_ = false;
    drawView(view, m, alpha);
    mode_ = Mode::draw;
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
    }

    current_ = m;
    alpha_ = alpha;
    View::DrawnRecord* const savedRecord = record_;
    if (mode_ == Mode::draw && recordFrame_ != 0) {
        record_ = &view.drawnRecord();
        *record_ = View::DrawnRecord{Rect(), recordFrame_};
    }
    const Color bg = view.backgroundColor();
    if (!bg.isClear()) fillRect(b, bg);
    view.drawContent(*this);
    for (const auto& sub : view.subviews()) drawView(*sub, m, alpha);
    record_ = savedRecord;
    clipping_ = savedClipping;
    clip_ = savedClip;
}

bool SdlDrawer::touch(const Rect& box) {
    // Two pixels of margin: rounding, and the edge pixels of turned pictures.
    const int x0 = static_cast<int>(std::floor(box.minX())) - 2, y0 = static_cast<int>(std::floor(box.minY())) - 2;
    const int x1 = static_cast<int>(std::ceil(box.maxX())) + 2, y1 = static_cast<int>(std::ceil(box.maxY())) + 2;
    opBox_ = SDL_Rect{x0, y0, x1 - x0, y1 - y0};
    if (clipping_) {
        SDL_Rect both;
        if (!SDL_IntersectRect(&opBox_, &clip_, &both)) return false;
        opBox_ = both;
    }
    const Rect seen(opBox_.x, opBox_.y, opBox_.w, opBox_.h);
    if (mode_ == Mode::measure) {
        measured_ = measured_.isEmpty() ? seen : measured_.unionWith(seen);
        return false;
    }
    if (record_) record_->box = record_->box.isEmpty() ? seen : record_->box.unionWith(seen);
    const PixelRect touched{opBox_.x, opBox_.y, opBox_.w, opBox_.h};
    for (const PixelRect& r : damage_.rects())
        if (r.intersects(touched)) return true;
    return false;
}

template <class F>
void SdlDrawer::issueClipped(const SDL_Rect& box, F&& issue) {
    for (const PixelRect& d : damage_.rects()) {
        const SDL_Rect r{d.x, d.y, d.w, d.h};
        if (!SDL_HasIntersection(&r, &box)) continue;
        // Clipped to the damaged rectangle and the view's own clip, never to the call's box: SDL
        // must draw the call's pixels exactly as a whole frame does.
        SDL_Rect wanted = r;
        if (clipping_ && !SDL_IntersectRect(&r, &clip_, &wanted)) continue;
        if (!sdlClipSet_ || !SDL_RectEquals(&wanted, &sdlClip_)) {
            sdlClip_ = wanted;
            sdlClipSet_ = true;
            SDL_RenderSetClipRect(renderer_, &sdlClip_);
        }
        issue();
    }
}

void SdlDrawer::fillRect(const Rect& rect, Color color) {
    const double a = color.alpha * alpha_;
    if (a <= 0 || rect.isEmpty()) return;
    if (!touch(current_.apply(rect))) return;
    const Color c = color.withAlpha(static_cast<float>(a));
    if (current_.isAxisAligned()) {
        const Rect r = current_.apply(rect);
        const SDL_FRect fr{static_cast<float>(r.minX()), static_cast<float>(r.minY()), static_cast<float>(r.width()),
                           static_cast<float>(r.height())};
        issueClipped(opBox_, [&] {
            ++drawCalls_;
            SDL_SetRenderDrawBlendMode(renderer_, c.a8() == 255 ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
            SDL_SetRenderDrawColor(renderer_, c.r8(), c.g8(), c.b8(), c.a8());
            SDL_RenderFillRectF(renderer_, &fr);
        });
        return;
    }
    const SDL_Color sc{c.r8(), c.g8(), c.b8(), c.a8()};
    const Point p[4] = {current_.apply(Point(rect.minX(), rect.minY())), current_.apply(Point(rect.maxX(), rect.minY())),
                        current_.apply(Point(rect.maxX(), rect.maxY())), current_.apply(Point(rect.minX(), rect.maxY()))};
    SDL_Vertex v[4];
    for (int i = 0; i < 4; ++i) v[i] = SDL_Vertex{{static_cast<float>(p[i].x), static_cast<float>(p[i].y)}, sc, {0, 0}};
    const int indices[6] = {0, 1, 2, 0, 2, 3};
    issueClipped(opBox_, [&] {
        ++drawCalls_;
        SDL_RenderGeometry(renderer_, nullptr, v, 4, indices, 6);
    });
}

void SdlDrawer::copyAt(SDL_Texture* texture, const SDL_FRect& fr, Color tint, bool opaque) {
    const double a = tint.alpha * alpha_;
    if (!texture || a <= 0) return;
    const auto alphaMod = static_cast<Uint8>(std::lround(std::clamp(a, 0.0, 1.0) * 255));
    SDL_SetTextureColorMod(texture, tint.r8(), tint.g8(), tint.b8());
    SDL_SetTextureAlphaMod(texture, alphaMod);
    SDL_SetTextureBlendMode(texture, opaque && alphaMod == 255 ? SDL_BLENDMODE_NONE : SDL_BLENDMODE_BLEND);
    issueClipped(opBox_, [&] {
        ++drawCalls_;
        SDL_RenderCopyF(renderer_, texture, nullptr, &fr);
    });
}

void SdlDrawer::copyTexture(SDL_Texture* texture, const Rect& rect, Color tint, bool opaque) {
    const double a = tint.alpha * alpha_;
    if (!texture || a <= 0 || rect.isEmpty()) return;
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
        issueClipped(opBox_, [&] {
            ++drawCalls_;
            SDL_RenderCopyF(renderer_, texture, nullptr, &fr);
        });
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
    issueClipped(opBox_, [&] {
        ++drawCalls_;
        SDL_RenderCopyExF(renderer_, texture, nullptr, &fr, degrees, nullptr, flip);
    });
}

SDL_Texture* SdlDrawer::makeTexture(const uint8_t* rgba, int w, int h) {
    // Textures in the renderer's own layout blit fastest; the pixels are converted once here.
    SDL_Texture* texture = SDL_CreateTexture(renderer_, textureFormat_, SDL_TEXTUREACCESS_STATIC, w, h);
    if (!texture) return nullptr;
    if (textureFormat_ == SDL_PIXELFORMAT_RGBA32) {
        SDL_UpdateTexture(texture, nullptr, rgba, w * 4);
    } else {
        std::vector<uint8_t> converted(static_cast<size_t>(w) * h * 4);
        SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_RGBA32, rgba, w * 4, textureFormat_, converted.data(), w * 4);
        SDL_UpdateTexture(texture, nullptr, converted.data(), w * 4);
    }
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_BLEND);
    return texture;
}

std::shared_ptr<void> SdlDrawer::owned(SDL_Texture* texture) const {
    std::weak_ptr<bool> alive = alive_;
    return std::shared_ptr<void>(texture, [alive](void* t) {
        auto flag = alive.lock();
        if (flag && *flag) SDL_DestroyTexture(static_cast<SDL_Texture*>(t));
    });
}

SDL_Texture* SdlDrawer::textureFor(const Image& image) {
    if (auto existing = image.textureFor(id_)) return static_cast<SDL_Texture*>(existing.get());
    const std::vector<uint8_t>& pixels = image.pixels();  // decoded now, the first time
    if (image.isEmpty() || pixels.size() < static_cast<size_t>(image.pixelWidth()) * image.pixelHeight() * 4) return nullptr;
    SDL_Texture* texture = makeTexture(pixels.data(), image.pixelWidth(), image.pixelHeight());
    if (texture) image.setTexture(id_, owned(texture));
    return texture;
}

SDL_Texture* SdlDrawer::scaledTextureFor(const Image& image, int w, int h) {
    if (auto existing = image.scaledTextureFor(id_, w, h)) return static_cast<SDL_Texture*>(existing.get());
    const std::vector<uint8_t>& pixels = image.pixels();
    if (image.isEmpty() || pixels.size() < static_cast<size_t>(image.pixelWidth()) * image.pixelHeight() * 4) return nullptr;
    SDL_Surface* source = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(pixels.data()), image.pixelWidth(),
                                                             image.pixelHeight(), 32, image.pixelWidth() * 4, SDL_PIXELFORMAT_RGBA32);
    SDL_Surface* scaled = SDL_CreateRGBSurfaceWithFormat(0, w, h, 32, SDL_PIXELFORMAT_RGBA32);
    SDL_Texture* texture = nullptr;
    if (source && scaled) {
        SDL_SetSurfaceBlendMode(source, SDL_BLENDMODE_NONE);
        if (SDL_BlitScaled(source, nullptr, scaled, nullptr) == 0 && SDL_LockSurface(scaled) == 0) {
            std::vector<uint8_t> rows(static_cast<size_t>(w) * h * 4);
            for (int y = 0; y < h; ++y)
                std::copy_n(static_cast<const uint8_t*>(scaled->pixels) + static_cast<size_t>(y) * scaled->pitch, w * 4,
                            rows.begin() + static_cast<std::ptrdiff_t>(y) * w * 4);
            SDL_UnlockSurface(scaled);
            texture = makeTexture(rows.data(), w, h);
        }
    }
    if (source) SDL_FreeSurface(source);
    if (scaled) SDL_FreeSurface(scaled);
    if (texture) image.setScaledTexture(id_, w, h, owned(texture));
    return texture;
}

void SdlDrawer::drawImage(const Image& image, const Rect& rect) {
    if (image.isEmpty() || alpha_ <= 0 || rect.isEmpty()) return;
    // Only a picture that lands in a damaged rectangle needs its texture.
    if (!touch(current_.apply(rect))) return;
    if (current_.b == 0 && current_.c == 0 && current_.a > 0 && current_.d > 0) {
        // Stretched pictures are scaled once, whole, and copied pixel for pixel: SDL would sample a
        // clipped stretch from a shifted start, and a patch would not match the whole frame.
        const Rect r = current_.apply(rect);
        const int w = static_cast<int>(static_cast<float>(r.width())), h = static_cast<int>(static_cast<float>(r.height()));
        if ((w != image.pixelWidth() || h != image.pixelHeight()) && w > 0 && h > 0 && static_cast<long>(w) * h <= kMaxScaledPixels) {
            const SDL_FRect fr{static_cast<float>(r.minX()), static_cast<float>(r.minY()), static_cast<float>(w), static_cast<float>(h)};
            copyAt(scaledTextureFor(image, w, h), fr, Color::whiteColor(), image.isOpaque());
            return;
        }
    }
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
        textBytes_ += static_cast<size_t>(entry.width) * entry.height * 4;
        it = textCache_.emplace(keyBuffer_, entry).first;
    }
    it->second.lastUsed = frame_;
    const double pointScale = 2.0;  // text is rendered at 2 pixels per point, as it is measured
    const Rect rect(origin.x, origin.y, it->second.width / pointScale, it->second.height / pointScale);
    if (!it->second.texture || rect.isEmpty() || !touch(current_.apply(rect))) return;
    copyTexture(it->second.texture, rect, color);
}

void SdlDrawer::trimTextCache() {
    if (textBytes_ <= kTextCacheBytes) return;
    for (auto it = textCache_.begin(); it != textCache_.end();) {
        if (it->second.lastUsed + 2 < frame_) {
            if (it->second.texture) SDL_DestroyTexture(it->second.texture);
            textBytes_ -= static_cast<size_t>(it->second.width) * it->second.height * 4;
            it = textCache_.erase(it);
        } else {
            ++it;
        }
    }
}
