#pragma once
// The in-process event bus. Observers register per event name with a handler; post() hands the
// event to the main run loop, so observers run on a later pass of the main loop, in posting order,
// never inside the poster's call, and all observers of one event run in the same pass.
// postDirect() calls the observers at once on the posting thread.
// Safe from any thread. An observer registered as an Object is never called once it has been
// destroyed, even when it forgot to remove itself.
#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/RunLoop.h"
#include "platform/events/Notification.h"

class NotificationCenter {
public:
    using Handler = std::function<void(const Notification&)>;

    static NotificationCenter& defaultCenter();

    NotificationCenter() = default;
    NotificationCenter(const NotificationCenter&) = delete;
    NotificationCenter& operator=(const NotificationCenter&) = delete;

    // Registers the handler for events of that name from any poster. One observer may hold
    // several registrations. An Object observer is tracked through its lifetime token.
    void addObserver(Object* observer, Handler handler, const std::string& name);
    // The same with a plain pointer as the observer's key (no lifetime tracking).
    void addObserver(const void* observer, Handler handler, const std::string& name);
    // Removes every registration of that observer; a delivery already under way skips it.
    void removeObserver(const void* observer);
    void removeObserver(const void* observer, const std::string& name);

    // Deferred delivery on the main run loop (the game's sendNotification).
    void post(const std::string& name, Value object = Value(), Value userInfo = Value());
    // Synchronous delivery on the calling thread.
    void postDirect(const std::string& name, Value object = Value(), Value userInfo = Value());

    // Number of live registrations for a name (tests and diagnostics).
    size_t observerCount(const std::string& name) const;
    // Drops every registration (tests start clean).
    void removeAllObservers();

private:
    struct Registration {
        const void* observer = nullptr;
        std::string name;
        Handler handler;
        std::optional<std::weak_ptr<void>> lifetime;
        std::atomic<bool> active{true};
    };
    void add(const void* observer, Handler handler, const std::string& name, std::optional<std::weak_ptr<void>> lifetime);
    void deliver(const Notification& notification);

    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<Registration>> registrations_;
};
