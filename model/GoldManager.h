#pragma once
// The player's gold: the current gold and the lifetime gold, kept in memory and written at
// saveGold. addGold applies the gold rate of the owned bonus items (single precision, as the
// rates are stored). Safe from any thread.
//
// Gold observers: every assignment of the current gold (addGold, setCurrentGold) notifies the
// observers registered with addGoldObserver, on the main run loop, on a later pass, in the
// order of the changes, with the old and the new value. An observer registered as an Object is
// never called after it has been destroyed.
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/core/RunLoop.h"
#include "platform/core/Singleton.h"
#include "platform/events/Notification.h"

class GoldManager : public Singleton<GoldManager> {
public:
    using GoldObserver = std::function<void(int64_t oldGold, int64_t newGold)>;

    ~GoldManager();

    // Loads gold, goldRate and totalGold and starts following "equipUpdated".
    void initFile();

    uint32_t currentGold() const;
    // Assigns the current gold (the shop pays this way); totalGold is not touched.
    void setCurrentGold(uint32_t gold);
    uint32_t totalGold() const;
    float goldRate() const;

    // Adds the amount with the gold rate applied (when above 1.0) to both counters. Not stored.
    void addGold(int64_t amount);
    // Stores gold and totalGold, flushes, then runs the after-save hook (score report).
    void saveGold();
    // gold and totalGold as saveGold stores them, for a write that must carry them along.
    Value::Dictionary storedValues() const;
    // "equipUpdated": the stored rate may have changed.
    void equipUpdated(const Notification& notification);

    void addGoldObserver(Object* owner, GoldObserver observer);
    void addGoldObserver(const void* owner, GoldObserver observer);
    void removeGoldObserver(const void* owner);

private:
    friend class Singleton<GoldManager>;
    struct ObserverEntry;
    struct Observers;
    GoldManager();
    void assignCurrentGoldLocked(uint32_t gold);

    mutable std::mutex mutex_;
    uint32_t currentGold_ = 0;
    uint32_t totalGold_ = 0;
    float goldRate_ = 0.0f;
    std::shared_ptr<Observers> observers_;
};
