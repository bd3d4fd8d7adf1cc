#include "platform/services/PageViewLog.h"

#include <cstdio>

PageViewLog::PageViewLog(std::string dataDirectory, std::function<double()> now)
    : path_(dataDirectory.empty() ? std::string() : dataDirectory + "/" + kFileName), now_(std::move(now)) {}

void PageViewLog::trackPageView(const std::string& path) {
    RecordingAnalytics::trackPageView(path);
    if (path_.empty()) return;
    if (std::FILE* f = std::fopen(path_.c_str(), "a")) {
        std::fprintf(f, "%.3f\t%s\n", now_ ? now_() : 0.0, path.c_str());
        std::fclose(f);
    }
}
