#include "platform/ui/Label.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/DrawContext.h"

namespace {

const std::string kEllipsis = "\xE2\x80\xA6";

// Byte length of the UTF-8 sequence starting with c.
size_t sequenceLength(unsigned char c) {
    if (c < 0x80) return 1;
    if ((c >> 5) == 0x6) return 2;
    if ((c >> 4) == 0xE) return 3;
    if ((c >> 3) == 0x1E) return 4;
    return 1;
}

uint32_t decode(const std::string& s, size_t i, size_t len) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (len == 1) return c;
    uint32_t cp = c & (0xFF >> (len + 1));
    for (size_t k = 1; k < len && i + k < s.size(); ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
    return cp;
}

// Japanese, Chinese and full-width characters: a line may break before any of them.
bool breaksAnywhere(uint32_t cp) { return cp >= 0x2E80; }

// Tokens: words with their trailing spaces, and single wide characters.
std::vector<std::string> tokenize(const std::string& paragraph) {
    std::vector<std::string> tokens;
    std::string current;
    bool inSpaces = false;
    for (size_t i = 0; i < paragraph.size();) {
        const size_t len = std::min(sequenceLength(static_cast<unsigned char>(paragraph[i])), paragraph.size() - i);
        const uint32_t cp = decode(paragraph, i, len);
        const std::string ch = paragraph.substr(i, len);
        i += len;
        if (cp == ' ') {
            current += ch;
            inSpaces = true;
        } else if (breaksAnywhere(cp)) {
            if (!current.empty()) tokens.push_back(std::move(current));
            current.clear();
            tokens.push_back(ch);
            inSpaces = false;
        } else {
            if (inSpaces && !current.empty()) {
                tokens.push_back(std::move(current));
                current.clear();
            }
            inSpaces = false;
            current += ch;
        }
    }
    if (!current.empty()) tokens.push_back(std::move(current));
    return tokens;
}

std::string trimRight(std::string s) {
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

std::string trimLeft(const std::string& s) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    return s.substr(i);
}

// Drops the last UTF-8 character.
void popCharacter(std::string& s) {
    if (s.empty()) return;
    size_t i = s.size() - 1;
    while (i > 0 && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) --i;
    s.erase(i);
}

}  // namespace

Label::Label(const Rect& frame) : View(frame), font_(Font::systemFontOfSize(17)) {
    setUserInteractionEnabled(false);
}

void Label::invalidate() {
    laidOut_ = false;
    setNeedsDisplay();
}

void Label::setText(std::string text) {
    if (text == text_) return;
    text_ = std::move(text);
    invalidate();
}

void Label::setFont(std::shared_ptr<Font> font) {
    font_ = font ? std::move(font) : Font::systemFontOfSize(17);
    invalidate();
}

void Label::setFont(const std::string& name, double pointSize) { setFont(Font::fontWithName(name, pointSize)); }

void Label::setTextColor(Color color) {
    textColor_ = color;
    setNeedsDisplay();
}

void Label::setTextAlignment(TextAlignment alignment) {
    alignment_ = alignment;
    setNeedsDisplay();
}

void Label::setNumberOfLines(int lines) {
    numberOfLines_ = std::max(0, lines);
    invalidate();
}

void Label::setAdjustsFontSizeToFitWidth(bool adjusts) {
    adjustsFontSize_ = adjusts;
    invalidate();
}

void Label::setMinimumFontSize(double size) {
    minimumFontSize_ = size;
    invalidate();
}

void Label::setShadowColor(Color color) {
    shadowColor_ = color;
    setNeedsDisplay();
}

void Label::setShadowOffset(Size offset) {
    shadowOffset_ = offset;
    setNeedsDisplay();
}

std::vector<std::string> Label::wrapText(const std::string& text, const Font& font, double width, int maxLines) {
    std::vector<std::string> lines;
    bool cut = false;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string paragraph = text.substr(start, end - start);
        start = end + 1;
        if (width <= 0) {
            lines.push_back(paragraph);
        } else {
            std::string line;
            for (const std::string& token : tokenize(paragraph)) {
                const std::string candidate = line + token;
                if (line.empty() || font.widthOfText(trimRight(candidate)) <= width) {
                    line = candidate;
                } else {
                    lines.push_back(trimRight(line));
                    line = trimLeft(token);
                }
                // A word wider than the line is broken between characters.
                while (font.widthOfText(trimRight(line)) > width && line.size() > 1) {
                    std::string head = line;
                    std::string tail;
                    while (head.size() > 1 && font.widthOfText(head) > width) {
                        const size_t before = head.size();
                        popCharacter(head);
                        tail.insert(0, line.substr(head.size(), before - head.size()));
                    }
                    if (head.empty() || tail.empty()) break;
                    lines.push_back(head);
                    line = tail;
                }
            }
            lines.push_back(trimRight(line));
        }
        if (end == text.size()) break;
    }
    if (maxLines > 0 && static_cast<int>(lines.size()) > maxLines) {
        lines.resize(static_cast<size_t>(maxLines));
        cut = true;
    }
    if (cut && !lines.empty()) {
        std::string& last = lines.back();
        while (!last.empty() && width > 0 && font.widthOfText(last + kEllipsis) > width) popCharacter(last);
        last += kEllipsis;
    }
    return lines;
}

