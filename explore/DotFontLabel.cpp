#include "explore/DotFontLabel.h"

#include <vector>

#include "platform/resources/LocalizedStrings.h"

DotFontLabel::DotFontLabel(const Rect& frame, double fontSize) : Label(frame) { setFont(kDotFontName, fontSize); }

std::shared_ptr<DotFontLabel> DotFontLabel::loadedFromDescription(const Rect& frame, double pointSize) {
    auto label = View::make<DotFontLabel>(frame, pointSize);
    label->setFont(fontForDescribedPointSize(pointSize));
    return label;
}

std::shared_ptr<Font> DotFontLabel::fontForDescribedPointSize(double pointSize) {
    if (prefersSystemFont()) return Font::systemFontOfSize(pointSize * kChineseSystemFontScale);
    return Font::fontWithName(kDotFontName, pointSize);
}

bool DotFontLabel::prefersSystemFont() {
    const std::vector<std::string> languages = LocalizedStrings::preferredLanguages();
    if (languages.empty()) return false;
    const std::string& first = languages.front();
    return first == "zh" || first == "zh-Hans" || first == "zh-Hant";
}
