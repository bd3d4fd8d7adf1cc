#include "model/SavePointHooks.h"

#include <mutex>

namespace {
std::mutex hookMutex;
std::function<void()> afterSave;
}  // namespace

void SavePointHooks::setAfterSaveHandler(std::function<void()> handler) {
    std::lock_guard lock(hookMutex);
    afterSave = std::move(handler);
}

void SavePointHooks::runAfterSave() {
    std::function<void()> handler;
    {
        std::lock_guard lock(hookMutex);
        handler = afterSave;
    }
    if (handler) handler();
}
