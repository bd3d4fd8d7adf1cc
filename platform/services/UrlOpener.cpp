#include "platform/services/UrlOpener.h"


#include <algorithm>
#include <cctype>

#include "platform/services/Spawn.h"

UrlOpener& UrlOpener::shared() {
    static UrlOpener opener;
    return opener;
}

bool UrlOpener::isAllowedUrl(const std::string& url) {
    const auto colon = url.find(':');
    if (colon == std::string::npos || colon == 0) return false;
    std::string scheme = url.substr(0, colon);
    std::transform(scheme.begin(), scheme.end(), scheme.begin(), [](unsigned char c) { return std::tolower(c); });
    for (char c : url)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) return false;
    if (scheme == "mailto") return url.size() > colon + 1;
    if (scheme == "http" || scheme == "https") return url.compare(colon, 3, "://") == 0 && url.size() > colon + 3;
    return false;
}

bool UrlOpener::openUrl(const std::string& url) {
    if (!isAllowedUrl(url)) return false;
    std::string program;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        opened_.push_back(url);
        if (recordOnly_) return false;
        program = program_;
    }
    return spawnDetached({program, url});
}

void UrlOpener::setRecordOnly(bool recordOnly) {
    std::lock_guard<std::mutex> lock(mutex_);
    recordOnly_ = recordOnly;
}

std::vector<std::string> UrlOpener::openedUrls() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return opened_;
}

void UrlOpener::setOpenerProgram(std::string program) {
    std::lock_guard<std::mutex> lock(mutex_);
    program_ = std::move(program);
}
