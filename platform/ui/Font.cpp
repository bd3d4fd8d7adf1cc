#include "platform/ui/Font.h"

#include <SDL_ttf.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <mutex>
#include <set>
#include <tuple>

#include "platform/resources/ResourceBundle.h"

namespace {

constexpr const char* kDotFontName = "GD-DOTFONT-DQ-TTF";
constexpr const char* kDotFontFile = "GD-DOTFONT-DQ-TTF.ttf";
constexpr const char* kSystemFontFile = "SystemFont.ttc";

std::mutex fontMutex;

std::string fontPath(const std::string& file) { return ResourceBundle::mainBundle().pathForResource(file, ""); }

void reportMissing(const std::string& file) {
    static std::set<std::string> reported;
    if (!reported.insert(file).second) return;
    std::fprintf(stderr, "Royal Expedition: the font \"%s\" is missing from the resources; its texts are not drawn.\n",
                 file.c_str());
}

// Fonts stay open for the life of the process: text is drawn up to the last frame, and SDL_ttf is
// never shut down. The table is never destroyed, so it still holds them (reachable, not lost) when
// the process ends, and nothing tries to close a font after its library is gone.
TTF_Font* openFont(const std::string& path, bool bold, int pixels) {
    static auto& open = *new std::map<std::tuple<std::string, bool, int>, TTF_Font*>();
    auto key = std::make_tuple(path, bold, pixels);
    if (auto it = open.find(key); it != open.end()) return it->second;
    if (!TTF_WasInit() && TTF_Init() != 0) return nullptr;
    TTF_Font* font = path.empty() ? nullptr : TTF_OpenFont(path.c_str(), pixels);
    if (font && bold) TTF_SetFontStyle(font, TTF_STYLE_BOLD);
    open.emplace(key, font);
    return font;
}

// The code points of a UTF-8 text; a malformed byte stands for itself.
std::vector<uint32_t> codePoints(const std::string& text) {
    std::vector<uint32_t> points;
    for (size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        const int length = byte < 0x80 ? 1 : (byte >> 5) == 6 ? 2 : (byte >> 4) == 14 ? 3 : (byte >> 3) == 30 ? 4 : 1;
        uint32_t point = length == 1 ? byte : byte & (0x3f >> (length - 1));
        bool whole = i + length <= text.size();
        for (int k = 1; whole && k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            whole = (next & 0xc0) == 0x80;
            point = (point << 6) | (next & 0x3f);
        }
        points.push_back(whole ? point : byte);
        i += whole ? length : 1;
    }
    return points;
}

}  // namespace

Font::Font(std::string name, std::string path, bool bold, double pointSize)
    : name_(std::move(name)), path_(std::move(path)), bold_(bold), pointSize_(pointSize > 0 ? pointSize : 1) {}

std::shared_ptr<Font> Font::fontWithName(const std::string& name, double pointSize) {
    const bool dot = name == kDotFontName || name == kDotFontFile;
    const std::string file = dot ? kDotFontFile : kSystemFontFile;
    const bool bold = !dot && name.find("Bold") != std::string::npos;
    std::string path = fontPath(file);
    if (path.empty()) reportMissing(file);
    return std::make_shared<Font>(dot ? kDotFontName : name, path, bold, pointSize);
}

std::shared_ptr<Font> Font::systemFontOfSize(double pointSize) { return fontWithName("system", pointSize); }

std::shared_ptr<Font> Font::boldSystemFontOfSize(double pointSize) { return fontWithName("system-Bold", pointSize); }

std::vector<std::string> Font::missingFontMessages() {
    std::vector<std::string> messages;
    for (const char* file : {kDotFontFile, kSystemFontFile}) {
        const std::string path = fontPath(file);
        std::lock_guard lock(fontMutex);
        if (path.empty())
            messages.push_back(std::string("font \"") + file + "\" not found in the resources (" +
                               ResourceBundle::mainBundle().rootDirectory() + ")");
        else if (!openFont(path, false, 24))
            messages.push_back(std::string("font \"") + path + "\" cannot be opened: " + TTF_GetError());
    }
    return messages;
}

std::shared_ptr<Font> Font::withSize(double pointSize) const {
    return std::make_shared<Font>(name_, path_, bold_, pointSize);
}

int Font::pixelSize() const { return std::max(1, static_cast<int>(std::lround(pointSize_ * 2))); }

void* Font::handleForPixelSize(int pixels) const {
    if (path_.empty()) return nullptr;
    std::lock_guard lock(fontMutex);
    return openFont(path_, bold_, pixels);
}

bool Font::hasGlyphsForText(const std::string& text) const {
    auto* f = static_cast<TTF_Font*>(handleForPixelSize(pixelSize()));
    if (!f) return false;
    std::lock_guard lock(fontMutex);
    for (uint32_t point : codePoints(text))
        if (point >= 0x20 && !TTF_GlyphIsProvided32(f, point)) return false;
    return true;
}

std::shared_ptr<Font> Font::fontCoveringText(const std::shared_ptr<Font>& font, const std::string& text) {
    if (!font || text.empty() || font->hasGlyphsForText(text)) return font;
    const bool dot = font->name() == kDotFontName;
    auto fallback = dot ? systemFontOfSize(font->pointSize() * kDotFontFallbackScale) : font->bold_ ? boldSystemFontOfSize(font->pointSize())
                                                                                                   : systemFontOfSize(font->pointSize());
    return fallback->filePath() != font->filePath() && fallback->hasGlyphsForText(text) ? fallback : font;
}

bool Font::isAvailable() const { return handleForPixelSize(pixelSize()) != nullptr; }

double Font::lineHeight() const {
    auto* f = static_cast<TTF_Font*>(handleForPixelSize(pixelSize()));
    return f ? TTF_FontLineSkip(f) / 2.0 : pointSize_ * 1.2;
}

double Font::ascender() const {
    auto* f = static_cast<TTF_Font*>(handleForPixelSize(pixelSize()));
    return f ? TTF_FontAscent(f) / 2.0 : pointSize_;
}

double Font::widthOfText(const std::string& text) const {
    if (text.empty()) return 0;
    auto* f = static_cast<TTF_Font*>(handleForPixelSize(pixelSize()));
    if (!f) return 0;
    int w = 0, h = 0;
    {
        std::lock_guard lock(fontMutex);
        if (TTF_SizeUTF8(f, text.c_str(), &w, &h) != 0) return 0;
    }
    return w / 2.0;
}
