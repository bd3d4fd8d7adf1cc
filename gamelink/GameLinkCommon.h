#pragma once
// The game list's shared rules, class operations only: which name to show in the player's
// language, which games of the index are listed, the checks every field from the index passes
// before an address is made of it, and starting a listed game or opening its store page.
// The index comes from a server that may be hostile: nothing it holds reaches a shell, and an
// "id" or "scheme" that fails its check builds no address at all.
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

class GameLinkCommon {
public:
    GameLinkCommon() = delete;

    // The text of `d` (texts keyed "en", "ja", "cn") for the device's first preferred language.
    static std::string localizedStringWithDictionary(const Value& d);
    // The same for a given language: "zh", "zh-Hans" and "zh-Hant" read a non-empty "cn";
    // "ja" reads a non-empty "ja"; everything else, and every empty choice, reads "en".
    static std::string localizedStringWithDictionary(const Value& d, const std::string& language);

    // The games the list shows: every element of the parsed index that is an object and whose
    // "id" is not `thisAppId`, in order. Anything but an array gives none.
    static std::vector<Value> gamesFromIndex(const Value& parsed, const std::string& thisAppId);

    // Letters, digits, "+", "-" and "." starting with a letter (and not a web or file scheme).
    static bool isValidScheme(const std::string& scheme);
    // Letters, digits, "." and "-", 1 to 128 characters, not "." or ".." alone.
    static bool isValidAppId(const std::string& appId);
    // The icon's address under the list's base address; "" for an id that fails its check.
    static std::string iconAddressForAppId(const std::string& base, const std::string& appId);

    // Start or store: with a valid scheme, reports "/INSTALLED_APP_<scheme>" and starts the game
    // when the desktop has a handler for the scheme; otherwise, with a valid id, reports
    // "/APPSTORE_<id>" and opens the store page (ProductSettings). Fields that fail their check
    // count as empty. Returns what was done.
    enum class Outcome { nothing, startedApp, openedStore };
    static Outcome processUserInteractionWithScheme(const std::string& scheme, const std::string& appId);

    // This game's own store identifier (a product setting).
    static std::string thisAppId();
};
