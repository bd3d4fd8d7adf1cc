#pragma once
// The label in the game's dot font "GD-DOTFONT-DQ-TTF".
//
// A label made in code (DotFontLabel(frame, fontSize)) always takes the dot font. A label loaded
// from a layout (loadedFromDescription) takes the dot font at its own point size too, except for
// players whose first preferred language is Chinese ("zh", "zh-Hans", "zh-Hant"): the dot font
// has no Chinese characters, so they get the system font at 0.7 x that size.
#include <memory>
#include <string>

#include "platform/ui/Label.h"

class DotFontLabel : public Label {
public:
    static constexpr const char* kDotFontName = "GD-DOTFONT-DQ-TTF";
    static constexpr double kChineseSystemFontScale = 0.7;

    // initWithFrame:fontSize:
    DotFontLabel(const Rect& frame, double fontSize);

    // A label as a layout describes it: the frame and the point size written there.
    static std::shared_ptr<DotFontLabel> loadedFromDescription(const Rect& frame, double pointSize);
    // The font a layout-loaded label of that point size takes for the player's languages.
    static std::shared_ptr<Font> fontForDescribedPointSize(double pointSize);
    // Whether the first preferred language is one the dot font cannot write.
    static bool prefersSystemFont();
};
