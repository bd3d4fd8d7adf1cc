#pragma once
// A row of one-figure labels showing an unsigned number, units at the right, without leading
// zeros. Raising the number with animation counts up to it: a random step sized to the distance
// left (5000-9999 from 10000 away, 400-999 from 1000, 30-99 from 100, 2-10 from 10, else 1) is
// shown every 0.016 s until the target is reached exactly.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/core/RunLoop.h"
#include "platform/ui/Font.h"
#include "platform/ui/Label.h"
#include "platform/ui/View.h"

class NumberLabelsView : public View {
public:
    static constexpr double kCountUpStepInterval = 0.016;

    // initWithNumberOfFigures:sizeOfFont:textColor:frame:space: — n figure labels in the bold
    // system font, each as large as the largest digit, laid left to right from x 0 with `space`
    // points between two of them.
    NumberLabelsView(unsigned numberOfFigures, double sizeOfFont, Color textColor, const Rect& frame, double space);
    ~NumberLabelsView() override;

    uint32_t currentNumber() const { return currentNumber_; }
    // One label per figure; the first is the units figure (the rightmost).
    const std::vector<std::shared_ptr<Label>>& labels() const { return labels_; }
    // The text the figures show together, leftmost first, blanks left out ("1234").
    std::string displayedText() const;

    // Shows v, counting up to it when animated and above the number shown.
    void updateNumber(uint32_t v, bool animated);
    // One count-up step towards t (the next one follows after 0.016 s).
    void showNumberWithAnimationToTagetNumber(uint32_t t);
    // A count-up is on its way.
    bool isCountingUp() const { return countUpTimer_.isValid(); }

    // Puts the figure labels into the view (on first display; harmless when repeated).
    void drawRect();

    // The size of the largest digit in the bold system font of that size.
    static Size maxFigureSizeAtSizeOfFont(double sizeOfFont);
    static Size maxFigureSizeWithFont(const Font& font);

protected:
    void didMoveToWindow() override;

private:
    void showNumber(uint32_t v);
    static uint32_t countUpStepForGap(uint32_t gap);

    uint32_t currentNumber_ = 0;
    std::vector<std::shared_ptr<Label>> labels_;
    TimerHandle countUpTimer_;
};
