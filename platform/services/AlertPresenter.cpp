#include "platform/services/AlertPresenter.h"

namespace {
std::mutex sharedMutex;
std::shared_ptr<AlertPresenter> sharedPresenter;
}  // namespace

std::shared_ptr<AlertPresenter> AlertPresenter::shared() {
    std::lock_guard lock(sharedMutex);
    if (!sharedPresenter) sharedPresenter = std::make_shared<RecordingAlertPresenter>();
    return sharedPresenter;
}

void AlertPresenter::setShared(std::shared_ptr<AlertPresenter> presenter) {
    std::lock_guard lock(sharedMutex);
    sharedPresenter = presenter ? std::move(presenter) : std::make_shared<RecordingAlertPresenter>();
}

void RecordingAlertPresenter::showAlert(const AlertView& alert, ButtonHandler onButton) {
    std::lock_guard lock(mutex_);
    shown_.push_back(alert);
    open_.push_back(Open{alert, std::move(onButton)});
}

std::vector<AlertView> RecordingAlertPresenter::shownAlerts() const {
    std::lock_guard lock(mutex_);
    return shown_;
}

std::vector<AlertView> RecordingAlertPresenter::openAlerts() const {
    std::lock_guard lock(mutex_);
    std::vector<AlertView> result;
    for (const auto& o : open_) result.push_back(o.alert);
    return result;
}

bool RecordingAlertPresenter::press(std::function<bool(const AlertView&)> match, int buttonIndex) {
    Open answered;
    {
        std::lock_guard lock(mutex_);
        auto it = open_.begin();
        while (it != open_.end() && !match(it->alert)) ++it;
        if (it == open_.end()) return false;
        answered = std::move(*it);
        open_.erase(it);
    }
    // The answer runs without the lock: it may well show the next alert.
    if (answered.onButton) answered.onButton(answered.alert, buttonIndex);
    return true;
}

bool RecordingAlertPresenter::pressButton(int buttonIndex) {
    return press([](const AlertView&) { return true; }, buttonIndex);
}

bool RecordingAlertPresenter::pressButtonOnAlertWithTag(int64_t tag, int buttonIndex) {
    return press([tag](const AlertView& a) { return a.tag == tag; }, buttonIndex);
}
