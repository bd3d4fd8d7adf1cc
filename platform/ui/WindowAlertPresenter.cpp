#include "platform/ui/WindowAlertPresenter.h"

#include <algorithm>

#include "platform/ui/ModalAlertView.h"
#include "platform/ui/Window.h"

std::shared_ptr<WindowAlertPresenter> WindowAlertPresenter::install() {
    auto presenter = std::make_shared<WindowAlertPresenter>();
    AlertPresenter::setShared(presenter);
    return presenter;
}

void WindowAlertPresenter::showAlert(const AlertView& alert, ButtonHandler onButton) {
    const uint64_t id = ++nextId_;
    std::weak_ptr<WindowAlertPresenter> weak = weak_from_this();
    // Answered on screen or through pressButton(): the alert leaves the queue (and the screen)
    // before the caller hears of it, so its answer may show the next alert.
    RecordingAlertPresenter::showAlert(alert, [weak, id, onButton](const AlertView& shown, int index) {
        if (auto self = weak.lock()) self->answered(id);
        if (onButton) onButton(shown, index);
        if (auto self = weak.lock()) self->showNext();
    });
    queue_.push_back(Pending{id, alert});
    showNext();
}

void WindowAlertPresenter::answered(uint64_t id) {
    queue_.erase(std::remove_if(queue_.begin(), queue_.end(), [id](const Pending& p) { return p.id == id; }), queue_.end());
    if (visibleId_ == id && visible_) {
        auto alert = std::move(visible_);
        visible_.reset();
        visibleId_ = 0;
        // Answered from outside the alert: it still leaves the screen (its callback is gone).
        alert->onButton = nullptr;
        if (alert->isVisible()) alert->dismissWithClickedButtonIndex(std::max(0, alert->cancelButtonIndex()));
    }
}

void WindowAlertPresenter::showNext() {
    if (visible_ || queue_.empty() || !Window::keyWindow()) return;
    const Pending& next = queue_.front();
    auto view = std::make_shared<ModalAlertView>(next.alert.title, next.alert.message, next.alert.buttonTitles,
                                                 next.alert.cancelButtonIndex);
    view->setAlertTag(next.alert.tag);
    visible_ = view;
    visibleId_ = next.id;
    std::weak_ptr<WindowAlertPresenter> weak = weak_from_this();
    // The on-screen press answers the oldest open alert, which is the one shown.
    view->onButton = [weak](int index) {
        if (auto self = weak.lock()) self->pressButton(index);
    };
    view->show();
}
