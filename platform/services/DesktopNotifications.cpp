#include "platform/services/DesktopNotifications.h"

#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>

#include "platform/foundation/ValueJson.h"
#include "platform/services/Spawn.h"

using nlohmann::json;

DesktopNotificationCenter::DesktopNotificationCenter(std::string dataDirectory)
    : path_(dataDirectory.empty() ? std::string() : dataDirectory + "/" + kFileName) {
    load();
}

void DesktopNotificationCenter::load() {
    if (path_.empty()) return;
    std::ifstream in(path_);
    if (!in) return;
    const json doc = json::parse(in, nullptr, false);
    if (!doc.is_object()) return;
    json list = doc.value("scheduled", json::array());
    if (!list.is_array()) list = json::array();
    std::vector<LocalNotification> scheduled;
    for (const auto& item : list) {
        if (!item.is_object()) continue;
        LocalNotification n;
        n.fireDate = item.value("fireDate", 0.0);
        if (item.contains("body") && item["body"].is_string()) n.alertBody = item["body"].get<std::string>();
        n.launchImage = item.value("launchImage", std::string());
        if (item.contains("userInfo")) n.userInfo = valueFromJson(item["userInfo"]);
        if (item.contains("sound") && item["sound"].is_string()) n.soundName = item["sound"].get<std::string>();
        if (item.contains("badge") && item["badge"].is_number_integer()) n.badgeNumber = item["badge"].get<int64_t>();
        scheduled.push_back(std::move(n));
    }
    restore(std::move(scheduled), doc.value("badge", int64_t(0)));
}

void DesktopNotificationCenter::scheduleChanged(const std::vector<LocalNotification>& scheduled, int64_t badge) {
    if (path_.empty()) return;
    json list = json::array();
    for (const auto& n : scheduled) {
        json item = {{"fireDate", n.fireDate}, {"launchImage", n.launchImage}};
        if (n.alertBody) item["body"] = *n.alertBody;
        if (!n.userInfo.isNil()) item["userInfo"] = valueToJson(n.userInfo);
        if (n.soundName) item["sound"] = *n.soundName;
        if (n.badgeNumber) item["badge"] = *n.badgeNumber;
        list.push_back(std::move(item));
    }
    const json doc = {{"badge", badge}, {"scheduled", list}};
    // Written aside and renamed, so a crash leaves the old schedule whole.
    const std::string temp = path_ + ".tmp";
    {
        std::ofstream out(temp, std::ios::trunc);
        if (!out) return;
        out << doc.dump(1) << "\n";
        if (!out) return;
    }
    std::rename(temp.c_str(), path_.c_str());
}

void DesktopNotificationCenter::setApplicationIconBadgeNumber(int64_t number) {
    const bool moves = applicationIconBadgeNumber() != number;
    InMemoryLocalNotificationCenter::setApplicationIconBadgeNumber(number);
    if (moves) badgeChanged();
}

void DesktopNotificationCenter::badgeChanged() {
    if (onBadgeChanged) onBadgeChanged(applicationIconBadgeNumber());
}

std::vector<LocalNotification> DesktopNotificationCenter::deliverDue(double now) {
    const int64_t badgeBefore = applicationIconBadgeNumber();
    std::vector<LocalNotification> due = fireDueNotifications(now);
    if (applicationIconBadgeNumber() != badgeBefore) badgeChanged();
    if (shows_ && !due.empty() && desktopCanNotify())
        for (const auto& n : due)
            if (n.alertBody && !n.alertBody->empty()) spawnDetached(notifyArguments(n));
    return due;
}

std::vector<std::string> DesktopNotificationCenter::notifyArguments(const LocalNotification& n) {
    std::vector<std::string> args = {kNotifyProgram, "--app-name=Royal Expedition"};
    // The sound goes along as a hint; the notification service plays it when it can.
    if (n.soundName && !n.soundName->empty()) args.push_back("--hint=string:sound-name:" + *n.soundName);
    args.push_back("--");
    args.push_back("Royal Expedition");
    args.push_back(n.alertBody.value_or(""));
    return args;
}

bool DesktopNotificationCenter::desktopCanNotify() {
    const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    return bus && *bus && programOnPath(kNotifyProgram);
}

void DesktopNotificationCenter::showBadgeInWindowTitle(const std::string& title, int64_t badge) {
    if (SDL_WasInit(SDL_INIT_VIDEO) == 0) return;
    const std::string text = badge > 0 ? title + " (" + std::to_string(badge) + ")" : title;
    for (Uint32 id = 1; id <= 8; ++id)
        if (SDL_Window* window = SDL_GetWindowFromID(id)) {
            SDL_SetWindowTitle(window, text.c_str());
            return;
        }
}
