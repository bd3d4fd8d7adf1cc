#include "gamelink/GameLinkCommon.h"

#include <cctype>

#include "platform/net/GameIndexAddress.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/resources/ProductSettings.h"
#include "platform/services/Analytics.h"
#include "platform/services/UrlOpener.h"

namespace {
void recordPage(const std::string& name) {
    if (auto analytics = Analytics::shared()) analytics->trackPageView("/" + name);
}

std::string textOf(const Value& d, const char* key) {
    const Value& v = d[key];
    return v.isString() ? v.stringValue() : std::string();
}
}  // namespace

std::string GameLinkCommon::localizedStringWithDictionary(const Value& d) {
    return localizedStringWithDictionary(d, LocalizedStrings::preferredLanguages().front());
}

std::string GameLinkCommon::localizedStringWithDictionary(const Value& d, const std::string& language) {
    if (language == "zh" || language == "zh-Hans" || language == "zh-Hant") {
        std::string cn = textOf(d, "cn");
        if (!cn.empty()) return cn;
    } else if (language == "ja") {
        std::string ja = textOf(d, "ja");
        if (!ja.empty()) return ja;
    }
    return textOf(d, "en");
}

std::vector<Value> GameLinkCommon::gamesFromIndex(const Value& parsed, const std::string& thisAppId) {
    std::vector<Value> games;
    if (!parsed.isArray()) return games;
    for (const Value& element : parsed.arrayValue()) {
        if (!element.isDictionary()) continue;
        if (element["id"].isString() && element["id"].stringValue() == thisAppId) continue;
        games.push_back(element);
    }
    return games;
}

bool GameLinkCommon::isValidScheme(const std::string& scheme) { return UrlOpener::isValidScheme(scheme); }

bool GameLinkCommon::isValidAppId(const std::string& appId) {
    if (appId.empty() || appId.size() > 128 || appId == "." || appId == "..") return false;
    for (char c : appId) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x80 || !(std::isalnum(u) || c == '.' || c == '-')) return false;
    }
    // No "..": an id also names a file below the list's folder.
    return appId.find("..") == std::string::npos;
}

std::string GameLinkCommon::iconAddressForAppId(const std::string& base, const std::string& appId) {
    if (!isValidAppId(appId) || base.empty()) return "";
    return GameIndexAddress::iconAddress(base, appId);
}

GameLinkCommon::Outcome GameLinkCommon::processUserInteractionWithScheme(const std::string& scheme, const std::string& appId) {
    UrlOpener& opener = UrlOpener::shared();
    if (isValidScheme(scheme)) {
        recordPage("INSTALLED_APP_" + scheme);
        if (opener.canOpenScheme(scheme)) {
            opener.openScheme(scheme);
            return Outcome::startedApp;
        }
    }
    if (isValidAppId(appId)) {
        const std::string page = ProductSettings::shared().storePageAddressForId(appId);
        if (page.empty()) return Outcome::nothing;
        recordPage("APPSTORE_" + appId);
        opener.openUrl(page);
        return Outcome::openedStore;
    }
    return Outcome::nothing;
}

std::string GameLinkCommon::thisAppId() { return ProductSettings::shared().storeId; }
