#include "platform/core/Singleton.h"

#include <algorithm>
#include <vector>

namespace {
std::mutex listMutex;
std::vector<Singletons::Reset>& list() {
    static std::vector<Singletons::Reset> resets;  // in the order made
    return resets;
}
}  // namespace

void Singletons::made(Reset reset) {
    std::lock_guard lock(listMutex);
    list().push_back(reset);
}

void Singletons::forget(Reset reset) {
    std::lock_guard lock(listMutex);
    auto& resets = list();
    resets.erase(std::remove(resets.begin(), resets.end(), reset), resets.end());
}

void Singletons::resetAll() {
    for (;;) {
        Reset last;
        {
            std::lock_guard lock(listMutex);
            if (list().empty()) return;
            last = list().back();
        }
        last();  // forgets itself
    }
}
