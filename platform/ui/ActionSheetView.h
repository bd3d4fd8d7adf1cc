#pragma once
// The phone's action sheet in the game's style: a panel with an optional title and a column of
// buttons that slides up from the bottom edge over the dimmed screen. As on the phone, the
// other buttons count from 0 in order and the cancel button comes last (index = number of
// other buttons), set a little apart at the bottom. The pressed index reaches onButton once
// and the sheet slides away.
//
//   auto sheet = std::make_shared<ActionSheetView>(title, "Cancel", std::vector<std::string>{"Post"});
//   sheet->setAlertTag(212);
//   sheet->onButton = [](int index) { if (index == 0) startPost(); };
//   sheet->show();
#include "platform/ui/ModalPanelView.h"

class ActionSheetView : public ModalPanelView {
public:
    // cancelButtonTitle may be empty (no cancel button). Enter presses the first button.
    ActionSheetView(std::string title, const std::string& cancelButtonTitle, const std::vector<std::string>& otherButtonTitles);

    // The panel's resting frame once shown (it starts below the bottom edge).
    Rect restingPanelFrame() const { return restingFrame_; }

    static constexpr double kSlideDuration = 0.25;
    static constexpr double kButtonHeight = 28;

protected:
    void layoutPanel(const Rect& area) override;
    void animateIn() override;
    void animateOut(std::function<void()> done) override;

    Rect restingFrame_;
};
