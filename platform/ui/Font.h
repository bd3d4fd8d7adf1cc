#pragma once
// A font by name and size in points. "GD-DOTFONT-DQ-TTF" is the game's dot font
// ("GD-DOTFONT-DQ-TTF.ttf" in the resources); every other name ("system", "System",
// "Helvetica", ...) is the system font ("SystemFont.ttc"), bold when the name says "Bold".
// Text is measured and drawn at 2 pixels per point. A missing font file is reported once on the
// error output; such a font measures and draws nothing.
//
// A text with a character the font has no picture for is measured and drawn in the system font
// instead (fontCoveringText; labels do so), the dot font's fallback at 0.7 x its size, where
// its letters match the dot font's height: the dot font writes no simplified Chinese.
#include <memory>
#include <string>
#include <vector>

class Font {
public:
    static std::shared_ptr<Font> fontWithName(const std::string& name, double pointSize);
    static std::shared_ptr<Font> systemFontOfSize(double pointSize);
    static std::shared_ptr<Font> boldSystemFontOfSize(double pointSize);
    // The font files the game needs that cannot be found or opened, as messages for the player.
    static std::vector<std::string> missingFontMessages();

    Font(std::string name, std::string path, bool bold, double pointSize);

    const std::string& name() const { return name_; }
    double pointSize() const { return pointSize_; }
    bool isBold() const { return bold_; }
    const std::string& filePath() const { return path_; }
    std::shared_ptr<Font> withSize(double pointSize) const;
    bool isAvailable() const;

    // Whether every character of the text has a picture in this font (line breaks aside).
    bool hasGlyphsForText(const std::string& text) const;
    // The font a text is drawn in: `font` when it has every glyph, else the system font (at the
    // dot font's fallback size) when that has them, else `font`.
    static std::shared_ptr<Font> fontCoveringText(const std::shared_ptr<Font>& font, const std::string& text);
    static constexpr double kDotFontFallbackScale = 0.7;

    // Metrics in points.
    double lineHeight() const;
    double ascender() const;
    double widthOfText(const std::string& text) const;

    // The opened font for drawing at this many pixels (a TTF_Font*, for the renderer).
    void* handleForPixelSize(int pixelSize) const;
    int pixelSize() const;

private:
    std::string name_;
    std::string path_;
    bool bold_ = false;
    double pointSize_ = 12;
};
