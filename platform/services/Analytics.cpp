#include "platform/services/Analytics.h"

namespace {
std::mutex sharedMutex;
std::shared_ptr<Analytics> sharedAnalytics;
}  // namespace

std::shared_ptr<Analytics> Analytics::shared() {
    std::lock_guard lock(sharedMutex);
    if (!sharedAnalytics) sharedAnalytics = std::make_shared<RecordingAnalytics>();
    return sharedAnalytics;
}

void Analytics::setShared(std::shared_ptr<Analytics> analytics) {
    std::lock_guard lock(sharedMutex);
    sharedAnalytics = analytics ? std::move(analytics) : std::make_shared<RecordingAnalytics>();
}

void RecordingAnalytics::trackPageView(const std::string& path) {
    std::lock_guard lock(mutex_);
    // Dropped a quarter at a time, so that a long session does not shift the list at every view.
    if (pageViews_.size() >= kKeptViews) pageViews_.erase(pageViews_.begin(), pageViews_.begin() + kKeptViews / 4);
    pageViews_.push_back(path);
}

std::vector<std::string> RecordingAnalytics::pageViews() const {
    std::lock_guard lock(mutex_);
    return pageViews_;
}
