#include "platform/services/LocalNotificationCenter.h"

#include <algorithm>

namespace {
std::mutex sharedMutex;
std::shared_ptr<LocalNotificationCenter> sharedCenter;
}  // namespace

std::shared_ptr<LocalNotificationCenter> LocalNotificationCenter::shared() {
    std::lock_guard lock(sharedMutex);
    if (!sharedCenter) sharedCenter = std::make_shared<InMemoryLocalNotificationCenter>();
    return sharedCenter;
}

void LocalNotificationCenter::setShared(std::shared_ptr<LocalNotificationCenter> center) {
    std::lock_guard lock(sharedMutex);
    sharedCenter = center ? std::move(center) : std::make_shared<InMemoryLocalNotificationCenter>();
}

uint64_t InMemoryLocalNotificationCenter::scheduleLocalNotification(const LocalNotification& notification) {
    std::lock_guard lock(mutex_);
    LocalNotification copy = notification;
    copy.identifier = nextIdentifier_++;
    scheduled_.push_back(copy);
    scheduleChanged(scheduled_, badge_);
    return copy.identifier;
}

void InMemoryLocalNotificationCenter::cancelLocalNotification(uint64_t identifier) {
    std::lock_guard lock(mutex_);
    std::erase_if(scheduled_, [&](const LocalNotification& n) { return n.identifier == identifier; });
    scheduleChanged(scheduled_, badge_);
}

void InMemoryLocalNotificationCenter::cancelAllLocalNotifications() {
    std::lock_guard lock(mutex_);
    scheduled_.clear();
    ++cancelAllCount_;
    scheduleChanged(scheduled_, badge_);
}

void InMemoryLocalNotificationCenter::cancelLocalNotificationsWithUserInfo() {
    std::lock_guard lock(mutex_);
    std::erase_if(scheduled_, [](const LocalNotification& n) { return !n.userInfo.isNil(); });
    scheduleChanged(scheduled_, badge_);
}

std::vector<LocalNotification> InMemoryLocalNotificationCenter::scheduledLocalNotifications() const {
    std::lock_guard lock(mutex_);
    return scheduled_;
}

int64_t InMemoryLocalNotificationCenter::applicationIconBadgeNumber() const {
    std::lock_guard lock(mutex_);
    return badge_;
}

void InMemoryLocalNotificationCenter::setApplicationIconBadgeNumber(int64_t number) {
    std::lock_guard lock(mutex_);
    if (badge_ == number) return;
    badge_ = number;
    scheduleChanged(scheduled_, badge_);
}

std::vector<LocalNotification> InMemoryLocalNotificationCenter::fireDueNotifications(double now) {
    std::lock_guard lock(mutex_);
    std::vector<LocalNotification> fired;
    auto firstLater = std::stable_partition(scheduled_.begin(), scheduled_.end(),
                                            [&](const LocalNotification& n) { return n.fireDate <= now; });
    fired.assign(scheduled_.begin(), firstLater);
    scheduled_.erase(scheduled_.begin(), firstLater);
    std::stable_sort(fired.begin(), fired.end(),
                     [](const LocalNotification& a, const LocalNotification& b) { return a.fireDate < b.fireDate; });
    for (const auto& n : fired)
        if (n.badgeNumber) badge_ = *n.badgeNumber;
    if (!fired.empty()) scheduleChanged(scheduled_, badge_);
    return fired;
}

void InMemoryLocalNotificationCenter::restore(std::vector<LocalNotification> scheduled, int64_t badge) {
    std::lock_guard lock(mutex_);
    for (auto& n : scheduled) n.identifier = nextIdentifier_++;
    scheduled_ = std::move(scheduled);
    badge_ = badge;
}

int InMemoryLocalNotificationCenter::cancelAllCount() const {
    std::lock_guard lock(mutex_);
    return cancelAllCount_;
}
