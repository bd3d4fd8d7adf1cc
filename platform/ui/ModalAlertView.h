#pragma once
// The phone's modal alert, drawn in the game's own style: a gold-framed parchment panel in the
// middle of the dimmed screen with a title, a message and its buttons in the dot font. Two
// buttons stand side by side (index 0 on the left), one or more than two are stacked in index
// order. The cancel button is index 0 and the others follow from 1, as on the phone; the
// pressed index reaches onButton once and the alert fades away.
//
//   auto alert = std::make_shared<ModalAlertView>("", "Give up the explore?", "Cancel",
//                                                std::vector<std::string>{"OK"});
//   alert->setAlertTag(20);
//   alert->onButton = [](int index) { if (index == 1) ...; };
//   alert->show();
#include "platform/ui/ModalPanelView.h"

class ModalAlertView : public ModalPanelView {
public:
    // cancelButtonTitle may be empty (no cancel button; the others then count from 0).
    ModalAlertView(std::string title, std::string message, const std::string& cancelButtonTitle,
                   const std::vector<std::string>& otherButtonTitles);
    // Buttons in index order with the cancel button's index (-1: none). Enter presses the last
    // button (the "OK" of an OK/Cancel pair).
    ModalAlertView(std::string title, std::string message, std::vector<std::string> buttonTitles, int cancelButtonIndex);

    const std::string& message() const { return message_; }
    std::shared_ptr<Label> titleLabel() const { return titleLabel_; }
    std::shared_ptr<Label> messageLabel() const { return messageLabel_; }

    static constexpr double kPanelWidth = 256;
    static constexpr double kButtonHeight = 26;

protected:
    void layoutPanel(const Rect& area) override;
    void animateIn() override;
    void animateOut(std::function<void()> done) override;

private:
    std::string message_;
    std::shared_ptr<Label> titleLabel_;
    std::shared_ptr<Label> messageLabel_;
};
