#pragma once
// Usage analytics kept on this machine: every page view is appended to "pageviews.log" in the
// data directory as "<seconds since 1970>\t<path>" and also kept in memory for this run. Nothing
// is sent anywhere.
#include <functional>
#include <string>

#include "platform/services/Analytics.h"

class PageViewLog : public RecordingAnalytics {
public:
    static constexpr const char* kFileName = "pageviews.log";
    // now: the wall clock the times are taken from.
    PageViewLog(std::string dataDirectory, std::function<double()> now);
    void trackPageView(const std::string& path) override;
    const std::string& filePath() const { return path_; }

private:
    std::string path_;
    std::function<double()> now_;
};