void Label::layout() const {
    if (laidOut_) return;
    laidOut_ = true;
    // A text the font cannot write is written in one that can.
    const std::shared_ptr<Font> base = Font::fontCoveringText(font_, text_);
    layoutFont_ = base;
    const double width = bounds().width();
    if (adjustsFontSize_ && numberOfLines_ == 1 && width > 0) {
        const double minimum = std::max(minimumFontSize_, 4.0);
        double size = base->pointSize();
        auto font = base;
        // Each step shrinks by the overflow ratio, then by half a point until it fits.
        for (int i = 0; i < 40 && size > minimum; ++i) {
            const double w = font->widthOfText(text_);
            if (w <= width) break;
            size = std::max(minimum, std::min(size - 0.5, std::floor(size * width / w * 2) / 2));
            font = base->withSize(size);
        }
        layoutFont_ = font;
    } else if (adjustsFontSize_ && width > 0) {
        // Several lines: shrink until no word has to be broken and the lines fit the count.
        const double minimum = std::max(minimumFontSize_, 4.0);
        auto fits = [&](const Font& font) {
            for (const std::string& token : tokenize(text_))
                if (font.widthOfText(trimRight(trimLeft(token))) > width) return false;
            return numberOfLines_ <= 0 || static_cast<int>(wrapText(text_, font, width, 0).size()) <= numberOfLines_;
        };
        for (double size = base->pointSize(); size > minimum && !fits(*layoutFont_);) {
            size = std::max(minimum, size - 0.5);
            layoutFont_ = base->withSize(size);
        }
    }
    lines_ = wrapText(text_, *layoutFont_, numberOfLines_ == 1 && !text_.empty() && text_.find('\n') == std::string::npos ? 0 : width,
                      numberOfLines_);
    // A single line that is too wide is cut with "…".
    if (numberOfLines_ == 1 && lines_.size() == 1 && width > 0 && layoutFont_->widthOfText(lines_[0]) > width) {
        std::string& line = lines_[0];
        while (!line.empty() && layoutFont_->widthOfText(line + kEllipsis) > width) popCharacter(line);
        line += kEllipsis;
    }
    lineWidths_.clear();
    for (const auto& line : lines_) lineWidths_.push_back(layoutFont_->widthOfText(line));
}

const std::vector<std::string>& Label::lines() const {
    layout();
    return lines_;
}

const std::shared_ptr<Font>& Label::effectiveFont() const {
    layout();
    return layoutFont_;
}

Size Label::sizeThatFits(double width) const {
    const std::shared_ptr<Font> font = Font::fontCoveringText(font_, text_);
    const auto lines = wrapText(text_, *font, width, numberOfLines_);
    double w = 0;
    for (const auto& line : lines) w = std::max(w, font->widthOfText(line));
    return {std::ceil(w), std::ceil(lines.size() * font->lineHeight())};
}

void Label::sizeToFit() {
    const Size s = sizeThatFits(0);
    Rect f = frame();
    setFrame(Rect(f.origin, s));
}

void Label::drawContent(DrawContext& context) const {
    if (text_.empty()) return;
    layout();
    const Font& font = *layoutFont_;
    if (!font.isAvailable()) return;
    const Rect b = bounds();
    const double lineHeight = font.lineHeight();
    const double total = lineHeight * lines_.size();
    double y = b.minY() + (b.height() - total) / 2;
    for (size_t i = 0; i < lines_.size(); ++i) {
        const std::string& line = lines_[i];
        if (!line.empty()) {
            const double w = lineWidths_[i];
            double x = b.minX();
            if (alignment_ == TextAlignment::center) x = b.minX() + (b.width() - w) / 2;
            else if (alignment_ == TextAlignment::right) x = b.maxX() - w;
            if (!shadowColor_.isClear())
                context.drawText(line, font, shadowColor_, Point(x + shadowOffset_.width, y + shadowOffset_.height));
            context.drawText(line, font, textColor_, Point(x, y));
        }
        y += lineHeight;
    }
}
