#include "platform/services/DesktopNotifications.h"

#include <SDL.h>
#include <libnotify/notify.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <cstdio>
#include <cstdlib>
#include <nlohmann/json.hpp>

#include "platform/core/SharedLibrary.h"
#include "platform/foundation/DataFile.h"
#include "platform/foundation/ValueJson.h"

using nlohmann::json;

DesktopNotificationCenter::DesktopNotificationCenter(std::string dataDirectory)
    : path_(dataDirectory.empty() ? std::string() : dataDirectory + "/" + kFileName) {
    load();
}

void DesktopNotificationCenter::load() {
    if (path_.empty()) return;
    json doc;
    if (DataFile::readJsonObject(path_, kMaxFileBytes, &doc) != DataFile::Status::Read) return;
    auto list = doc.find("scheduled");
    std::vector<LocalNotification> scheduled;
    if (list != doc.end() && list->is_array()) {
        for (const auto& item : *list) {
            if (!item.is_object() || scheduled.size() >= kMaxScheduled) continue;
            LocalNotification n;
            n.fireDate = DataFile::number(item, "fireDate", 0.0);
            n.alertBody = DataFile::string(item, "body");
            n.launchImage = DataFile::string(item, "launchImage").value_or("");
            if (auto info = item.find("userInfo"); info != item.end()) n.userInfo = valueFromJson(*info);
            n.soundName = DataFile::string(item, "sound");
            if (item.contains("badge") && item["badge"].is_number_integer()) n.badgeNumber = DataFile::integer(item, "badge", 0);
            scheduled.push_back(std::move(n));
        }
    }
    restore(std::move(scheduled), DataFile::integer(doc, "badge", 0));
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
    DataFile::replace(path_, doc.dump(1, ' ', false, json::error_handler_t::replace) + "\n");
}

void DesktopNotificationCenter::setApplicationIconBadgeNumber(int64_t number) {
    const bool moves = applicationIconBadgeNumber() != number;
    InMemoryLocalNotificationCenter::setApplicationIconBadgeNumber(number);
    if (moves) badgeChanged();
}

void DesktopNotificationCenter::badgeChanged() {
    if (onBadgeChanged) onBadgeChanged(applicationIconBadgeNumber());
}

namespace {

// The service's side, set up on the first delivery; notifications stay alive while shown so that
// they can be replaced and clicked.
// libnotify and the GLib functions used with it, opened on the first delivery (not at start).
struct Notify {
    decltype(&notify_init) init = nullptr;
    decltype(&notify_get_server_caps) getServerCaps = nullptr;
    decltype(&notify_notification_new) notificationNew = nullptr;
    decltype(&notify_notification_update) notificationUpdate = nullptr;
    decltype(&notify_notification_add_action) notificationAddAction = nullptr;
    decltype(&notify_notification_show) notificationShow = nullptr;
    decltype(&g_list_free_full) listFreeFull = nullptr;
    decltype(&g_free) free = nullptr;
    decltype(&g_markup_escape_text) markupEscapeText = nullptr;
    decltype(&g_strdup) strdup = nullptr;
    decltype(&g_main_context_iteration) mainContextIteration = nullptr;

    static const Notify* get() {
        return openFunctionsOnce<Notify>("libnotify.so.4", [](const SharedLibrary& library, Notify& api) {
            return bindFunctions(library, std::pair{&api.init, "notify_init"}, std::pair{&api.getServerCaps, "notify_get_server_caps"},
                                 std::pair{&api.notificationNew, "notify_notification_new"},
                                 std::pair{&api.notificationUpdate, "notify_notification_update"},
                                 std::pair{&api.notificationAddAction, "notify_notification_add_action"},
                                 std::pair{&api.notificationShow, "notify_notification_show"},
                                 std::pair{&api.listFreeFull, "g_list_free_full"}, std::pair{&api.free, "g_free"},
                                 std::pair{&api.markupEscapeText, "g_markup_escape_text"}, std::pair{&api.strdup, "g_strdup"},
                                 std::pair{&api.mainContextIteration, "g_main_context_iteration"});
        });
    }
};

struct NotifyService {
    bool ready = false;
    const Notify* api = nullptr;
    std::map<std::string, NotifyNotification*> shownByKind;

