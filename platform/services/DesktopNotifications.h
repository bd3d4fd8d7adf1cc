#pragma once
// Local notifications on the desktop: the in-memory centre's schedule, also kept as JSON in the
// data directory ("notifications.json"), so that a cancel in a later run finds what an earlier
// run scheduled.
// While the game runs, deliverDue() takes out what has fallen due: its badge number becomes the
// application badge (shown in the window title) and, when showing is on, its text goes to the
// desktop's notification service through `notify-send` (started with an argument list, no
// shell). Without the command or a session bus nothing is shown and nothing else changes.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/services/LocalNotificationCenter.h"

class DesktopNotificationCenter : public InMemoryLocalNotificationCenter {
public:
    static constexpr const char* kFileName = "notifications.json";
    static constexpr const char* kNotifyProgram = "notify-send";

    // dataDirectory "": the schedule lives in memory only.
    explicit DesktopNotificationCenter(std::string dataDirectory);

    void setApplicationIconBadgeNumber(int64_t number) override;

    // Takes out every notification due by `now`, in fire order; applies badges and shows texts.
    std::vector<LocalNotification> deliverDue(double now);
    // Headless runs only record.
    void setShowsNotifications(bool shows) { shows_ = shows; }
    // Called on the main thread whenever the badge changes (the window title follows it).
    std::function<void(int64_t)> onBadgeChanged;
    // The arguments notify-send gets for a notification.
    static std::vector<std::string> notifyArguments(const LocalNotification& notification);
    // The desktop can show notifications: the command is on PATH and a session bus is set.
    static bool desktopCanNotify();
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
