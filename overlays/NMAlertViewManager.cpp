#include "overlays/NMAlertViewManager.h"

#include <mutex>

#include "platform/ui/Image.h"

NMAlertViewManager::~NMAlertViewManager() = default;

void NMAlertViewManager::showAlertWithMessage(const std::string& message, std::shared_ptr<Image> icon, bool hasBtn, int tag,
                                              Action onOK) {
    NMAlertViewController& box = alert_.present();
    box.showAlertWithMessage(message, std::move(icon), hasBtn, tag, std::move(onOK));
    box.appearWithAnimationAllowInteraction(true);
}

void NMAlertViewManager::showAlertWithMessage(const std::string& message, const std::string& iconName, bool hasBtn, int tag,
                                              Action onOK) {
    showAlertWithMessage(message, iconName.empty() ? nullptr : Image::named(iconName), hasBtn, tag, std::move(onOK));
}
