#pragma once
// Modal platform alerts: a title, a message, buttons and a tag; the delegate learns which button
// was pressed. The default presenter records the alerts and shows nothing; the view toolkit plugs
// a real one in through setShared(). showAlert() is called on the main thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct AlertView {
    std::string title;
    std::string message;
    std::vector<std::string> buttonTitles;  // in index order
    int cancelButtonIndex = -1;             // -1: no cancel button
    int64_t tag = 0;
};

// The receiver of an alert's answer (a weak reference: an Object delegate that has gone is not
// called).
class AlertViewDelegate {
public:
    virtual ~AlertViewDelegate() = default;
    virtual void alertViewClickedButtonAtIndex(const AlertView& alertView, int buttonIndex) = 0;
};

class AlertPresenter {
public:
    using ButtonHandler = std::function<void(const AlertView&, int buttonIndex)>;
    virtual ~AlertPresenter() = default;

    static std::shared_ptr<AlertPresenter> shared();
    // Replaces the shared presenter (nullptr restores a fresh recording one).
    static void setShared(std::shared_ptr<AlertPresenter> presenter);

    // Puts the alert on screen; onButton (may be empty) runs once with the pressed index.
    virtual void showAlert(const AlertView& alert, ButtonHandler onButton) = 0;
};

// Records every alert and keeps the open ones; pressButton() answers one as the player would.
class RecordingAlertPresenter : public AlertPresenter {
public:
    void showAlert(const AlertView& alert, ButtonHandler onButton) override;

    std::vector<AlertView> shownAlerts() const;   // every alert ever shown, in order
    std::vector<AlertView> openAlerts() const;    // shown and not yet answered
    // Answers the oldest open alert (or the one with that tag) with the button index; false when
    // there is none.
    bool pressButton(int buttonIndex);
    bool pressButtonOnAlertWithTag(int64_t tag, int buttonIndex);

private:
    struct Open {
        AlertView alert;
        ButtonHandler onButton;
    };
    bool press(std::function<bool(const AlertView&)> match, int buttonIndex);
    mutable std::mutex mutex_;
    std::vector<AlertView> shown_;
    std::vector<Open> open_;
};
