#pragma once
// Localized text: looked up by key in the main string table of the player's language
// ("<lang>.lproj/Localizable.strings" below the bundle), English when the key is missing there,
// and an empty text when no table has it. Never the raw key.
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

class LocalizedStrings {
public:
    static LocalizedStrings& shared();

    // The device's preferred languages, best first ("ja", "en", "zh-Hans"), from --lang or the
    // environment (LANGUAGE, LC_ALL, LANG).
    static std::vector<std::string> preferredLanguages();
    static void setPreferredLanguages(std::vector<std::string> languages);

    std::string localizedString(const std::string& key);
    // The language whose table is used ("en", "ja" or "zh-Hans").
    std::string currentLanguage();
    void reload();

private:
    void load();
    std::mutex mutex_;
    bool loaded_ = false;
    std::string language_;
    Value table_;
    Value english_;
};

// Shorthand for the lookups that fill the game's texts.
std::string NSLocalizedString(const std::string& key);

// printf-style formats as the game's texts use them: %@ (any value as text), %d %i %u %ld %lu
// %f %e %g %x %c %s, width and precision (%1.2f, %08d), %% and positional arguments (%2$@).
// A bad format or a missing argument never crashes: what cannot be formatted is left out.
std::string stringWithFormat(const std::string& format, const std::vector<Value>& args);
