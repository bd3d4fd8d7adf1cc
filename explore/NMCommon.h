#pragma once
// The services every part of the game shares: the event bus, platform alerts, local
// notifications, duration texts, the weighted random choice, the window-wide touch switch and
// the equipment icon's file name. Class operations only; no state of its own.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/events/NotificationCenter.h"
#include "platform/foundation/Value.h"
#include "platform/services/AlertPresenter.h"

class NMCommon {
public:
    NMCommon() = delete;

    // ---- Events
    // Registers the handler for the event name, from any poster and with any object.
    static void addObserver(Object* observer, NotificationCenter::Handler handler, const std::string& name);
    static void addObserver(const void* observer, NotificationCenter::Handler handler, const std::string& name);
    // Calls the observer's member function for each event of that name, never once it is gone;
    // removeObserver(static_cast<Object*>(observer)) ends it.
    template <class T>
    static void observe(T* observer, void (T::*handler)(const Notification&), const std::string& name) {
        addObserver(static_cast<Object*>(observer), [observer, handler](const Notification& n) { (observer->*handler)(n); }, name);
    }
    // Removes every registration of that observer.
    static void removeObserver(const void* observer);
    // Posts the event for a later pass of the main run loop; callable from any thread.
    static void sendNotification(const std::string& name, Value object = Value(), Value userInfo = Value());
    // The store's "direct" events: observers run at once, on the posting thread.
    static void sendDirectNotification(const std::string& name, Value object = Value(), Value userInfo = Value());

    // ---- Alerts (shown on the main thread, without waiting; callable from any thread)
    // One button "OK" (in the player's language, as every title below).
    static void showAlertWithTitle(const std::string& title, const std::string& msg, AlertViewDelegate* delegate, int64_t tag);
    // "Cancel" (the cancel button, index 0) and "OK" (index 1).
    static void showAlertHavingCancelBtnWithTitle(const std::string& title, const std::string& msg, AlertViewDelegate* delegate,
                                                  int64_t tag);

    // ---- Local notifications
    static void showLocalPushAtTime(double time, const std::string& body, const std::string& imageFilename, const Value& userInfo,
                                    const std::optional<std::string>& soundName);
    // No body and no sound: only sets the application badge when it fires.
    static void showLocalPushAtTime(double time, int64_t badgeNumber);
    static void cancelAllLocalPush();
    // Cancels only the notifications that carry user info (the long-absence reminder).
    static void cancelAllLocalPushWithUserInfo();

    // ---- Durations
    // Two-digit field: 0 -> "00", 7 -> "07", 10 -> "10", 123 -> "123".
    static std::string stringFromTimer(int64_t value);
    // "hh:mm:ss", hours unlimited.
    static std::string timeStringFromTime(double seconds);
    // "mm:ss", hours dropped (for durations below an hour).
    static std::string timeStringShortFromTime(double seconds);

    // ---- Touch lock
    static void disableUserInteraction();
    static void enableUserInteraction();

    // ---- Weighted choice
    // Draws x = next() mod 1000 from the shared random source and picks the element whose
    // per-mille band holds it; 0 when none does.
    static unsigned selectedIndexWithProbabilities(const std::vector<float>& probabilities);
    static unsigned selectedIndexWithProbabilities(const Value& probabilities);
    // The same choice for a given draw x in 0..999.
    static unsigned selectedIndexWithProbabilities(const std::vector<float>& probabilities, uint32_t drawnValue);

    // ---- Files
    static std::string filenameOfEquipWithEquipId(unsigned equipId);
};
