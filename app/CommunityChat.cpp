#include "app/CommunityChat.h"

#include "platform/services/UrlOpener.h"

CommunityChat& CommunityChat::shared() {
    static CommunityChat chat;
    return chat;
}

void CommunityChat::setUp(const std::string& clientId, const std::string& accountBase) {
    clientId_ = clientId;
    accountBase_ = accountBase;
}

bool CommunityChat::handleOpenURL(const std::string& url, const std::string& clientId) {
    if (clientId.empty() || clientId != clientId_) return false;
    const std::string prefix = clientId + "://";
    if (url.compare(0, prefix.size(), prefix) != 0) return false;
    open();
    return true;
}

void CommunityChat::open() { UrlOpener::shared().openUrl(kPageAddress); }

void CommunityChat::openGroup(const std::string& group, const std::string& title) {
    lastTitle_ = title;
    UrlOpener::shared().openUrl(std::string(kPageAddress) + "/" + group);
}
