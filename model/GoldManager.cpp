#include "model/GoldManager.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "explore/NMCommon.h"
#include "model/GameEvents.h"
#include "model/SavePointHooks.h"
#include "model/SavedStateKeys.h"

namespace {
// Float to unsigned as the phone's processor does it: truncation toward zero, negatives and NaN
// give 0, too large saturates.
uint32_t truncateToUnsigned(float value) {
    if (!(value > 0.0f)) return 0;
    if (value >= 4294967296.0f) return UINT32_MAX;
    return static_cast<uint32_t>(value);
}

uint32_t storedToUnsigned(int64_t value) { return static_cast<uint32_t>(value); }
}  // namespace

struct GoldManager::ObserverEntry {
    const void* owner = nullptr;
    GoldObserver observer;
    std::optional<std::weak_ptr<void>> lifetime;
    bool active = true;  // guarded by Observers::mutex
};

struct GoldManager::Observers {
    std::mutex mutex;
    std::vector<std::shared_ptr<ObserverEntry>> entries;
};

GoldManager::GoldManager() : observers_(std::make_shared<Observers>()) {}

GoldManager::~GoldManager() {
    saveGold();
    NMCommon::removeObserver(this);
    std::lock_guard lock(observers_->mutex);
    for (auto& entry : observers_->entries) entry->active = false;
}

void GoldManager::initFile() {
    auto& store = SavedStateStore::standardUserDefaults();
    {
        std::lock_guard lock(mutex_);
        currentGold_ = storedToUnsigned(store.integerForKey(SavedStateKeys::gold));
        goldRate_ = store.floatForKey(SavedStateKeys::goldRate);
        totalGold_ = storedToUnsigned(store.integerForKey(SavedStateKeys::totalGold));
    }
    NMCommon::addObserver(static_cast<const void*>(this), [this](const Notification& n) { equipUpdated(n); }, GameEvents::kEquipUpdated);
}

uint32_t GoldManager::currentGold() const {
    std::lock_guard lock(mutex_);
    return currentGold_;
}

uint32_t GoldManager::totalGold() const {
    std::lock_guard lock(mutex_);
    return totalGold_;
}

float GoldManager::goldRate() const {
    std::lock_guard lock(mutex_);
    return goldRate_;
}

void GoldManager::setCurrentGold(uint32_t gold) {
    std::lock_guard lock(mutex_);
    assignCurrentGoldLocked(gold);
}

void GoldManager::assignCurrentGoldLocked(uint32_t gold) {
    const uint32_t old = currentGold_;
    currentGold_ = gold;
    // Posted under the lock, so the changes reach the observers in the order they were made.
    std::weak_ptr<Observers> weakObservers = observers_;
    RunLoop::main().post([weakObservers, old, gold] {
        auto observers = weakObservers.lock();
        if (!observers) return;
        std::vector<std::shared_ptr<ObserverEntry>> targets;
        {
            std::lock_guard lock(observers->mutex);
            targets = observers->entries;
        }
        for (auto& entry : targets) {
            {
                std::lock_guard lock(observers->mutex);
                if (!entry->active) continue;
            }
            if (entry->lifetime && entry->lifetime->expired()) continue;
            entry->observer(static_cast<int64_t>(old), static_cast<int64_t>(gold));
        }
    });
}

void GoldManager::addGold(int64_t amount) {
    std::lock_guard lock(mutex_);
    float g = static_cast<float>(amount);
    if (goldRate_ > 1.0f) {
        g = g * goldRate_;
        const float fraction = g - static_cast<float>(truncateToUnsigned(g));
        if (static_cast<double>(fraction) > 0.01) g = std::ceil(g);
    }
    assignCurrentGoldLocked(truncateToUnsigned(g + static_cast<float>(currentGold_)));
    totalGold_ = truncateToUnsigned(g + static_cast<float>(totalGold_));
}

Value::Dictionary GoldManager::storedValues() const {
    std::lock_guard lock(mutex_);
    return {{SavedStateKeys::gold, Value(static_cast<long long>(currentGold_))},
            {SavedStateKeys::totalGold, Value(static_cast<long long>(totalGold_))}};
}

void GoldManager::saveGold() {
    {
        std::lock_guard lock(mutex_);
        auto& store = SavedStateStore::standardUserDefaults();
        store.setInteger(currentGold_, SavedStateKeys::gold);
        store.setInteger(totalGold_, SavedStateKeys::totalGold);
        store.synchronize();
    }
    SavePointHooks::runAfterSave();
}

void GoldManager::equipUpdated(const Notification&) {
    const float rate = SavedStateStore::standardUserDefaults().floatForKey(SavedStateKeys::goldRate);
    std::lock_guard lock(mutex_);
    goldRate_ = rate;
}

void GoldManager::addGoldObserver(Object* owner, GoldObserver observer) {
    if (!observer) return;
    auto entry = std::make_shared<ObserverEntry>();
    entry->owner = static_cast<const void*>(owner);
    entry->observer = std::move(observer);
    if (owner) entry->lifetime = owner->lifetime();
    std::lock_guard lock(observers_->mutex);
    observers_->entries.push_back(std::move(entry));
}

void GoldManager::addGoldObserver(const void* owner, GoldObserver observer) {
    if (!observer) return;
    auto entry = std::make_shared<ObserverEntry>();
    entry->owner = owner;
    entry->observer = std::move(observer);
    std::lock_guard lock(observers_->mutex);
    observers_->entries.push_back(std::move(entry));
}

void GoldManager::removeGoldObserver(const void* owner) {
    std::lock_guard lock(observers_->mutex);
    std::erase_if(observers_->entries, [&](const std::shared_ptr<ObserverEntry>& entry) {
        if (entry->owner != owner) return false;
        entry->active = false;
        return true;
    });
}
