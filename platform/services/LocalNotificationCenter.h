#pragma once
// Local notifications: scheduled with a fire time, shown by the system while the game is closed.
// The default centre keeps them in memory and records what was asked; a host with a real
// notification service plugs its own in through setShared().
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

struct LocalNotification {
    uint64_t identifier = 0;                  // given by the centre when scheduled
    double fireDate = 0;                      // seconds since 1970
    std::optional<std::string> alertBody;     // none: no text shown
    std::string launchImage;
    Value userInfo;                           // nil: none
    std::optional<std::string> soundName;     // none: silent
    std::optional<int64_t> badgeNumber;       // none: the badge stays as it is
};

class LocalNotificationCenter {
public:
    virtual ~LocalNotificationCenter() = default;

    static std::shared_ptr<LocalNotificationCenter> shared();
    // Replaces the shared centre (nullptr restores a fresh in-memory one).
    static void setShared(std::shared_ptr<LocalNotificationCenter> center);

    // Schedules a copy of the notification and gives its identifier.
    virtual uint64_t scheduleLocalNotification(const LocalNotification& notification) = 0;
    virtual void cancelLocalNotification(uint64_t identifier) = 0;
    virtual void cancelAllLocalNotifications() = 0;
    // Cancels the scheduled notifications that carry user info, keeping the others.
    virtual void cancelLocalNotificationsWithUserInfo() = 0;
    virtual std::vector<LocalNotification> scheduledLocalNotifications() const = 0;

    virtual int64_t applicationIconBadgeNumber() const = 0;
    virtual void setApplicationIconBadgeNumber(int64_t number) = 0;
};

// Keeps everything in memory. fireDueNotifications() plays the system's part when time passes:
// it takes out every notification due by then and applies its badge number.
class InMemoryLocalNotificationCenter : public LocalNotificationCenter {
public:
    uint64_t scheduleLocalNotification(const LocalNotification& notification) override;
    void cancelLocalNotification(uint64_t identifier) override;
    void cancelAllLocalNotifications() override;
    void cancelLocalNotificationsWithUserInfo() override;
    std::vector<LocalNotification> scheduledLocalNotifications() const override;
    int64_t applicationIconBadgeNumber() const override;
    void setApplicationIconBadgeNumber(int64_t number) override;

    std::vector<LocalNotification> fireDueNotifications(double now);
    // How many times everything was cancelled at once.
    int cancelAllCount() const;

protected:
    // Called after every change of the schedule or the badge, with the centre's lock held, so a
    // subclass sees a consistent picture (the desktop centre writes it to disk here).
    virtual void scheduleChanged(const std::vector<LocalNotification>& /*scheduled*/, int64_t /*badge*/) {}
    // Puts back a schedule kept from an earlier run; each notification gets a fresh identifier.
    void restore(std::vector<LocalNotification> scheduled, int64_t badge);

private:
    mutable std::mutex mutex_;
    std::vector<LocalNotification> scheduled_;
    uint64_t nextIdentifier_ = 1;
    int64_t badge_ = 0;
    int cancelAllCount_ = 0;
};
