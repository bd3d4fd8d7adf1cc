#pragma once
// A label: text in one font and colour, aligned left, centred or right, centred vertically in
// its bounds as on the phone. numberOfLines 0 means as many as needed; lines wrap at spaces and
// anywhere between Japanese or Chinese characters; text beyond the last line ends in "…".
// A one-line label with adjustsFontSizeToFitWidth shrinks its font (down to minimumFontSize)
// until the text fits the width.
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Font.h"
#include "platform/ui/View.h"

enum class TextAlignment { left, center, right };

class Label : public View {
public:
    explicit Label(const Rect& frame = {});

    const std::string& text() const { return text_; }
    void setText(std::string text);
    const std::shared_ptr<Font>& font() const { return font_; }
    void setFont(std::shared_ptr<Font> font);
    // Shorthand for setFont(Font::fontWithName(name, size)).
    void setFont(const std::string& name, double pointSize);
    Color textColor() const { return textColor_; }
    void setTextColor(Color color);
    TextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(TextAlignment alignment);
    int numberOfLines() const { return numberOfLines_; }
    void setNumberOfLines(int lines);
    bool adjustsFontSizeToFitWidth() const { return adjustsFontSize_; }
    void setAdjustsFontSizeToFitWidth(bool adjusts);
    double minimumFontSize() const { return minimumFontSize_; }
    void setMinimumFontSize(double size);
    Color shadowColor() const { return shadowColor_; }
    void setShadowColor(Color color);
    Size shadowOffset() const { return shadowOffset_; }
    void setShadowOffset(Size offset);

    // The laid-out lines and the font they are drawn in (after any shrinking).
    const std::vector<std::string>& lines() const;
    const std::shared_ptr<Font>& effectiveFont() const;
    // The size the text needs within the given width (0: unlimited).
    Size sizeThatFits(double width) const;
    void sizeToFit();

    void drawContent(DrawContext& context) const override;

    // Breaks text into lines no wider than `width` (points) in the font; at most maxLines lines
    // when above 0, the last one ending in "…" when text was cut.
    static std::vector<std::string> wrapText(const std::string& text, const Font& font, double width, int maxLines);

protected:
    void boundsDidChange() override { invalidate(); }

private:
    void invalidate();
    void layout() const;

    std::string text_;
    std::shared_ptr<Font> font_;
    Color textColor_ = Color::black();
    TextAlignment alignment_ = TextAlignment::left;
    int numberOfLines_ = 1;
    bool adjustsFontSize_ = false;
    double minimumFontSize_ = 0;
    Color shadowColor_ = Color::clear();
    Size shadowOffset_ = Size(0, -1);

    mutable bool laidOut_ = false;
    mutable std::vector<std::string> lines_;
    mutable std::vector<double> lineWidths_;
    mutable std::shared_ptr<Font> layoutFont_;
};
