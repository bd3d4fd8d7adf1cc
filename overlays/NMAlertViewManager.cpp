#include "overlays/NMAlertViewManager.h"

#include <mutex>

#include "platform/ui/Image.h"
#include "platform/ui/Window.h"

namespace {
std::mutex instanceMutex;
NMAlertViewManager* instance = nullptr;
}  // namespace

NMAlertViewManager* NMAlertViewManager::getInstance() {
    std::lock_guard lock(instanceMutex);
    if (!instance) {
        instance = new NMAlertViewManager();
        instance->initFile();
    }
    return instance;
}

void NMAlertViewManager::resetInstanceForTesting() {
    std::lock_guard lock(instanceMutex);
    delete instance;
    instance = nullptr;
}

NMAlertViewManager::~NMAlertViewManager() {
    if (alertCtr_) alertCtr_->setDelegate(nullptr);
}

void NMAlertViewManager::showAlertWithMessage(const std::string& message, std::shared_ptr<Image> icon, bool hasBtn, int tag) {
    if (!alertCtr_) alertCtr_ = std::make_shared<NMAlertViewController>();
    alertCtr_->setDelegate(this);
    if (!alertCtr_->view()->superview()) {
        if (Window* window = Window::keyWindow()) alertCtr_->addViewTo(*window);
    }
    alertCtr_->showAlertWithMessage(message, std::move(icon), hasBtn, tag);
    alertCtr_->appearWithAnimationAllowInteraction(true);
}

void NMAlertViewManager::showAlertWithMessage(const std::string& message, const std::string& iconName, bool hasBtn, int tag) {
    showAlertWithMessage(message, iconName.empty() ? nullptr : Image::named(iconName), hasBtn, tag);
}