    static NotifyService& shared() {
        static NotifyService service;
        return service;
    }
    bool start() {
        if (!ready && (api = Notify::get())) ready = api->init("Royal Expedition");
        return ready;
    }
    std::function<void()> onClicked = DesktopNotificationCenter::bringGameWindowForward;

    static void clicked(NotifyNotification*, char*, gpointer) {
        if (shared().onClicked) shared().onClicked();
    }
    // Whether this delivery's service reads markup in bodies (asked once a delivery: the player's
    // desktop may change its service while the game runs).
    bool readsMarkup = false;
    void askCapabilities() {
        readsMarkup = false;
        GList* caps = api->getServerCaps();
        for (GList* c = caps; c; c = c->next)
            if (std::string(static_cast<const char*>(c->data)) == "body-markup") readsMarkup = true;
        api->listFreeFull(caps, api->free);
    }
    void show(const DesktopNotificationCenter::Shown& shown) {
        // Plain text: a service that reads markup gets it escaped, one that does not gets the text.
        gchar* body = readsMarkup ? api->markupEscapeText(shown.body.c_str(), -1) : api->strdup(shown.body.c_str());
        NotifyNotification*& n = shownByKind[shown.kind];
        if (n) {
            api->notificationUpdate(n, "Royal Expedition", body, nullptr);
        } else {
            n = api->notificationNew("Royal Expedition", body, nullptr);
            api->notificationAddAction(n, "default", "Royal Expedition", NOTIFY_ACTION_CALLBACK(clicked), nullptr, nullptr);
        }
        api->free(body);
        api->notificationShow(n, nullptr);
    }
    // Answers the service (clicks) without waiting.
    void pump() {
        if (ready) while (api->mainContextIteration(nullptr, FALSE)) {}
    }
};

}  // namespace

std::vector<DesktopNotificationCenter::Shown> DesktopNotificationCenter::planDelivery(const std::vector<LocalNotification>& due) {
    std::vector<Shown> plan;
    std::vector<size_t> folded;
    for (const auto& n : due) {
        if (!n.alertBody || n.alertBody->empty()) continue;
        const Value& id = n.userInfo["id"];
        const std::string kind = id.isNil() ? "" : id.debugDescription();
        auto same = std::find_if(plan.begin(), plan.end(), [&](const Shown& s) { return s.kind == kind; });
        if (same != plan.end()) {
            same->body = *n.alertBody;
            ++folded[static_cast<size_t>(same - plan.begin())];
        } else if (plan.size() < kMaxShownAtOnce) {
            plan.push_back({kind, *n.alertBody});
            folded.push_back(0);
        } else {
            plan.back().body = *n.alertBody;
            ++folded.back();
        }
    }
    for (size_t i = 0; i < plan.size(); ++i)
        if (folded[i] > 0) plan[i].body += " (+" + std::to_string(folded[i]) + ")";
    return plan;
}

std::vector<LocalNotification> DesktopNotificationCenter::deliverDue(double now) {
    const int64_t badgeBefore = applicationIconBadgeNumber();
    std::vector<LocalNotification> due = fireDueNotifications(now);
    if (applicationIconBadgeNumber() != badgeBefore) badgeChanged();
    if (shows_ && !due.empty() && desktopCanNotify()) {
        NotifyService::shared().askCapabilities();
        for (const auto& shown : planDelivery(due)) NotifyService::shared().show(shown);
    }
    NotifyService::shared().pump();
    return due;
}

bool DesktopNotificationCenter::desktopCanNotify() {
    const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    return bus && *bus && NotifyService::shared().start();
}

void DesktopNotificationCenter::setOnNotificationClicked(std::function<void()> handler) {
    NotifyService::shared().onClicked = std::move(handler);
}

void DesktopNotificationCenter::bringGameWindowForward() {
    for (Uint32 id = 1; id <= 8 && SDL_WasInit(SDL_INIT_VIDEO); ++id)
        if (SDL_Window* window = SDL_GetWindowFromID(id)) {
            SDL_RestoreWindow(window);
            SDL_RaiseWindow(window);
            return;
        }
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
