#pragma once
// The alert presenter of the game's window: every alert is recorded as the in-memory presenter
// does (tests and tools read them back), and, when a key window exists, shown on it as a
// ModalAlertView. Alerts queue as on the phone: one is on screen at a time, the next appears
// when it has been answered. An answer given through the recording side (pressButton) also
// takes the alert off the screen.
//
//   WindowAlertPresenter::install();   // at start-up, once the window exists or not
#include <cstdint>
#include <deque>
#include <memory>

#include "platform/services/AlertPresenter.h"

class ModalAlertView;

class WindowAlertPresenter : public RecordingAlertPresenter, public std::enable_shared_from_this<WindowAlertPresenter> {
public:
    // Makes a new one the shared presenter and returns it.
    static std::shared_ptr<WindowAlertPresenter> install();

    void showAlert(const AlertView& alert, ButtonHandler onButton) override;
    // The alert on screen, or nullptr.
    std::shared_ptr<ModalAlertView> visibleAlert() const { return visible_; }
    // Alerts recorded and not yet answered, the one on screen included.
    size_t queuedCount() const { return queue_.size(); }

private:
    struct Pending {
        uint64_t id;
        AlertView alert;
    };
    void answered(uint64_t id);
    void showNext();

    uint64_t nextId_ = 0;
    std::deque<Pending> queue_;
    uint64_t visibleId_ = 0;
    std::shared_ptr<ModalAlertView> visible_;
};
