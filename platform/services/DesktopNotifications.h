#pragma once
// Local notifications on the desktop: the in-memory centre's schedule, also kept as JSON in the
// data directory ("notifications.json"), so that a cancel in a later run finds what an earlier
// run scheduled.
// While the game runs, deliverDue() takes out what has fallen due: its badge number becomes the
// application badge (shown in the window title) and, when showing is on, its text goes to the
// desktop's notification service through libnotify over D-Bus, as plain text (escaped for a
// service that reads markup). Notifications of the same kind (the same userInfo "id") replace one
// another in place, at most a few are shown at once and the rest are folded into the last one
// ("… (+N)"); clicking one brings the game's window to the front. Without a session bus or a notification service nothing is shown and
// nothing else changes.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/services/LocalNotificationCenter.h"

class DesktopNotificationCenter : public InMemoryLocalNotificationCenter {
public:
    static constexpr const char* kFileName = "notifications.json";
    static constexpr size_t kMaxShownAtOnce = 3;
    // A larger schedule file is kept aside unread; entries past the count are dropped.
    static constexpr size_t kMaxFileBytes = 4u * 1024u * 1024u;
    static constexpr size_t kMaxScheduled = 1000;

    // dataDirectory "": the schedule lives in memory only.
    explicit DesktopNotificationCenter(std::string dataDirectory);

    void setApplicationIconBadgeNumber(int64_t number) override;

    // Takes out every notification due by `now`, in fire order; applies badges and shows texts.
    std::vector<LocalNotification> deliverDue(double now);
    // Headless runs only record.
    void setShowsNotifications(bool shows) { shows_ = shows; }
    // Called on the main thread whenever the badge changes (the window title follows it).
    std::function<void(int64_t)> onBadgeChanged;
    // What one delivery shows: one entry per kind (its userInfo "id", "" for none) holding the
    // latest text of that kind, at most kMaxShownAtOnce, the last one also counting what was
    // folded into it.
    struct Shown {
        std::string kind;
        std::string body;  // plain text
    };
    static std::vector<Shown> planDelivery(const std::vector<LocalNotification>& due);
    // The desktop can show notifications: a session bus is set and the service answers.
    static bool desktopCanNotify();
    // What a click on a shown notification does, on the main thread at the next delivery round
    // (every second); by default bringGameWindowForward.
    static void setOnNotificationClicked(std::function<void()> handler);
    static void bringGameWindowForward();
    // Writes the window title with the badge ("Royal Expedition (3)") on the game's window.
    static void showBadgeInWindowTitle(const std::string& title, int64_t badge);

    const std::string& filePath() const { return path_; }

protected:
    void scheduleChanged(const std::vector<LocalNotification>& scheduled, int64_t badge) override;

private:
    void load();
    void badgeChanged();

    std::string path_;
    bool shows_ = true;
};
