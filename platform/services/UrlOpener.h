#pragma once
// Opens an address in the desktop's browser or mail program through xdg-open, started with an
// argument list (never through a shell), and only for http, https and mailto addresses. Where
// there is no opener the address is dropped quietly. Headless runs record instead of opening.
#include <mutex>
#include <optional>
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
    bool isRecordOnly() const;
    std::vector<std::string> openedUrls() const;
    // The program started (tests point it at a stand-in; "" means there is none).
    void setOpenerProgram(std::string program);
    // Addresses can be opened: there is an opener program (headless: recording counts).
    bool isAvailable() const;

    // ---- Other games, started by their address scheme ("<scheme>://")
    // Letters, digits, "+", "-" and "." starting with a letter, at most 64 characters, and not a
    // scheme of the web or the file system (http, https, file, ...).
    static bool isValidScheme(const std::string& scheme);
    // The desktop has a handler for the scheme (xdg-mime query default x-scheme-handler/<s>,
    // started with an argument list). Headless runs and tests answer from the list set below.
    bool canOpenScheme(const std::string& scheme);
    // Starts "<scheme>://" through the opener; false when the scheme is not valid or not opened.
    bool openScheme(const std::string& scheme);
    // The schemes that count as installed instead of asking the desktop (nothing: ask it).
    void setInstalledSchemes(std::optional<std::vector<std::string>> schemes);

private:
    // Records the address and starts the opener with it (the caller has checked it).
    bool openChecked(const std::string& url);
    mutable std::mutex mutex_;
    bool recordOnly_ = false;
    std::string program_ = "xdg-open";
    std::optional<std::vector<std::string>> installedSchemes_;
    std::vector<std::string> opened_;
};
