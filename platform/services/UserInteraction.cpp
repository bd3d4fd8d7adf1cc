#include "platform/services/UserInteraction.h"

#include <mutex>

namespace {
std::mutex sharedMutex;
std::shared_ptr<UserInteraction> sharedInteraction;
}  // namespace

std::shared_ptr<UserInteraction> UserInteraction::shared() {
    std::lock_guard lock(sharedMutex);
    if (!sharedInteraction) sharedInteraction = std::make_shared<InMemoryUserInteraction>();
    return sharedInteraction;
}

void UserInteraction::setShared(std::shared_ptr<UserInteraction> interaction) {
    std::lock_guard lock(sharedMutex);
    sharedInteraction = interaction ? std::move(interaction) : std::make_shared<InMemoryUserInteraction>();
}
