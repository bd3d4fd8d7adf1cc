#pragma once
// Owner of the one message box. The box is created on first use, added to the key window, and
// kept after it closes, to be filled and shown again by the next message. A confirmation's OK
// reaches the caller through the action given with the message.
//
//   NMAlertViewManager::getInstance()->showAlertWithMessage(text, "talk1@2x.png", true, GameTags::kStartExplore,
//                                                           [this] { startExplore(); });
#include <memory>
#include <string>

#include "overlays/NMAlertViewController.h"
#include "overlays/OverlaySlot.h"
#include "platform/core/RunLoop.h"
#include "platform/core/Singleton.h"

class NMAlertViewManager : public Object, public Singleton<NMAlertViewManager> {
public:
    using Action = NMAlertViewController::Action;

    ~NMAlertViewManager() override;

    void initFile() {}

    void showAlertWithMessage(const std::string& message, std::shared_ptr<Image> icon, bool hasBtn, int tag, Action onOK = {});
    void showAlertWithMessage(const std::string& message, const std::string& iconName, bool hasBtn, int tag, Action onOK = {});

    const std::shared_ptr<NMAlertViewController>& alertCtr() const { return alert_.screen(); }

private:
    friend class Singleton<NMAlertViewManager>;
    NMAlertViewManager() = default;
    OverlaySlot<NMAlertViewController> alert_{OverlaySlot<NMAlertViewController>::kKeepOnClose};
};
