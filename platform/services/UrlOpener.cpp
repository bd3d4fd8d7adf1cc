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

bool UrlOpener::openUrl(const std::string& url) { return isAllowedUrl(url) && openChecked(url); }

bool UrlOpener::openChecked(const std::string& url) {
    std::string program;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        opened_.push_back(url);
        if (recordOnly_ || program_.empty()) return false;
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

bool UrlOpener::isAvailable() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return !program_.empty() && (recordOnly_ || programOnPath(program_));
}

bool UrlOpener::isValidScheme(const std::string& scheme) {
    if (scheme.empty() || scheme.size() > 64 || !std::isalpha(static_cast<unsigned char>(scheme[0]))) return false;
    for (char c : scheme) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x80 || !(std::isalnum(u) || c == '+' || c == '-' || c == '.')) return false;
    }
    std::string lowered = scheme;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const char* web : {"http", "https", "file", "ftp", "ftps", "sftp", "smb", "ssh", "data", "javascript", "mailto", "about"})
        if (lowered == web) return false;
    return true;
}

bool UrlOpener::canOpenScheme(const std::string& scheme) {
    if (!isValidScheme(scheme)) return false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (installedSchemes_) return std::find(installedSchemes_->begin(), installedSchemes_->end(), scheme) != installedSchemes_->end();
        if (recordOnly_) return false;
    }
    std::string handler;
    if (!runAndCapture({"xdg-mime", "query", "default", "x-scheme-handler/" + scheme}, &handler)) return false;
    return handler.find_first_not_of(" \t\r\n") != std::string::npos;
}

bool UrlOpener::openScheme(const std::string& scheme) {
    return isValidScheme(scheme) && openChecked(scheme + "://");
}

void UrlOpener::setInstalledSchemes(std::optional<std::vector<std::string>> schemes) {
    std::lock_guard<std::mutex> lock(mutex_);
    installedSchemes_ = std::move(schemes);
}

bool UrlOpener::isRecordOnly() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return recordOnly_;
}
