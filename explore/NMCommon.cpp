#include "explore/NMCommon.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

#include "platform/core/Random.h"
#include "platform/core/RunLoop.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/services/LocalNotificationCenter.h"
#include "platform/services/UserInteraction.h"

// ---- Events

void NMCommon::addObserver(Object* observer, NotificationCenter::Handler handler, const std::string& name) {
    NotificationCenter::defaultCenter().addObserver(observer, std::move(handler), name);
}

void NMCommon::addObserver(const void* observer, NotificationCenter::Handler handler, const std::string& name) {
    NotificationCenter::defaultCenter().addObserver(observer, std::move(handler), name);
}

void NMCommon::removeObserver(const void* observer) { NotificationCenter::defaultCenter().removeObserver(observer); }

void NMCommon::sendNotification(const std::string& name, Value object, Value userInfo) {
    NotificationCenter::defaultCenter().post(name, std::move(object), std::move(userInfo));
}

void NMCommon::sendDirectNotification(const std::string& name, Value object, Value userInfo) {
    NotificationCenter::defaultCenter().postDirect(name, std::move(object), std::move(userInfo));
}

// ---- Alerts

namespace {

void showAlert(AlertView alert, AlertViewDelegate* delegate) {
    // The delegate is a weak reference: when it is also an Object, an answer arriving after it
    // has gone is dropped.
    std::optional<std::weak_ptr<void>> lifetime;
    if (auto* object = dynamic_cast<Object*>(delegate)) lifetime = object->lifetime();
    AlertPresenter::ButtonHandler onButton;
    if (delegate) {
        onButton = [delegate, lifetime](const AlertView& shown, int index) {
            if (lifetime && lifetime->expired()) return;
            delegate->alertViewClickedButtonAtIndex(shown, index);
        };
    }
    RunLoop::main().post([alert = std::move(alert), onButton = std::move(onButton)] {
        AlertPresenter::shared()->showAlert(alert, onButton);
    });
}

}  // namespace

void NMCommon::showAlertWithTitle(const std::string& title, const std::string& msg, AlertViewDelegate* delegate, int64_t tag) {
    AlertView alert;
    alert.title = title;
    alert.message = msg;
    alert.buttonTitles = {NSLocalizedString("OK")};
    alert.cancelButtonIndex = 0;
    alert.tag = tag;
    showAlert(std::move(alert), delegate);
}

void NMCommon::showAlertHavingCancelBtnWithTitle(const std::string& title, const std::string& msg, AlertViewDelegate* delegate,
                                                 int64_t tag) {
    AlertView alert;
    alert.title = title;
    alert.message = msg;
    alert.buttonTitles = {NSLocalizedString("Cancel"), NSLocalizedString("OK")};
    alert.cancelButtonIndex = 0;
    alert.tag = tag;
    showAlert(std::move(alert), delegate);
}

// ---- Local notifications

void NMCommon::showLocalPushAtTime(double time, const std::string& body, const std::string& imageFilename, const Value& userInfo,
                                   const std::optional<std::string>& soundName) {
    LocalNotification n;
    n.fireDate = time;
    n.alertBody = body;
    n.launchImage = imageFilename;
    n.userInfo = userInfo;
    n.soundName = soundName;
    LocalNotificationCenter::shared()->scheduleLocalNotification(n);
}

void NMCommon::showLocalPushAtTime(double time, int64_t badgeNumber) {
    LocalNotification n;
    n.fireDate = time;
    n.badgeNumber = badgeNumber;
    LocalNotificationCenter::shared()->scheduleLocalNotification(n);
}

void NMCommon::cancelAllLocalPush() {
    auto center = LocalNotificationCenter::shared();
    if (!center->scheduledLocalNotifications().empty()) center->cancelAllLocalNotifications();
}

void NMCommon::cancelAllLocalPushWithUserInfo() {
    auto center = LocalNotificationCenter::shared();
    for (const auto& n : center->scheduledLocalNotifications())
        if (!n.userInfo.isNil()) center->cancelLocalNotification(n.identifier);
}

// ---- Durations

std::string NMCommon::stringFromTimer(int64_t value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, value > 9 ? "%lld" : "0%lld", static_cast<long long>(value));
    return buffer;
}

namespace {
struct Clockface {
    int64_t h, m, s;
};

// Each step truncates toward zero; the seconds keep the sign of the dividend.
Clockface clockfaceFromTime(double t) {
    // Beyond a hundred million hours no clock face means anything; the casts below stay defined.
    if (std::isnan(t)) t = 0;
    t = std::clamp(t, -3.6e11, 3.6e11);
    Clockface c;
    c.h = static_cast<int64_t>(std::floor(t / 3600.0));
    c.m = static_cast<int64_t>((t - static_cast<double>(c.h) * 3600.0) / 60.0);
    c.s = static_cast<int64_t>(t) % 60;
    return c;
}
}  // namespace

std::string NMCommon::timeStringFromTime(double seconds) {
    Clockface c = clockfaceFromTime(seconds);
    return stringFromTimer(c.h) + ":" + stringFromTimer(c.m) + ":" + stringFromTimer(c.s);
}

std::string NMCommon::timeStringShortFromTime(double seconds) {
    Clockface c = clockfaceFromTime(seconds);
    return stringFromTimer(c.m) + ":" + stringFromTimer(c.s);
}

// ---- Touch lock

void NMCommon::disableUserInteraction() { UserInteraction::shared()->setEnabled(false); }
void NMCommon::enableUserInteraction() { UserInteraction::shared()->setEnabled(true); }

// ---- Weighted choice

namespace {
// Float to unsigned as the phone's processor does it: truncation, negatives and NaN give 0,
// too large saturates.
uint32_t truncateToUnsigned(float value) {
    if (!(value > 0.0f)) return 0;
    if (value >= 4294967296.0f) return UINT32_MAX;
    return static_cast<uint32_t>(value);
}
}  // namespace

unsigned NMCommon::selectedIndexWithProbabilities(const std::vector<float>& probabilities, uint32_t drawnValue) {
    uint32_t c = 0;
    for (size_t i = 0; i < probabilities.size(); ++i) {
        const float scaled = probabilities[i] * 1000.0f;  // single precision, as the weights are stored
        const uint32_t w = truncateToUnsigned(scaled);
        if (c <= drawnValue && drawnValue < c + w) return static_cast<unsigned>(i);
        c += w;
    }
    return 0;
}

unsigned NMCommon::selectedIndexWithProbabilities(const std::vector<float>& probabilities) {
    const uint32_t x = RandomSource::shared().next() % 1000u;  // drawn before looking at the list
    return selectedIndexWithProbabilities(probabilities, x);
}

unsigned NMCommon::selectedIndexWithProbabilities(const Value& probabilities) {
    std::vector<float> list;
    for (const Value& p : probabilities.arrayValue()) list.push_back(p.floatValue());
    return selectedIndexWithProbabilities(list);
}

// ---- Files

std::string NMCommon::filenameOfEquipWithEquipId(unsigned equipId) { return "item" + std::to_string(equipId) + "@2x.png"; }
