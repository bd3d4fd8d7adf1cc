#include "platform/services/PageViewLog.h"

#include <cstdio>

#include "platform/foundation/DataFile.h"

PageViewLog::PageViewLog(std::string dataDirectory, std::function<double()> now)
    : path_(dataDirectory.empty() ? std::string() : dataDirectory + "/" + kFileName), now_(std::move(now)) {}

void PageViewLog::trackPageView(const std::string& path) {
    RecordingAnalytics::trackPageView(path);
    if (path_.empty()) return;
    char time[64];
    std::snprintf(time, sizeof time, "%.3f\t", now_ ? now_() : 0.0);
    DataFile::appendLine(path_, time + path + "\n");
}
