#pragma once
// Tells the player when the game cannot keep their progress: at launch when the saved game could
// not be read (it was kept aside), and whenever a save fails (a read-only or full data folder),
// again at each failed save after the last notice was closed, until saving works. The progress
// stays in memory and the store keeps trying.
#include <atomic>
#include <memory>

#include "platform/services/AlertPresenter.h"

class SavedStateStore;

class SaveProblemNotice : public AlertViewDelegate, public std::enable_shared_from_this<SaveProblemNotice> {
public:
    static constexpr int64_t kAlertTag = 9100;

    // Watches the store from now on; says at once if its file was found damaged.
    void watch(SavedStateStore& store);
    // Failed saves reported so far, and notices shown.
    int failures() const { return failures_; }
    int noticesShown() const { return shown_; }

    void alertViewClickedButtonAtIndex(const AlertView& alertView, int buttonIndex) override;

private:
    void saveFailed();
    void show(const char* key);

    std::atomic<int> failures_{0};
    int shown_ = 0;
    bool onScreen_ = false;
};
