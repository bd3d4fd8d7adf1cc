#include "platform/events/NotificationCenter.h"

#include <algorithm>

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

void NotificationCenter::add(const void* observer, Handler handler, const std::string& name,
                             std::optional<std::weak_ptr<void>> lifetime) {
    if (!handler) return;
    auto reg = std::make_shared<Registration>();
    reg->observer = observer;
    reg->name = name;
    reg->handler = std::move(handler);
    reg->lifetime = std::move(lifetime);
    std::lock_guard lock(mutex_);
    registrations_.push_back(std::move(reg));
}

void NotificationCenter::addObserver(Object* observer, Handler handler, const std::string& name) {
    std::optional<std::weak_ptr<void>> lifetime;
    if (observer) lifetime = observer->lifetime();
    add(static_cast<const void*>(observer), std::move(handler), name, std::move(lifetime));
}

void NotificationCenter::addObserver(const void* observer, Handler handler, const std::string& name) {
    add(observer, std::move(handler), name, std::nullopt);
}

void NotificationCenter::removeObserver(const void* observer) {
    std::lock_guard lock(mutex_);
    std::erase_if(registrations_, [&](const std::shared_ptr<Registration>& reg) {
        if (reg->observer != observer) return false;
        reg->active.store(false);
        return true;
    });
}

void NotificationCenter::removeObserver(const void* observer, const std::string& name) {
    std::lock_guard lock(mutex_);
    std::erase_if(registrations_, [&](const std::shared_ptr<Registration>& reg) {
        if (reg->observer != observer || reg->name != name) return false;
        reg->active.store(false);
        return true;
    });
}

void NotificationCenter::removeAllObservers() {
    std::lock_guard lock(mutex_);
    for (auto& reg : registrations_) reg->active.store(false);
    registrations_.clear();
}

size_t NotificationCenter::observerCount(const std::string& name) const {
    std::lock_guard lock(mutex_);
    return static_cast<size_t>(std::count_if(registrations_.begin(), registrations_.end(), [&](const auto& reg) {
        return reg->name == name && !(reg->lifetime && reg->lifetime->expired());
    }));
}

void NotificationCenter::post(const std::string& name, Value object, Value userInfo) {
    Notification notification{name, std::move(object), std::move(userInfo)};
    RunLoop::main().post([this, notification = std::move(notification)] { deliver(notification); });
}

void NotificationCenter::postDirect(const std::string& name, Value object, Value userInfo) {
    deliver(Notification{name, std::move(object), std::move(userInfo)});
}

void NotificationCenter::deliver(const Notification& notification) {
    // Observers of this event as registered now; handlers run without the lock held, so they may
    // add, remove and post freely. A registration removed meanwhile is skipped.
    std::vector<std::shared_ptr<Registration>> targets;
    {
        std::lock_guard lock(mutex_);
        // Registrations whose Object has gone are dropped on the way.
        std::erase_if(registrations_, [](const std::shared_ptr<Registration>& reg) {
            if (!reg->lifetime || !reg->lifetime->expired()) return false;
            reg->active.store(false);
            return true;
        });
        for (auto& reg : registrations_)
            if (reg->name == notification.name) targets.push_back(reg);
    }
    for (auto& reg : targets) {
        if (!reg->active.load()) continue;
        if (reg->lifetime && reg->lifetime->expired()) continue;  // its object is gone
        reg->handler(notification);
    }
}
