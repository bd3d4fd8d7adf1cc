// The game list's index as a server sends it: any bytes are parsed as the HTTP client parses them,
// then the list picks its games and builds names and addresses as it shows them. Nothing crashes,
// and no address is built from a field that fails its check.
#include <cstdint>
#include <string>

#include "gamelink/GameLinkCommon.h"
#include "platform/net/HttpClient.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    Value parsed;
    HttpError error;
    if (!HttpClient::parseJson(text, &parsed, &error)) {
        if (error.message.empty()) __builtin_trap();  // a refusal always says why
        return 0;
    }
    for (const Value& game : GameLinkCommon::gamesFromIndex(parsed, "royal-expedition")) {
        if (!game.isDictionary() || game["id"].stringValue() == "royal-expedition") __builtin_trap();
        for (const char* language : {"en", "ja", "zh-Hans", "fr"}) (void)GameLinkCommon::localizedStringWithDictionary(game["fullname"], language);
        const std::string id = game["id"].isString() ? game["id"].stringValue() : std::string();
        const std::string icon = GameLinkCommon::iconAddressForAppId("https://example.com/list/", id);
        if (!icon.empty() && (!GameLinkCommon::isValidAppId(id) || icon.find("..") != std::string::npos)) __builtin_trap();
        (void)GameLinkCommon::isValidScheme(game["scheme"].isString() ? game["scheme"].stringValue() : std::string());
    }
    return 0;
}
