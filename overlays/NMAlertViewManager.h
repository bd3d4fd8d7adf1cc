#pragma once
// Owner of the one message box. The box is created on first use, added to the key window, and
// kept after it closes, to be filled and shown again by the next message.
//
//   NMAlertViewManager::getInstance()->showAlertWithMessage(text, Image::named("talk1@2x.png"), true, 12345);
#include <memory>
#include <string>

#include "overlays/NMAlertViewController.h"
#include "overlays/OverlayViewControllerDelegate.h"
#include "platform/core/RunLoop.h"

class NMAlertViewManager : public Object, public OverlayViewControllerDelegate {
public:
    static NMAlertViewManager* getInstance();
    // Tests: destroys the instance (the next getInstance makes a fresh one).
    static void resetInstanceForTesting();
    ~NMAlertViewManager() override;

    void initFile() {}

    void showAlertWithMessage(const std::string& message, std::shared_ptr<Image> icon, bool hasBtn, int tag);
    void showAlertWithMessage(const std::string& message, const std::string& iconName, bool hasBtn, int tag);

    const std::shared_ptr<NMAlertViewController>& alertCtr() const { return alertCtr_; }

    void overlayWillClose(OverlayViewController&) override {}
    void overlayDidClose(OverlayViewController&) override {}

private:
    NMAlertViewManager() = default;
    std::shared_ptr<NMAlertViewController> alertCtr_;
};
