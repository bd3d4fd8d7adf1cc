#pragma once
// The community chat: a window on the game's community page, opened in the browser. It answers
// the addresses that belong to it (the game's own scheme) and nothing else.
#include <string>

class CommunityChat {
public:
    static constexpr const char* kClientId = "royalexpedition";
    static constexpr const char* kAccountBase = "royal-expedition";
    static constexpr const char* kPageAddress = "https://example.invalid/royal-expedition/community";

    static CommunityChat& shared();
    void setUp(const std::string& clientId, const std::string& accountBase);
    // True when the address is the chat's own ("<client id>://..."); the chat page then opens.
    bool handleOpenURL(const std::string& url, const std::string& clientId);
    // Opens the chat page in the browser.
    void open();
    // Opens one chat group's page ("<page>/<group>"); the title names the window where there is one.
    void openGroup(const std::string& group, const std::string& title);
    const std::string& lastTitle() const { return lastTitle_; }
    bool isSetUp() const { return !clientId_.empty(); }

private:
    std::string clientId_;
    std::string accountBase_;
    std::string lastTitle_;
};
