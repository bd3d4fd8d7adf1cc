#pragma once
// The progress indicator (the HUD): a dark pixel box in the middle of its view with a ring of
// eight dots whose bright head runs round, an optional one-line label under it in the dot
// font, over an optionally dimmed background. It fades in on show and out on hide; when the
// fade out has ended, onHidden runs (its owner takes it off the screen there). While shown it
// takes the touches that land on it.
//
//   auto hud = std::make_shared<ProgressIndicator>(window->bounds());
//   hud->setDimBackground(true);
//   hud->setLabelText("Saving...");
//   window->addSubview(hud);
//   hud->show(true);  ...  hud->hide(true);
#include <functional>
#include <memory>
#include <string>

#include "platform/ui/View.h"

class Label;

class ProgressIndicator : public View {
public:
    explicit ProgressIndicator(const Rect& frame = {});
    ~ProgressIndicator() override;

    const std::string& labelText() const { return labelText_; }
    void setLabelText(const std::string& text);
    bool dimBackground() const { return dimBackground_; }
    void setDimBackground(bool dim);

    void show(bool animated);
    void hide(bool animated);
    // Between show() and the end of hide().
    bool isShowing() const { return showing_; }
    // After the hide has ended (the game's hudWasHidden:).
    std::function<void(ProgressIndicator&)> onHidden;

    // The dark box in the view's coordinates, and the spinner's lit dot at an instant (0 to 7).
    Rect boxRect() const { return box_; }
    int headDotAt(double now) const;

    static constexpr double kFadeDuration = 0.2;
    static constexpr double kStepDuration = 0.1;  // the head moves one dot on
    static constexpr int kDots = 8;

    void drawContent(DrawContext& context) const override;
    std::optional<double> nextVisualChange(double now) const override;

protected:
    void boundsDidChange() override { layoutBox(); }

private:
    void layoutBox();
    std::string labelText_;
    std::shared_ptr<Label> label_;
    bool dimBackground_ = false;
    bool showing_ = false;
    uint64_t generation_ = 0;
    double spinStart_ = 0;
    Rect box_;
};
