#pragma once
// Opens an address in the desktop's browser or mail program through xdg-open, started with an
// argument list (never through a shell), and only for http, https and mailto addresses. Where
// there is no opener the address is dropped quietly. Headless runs record instead of opening.
#include <mutex>
#include <string>
#include <vector>

class UrlOpener {
public:
    static UrlOpener& shared();
    // The scheme is one the game may hand out (http, https, mailto; any letter case).
    static bool isAllowedUrl(const std::string& url);
    // True when the opener was started.
    bool openUrl(const std::string& url);
    // Headless: addresses are only recorded.
    void setRecordOnly(bool recordOnly);
    std::vector<std::string> openedUrls() const;
    // The program started (tests point it at a stand-in).
    void setOpenerProgram(std::string program);

private:
    mutable std::mutex mutex_;
    bool recordOnly_ = false;
    std::string program_ = "xdg-open";
    std::vector<std::string> opened_;
};
