#pragma once
// Usage analytics: page views named by a path ("/NEW_MONSTER_3"). The default records the paths
// in memory; a real service kit plugs itself in through setShared().
#include <memory>
#include <mutex>
#include <string>
#include <vector>

class Analytics {
public:
    virtual ~Analytics() = default;

    static std::shared_ptr<Analytics> shared();
    // Replaces the shared service (nullptr restores a fresh recording one).
    static void setShared(std::shared_ptr<Analytics> analytics);

    virtual void trackPageView(const std::string& path) = 0;
};

class RecordingAnalytics : public Analytics {
public:
    // The most recent views are kept, oldest first: a game left open for weeks keeps no more.
    static constexpr size_t kKeptViews = 1000;
    void trackPageView(const std::string& path) override;
    std::vector<std::string> pageViews() const;

private:
    mutable std::mutex mutex_;
    std::vector<std::string> pageViews_;
};
