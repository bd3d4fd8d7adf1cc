#include "overlays/HUDManager.h"

#include <mutex>

#include "platform/ui/ProgressIndicator.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

HUDManager::~HUDManager() {
    if (!hud_) return;
    hud_->onHidden = nullptr;
    hud_->removeFromSuperview();
}

void HUDManager::initFile() {
    Window* window = Window::keyWindow();
    hud_ = View::make<ProgressIndicator>(window ? window->bounds() : Screen::mainScreen().bounds());
    hud_->setDimBackground(true);
    hud_->onHidden = [this](ProgressIndicator& hud) { hudWasHidden(hud); };
}

void HUDManager::showWithText(const std::string& text) {
    hud_->setLabelText(text.empty() ? std::string() : text);
    hud_->show(true);
}

void HUDManager::showHUDOnWindowWithText(const std::string& text) {
    if (!hud_->superview()) {
        if (Window* window = Window::keyWindow()) window->addSubview(hud_);
    }
    showWithText(text);
}

void HUDManager::showHUDOnWindowWithText(const std::string& text, int tag) {
    hud_->setTag(tag);
    showHUDOnWindowWithText(text);
}

void HUDManager::showHUDOnWindowWithDim(bool dim) {
    hud_->setDimBackground(dim);
    showHUDOnWindowWithText("");
}

void HUDManager::showHUDOnWindow() { showHUDOnWindowWithText(""); }

void HUDManager::showHUDAddedTo(View& view, const std::string& text, bool dim) {
    hud_->setDimBackground(dim);
    if (!hud_->superview()) view.addSubview(hud_);
    showWithText(text);
}

void HUDManager::hideHUD() { hud_->hide(true); }

void HUDManager::hideHUDWithTag(int tag) {
    if (hud_->tag() == tag) hideHUD();
}

bool HUDManager::isShowing() const { return hud_->superview() != nullptr; }

void HUDManager::hudWasHidden(ProgressIndicator& hud) { hud.removeFromSuperview(); }
