#pragma once
// Localized text: looked up by key in the main string table of the player's language
// ("<bundle>/strings/<lang>.lproj/Localizable.strings", a property list whose root dictionary
// maps keys to texts), in English when the key is missing there, and an empty text when no
// table has it. Never the raw key. Thread-safe.
#include <mutex>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"
#include "platform/resources/Format.h"

class LocalizedStrings {
public:
    // The tables of the main bundle.
    static LocalizedStrings& shared();

    // The tables below another bundle folder (tests, tools); "" means the main bundle's folder.
    explicit LocalizedStrings(std::string bundleRoot = "");
    LocalizedStrings(const LocalizedStrings&) = delete;
    LocalizedStrings& operator=(const LocalizedStrings&) = delete;

    // The device's preferred languages, best first ("ja", "en", "zh-Hans"): those set by --lang,
    // else the environment (LANGUAGE as a colon list, then LC_ALL, then LANG). Locale names are
    // turned into table names: "ja_JP.UTF-8" is "ja", "zh_CN" and "zh" are "zh-Hans", "zh_TW"
    // is "zh-Hant" (which falls back to "zh-Hans"), "C" and "POSIX" are "en". Never empty.
    static std::vector<std::string> preferredLanguages();
    // Sets the languages (the --lang option; locale names are accepted too). An empty list goes
    // back to the environment. Every LocalizedStrings chooses its table again on its next lookup.
    static void setPreferredLanguages(std::vector<std::string> languages);
    // The table name of one locale or language name ("ja_JP.UTF-8" -> "ja"); "" when empty.
    static std::string languageForLocale(const std::string& locale);

    std::string localizedString(const std::string& key);
    // The language whose table is used ("en", "ja" or "zh-Hans"), the first preferred language
    // that has a table; "en" when none has.
    std::string currentLanguage();
    // A table exists for this code (a locale name is turned into its language first).
    bool hasLanguage(const std::string& language) const;
    // Every key of a language's table, sorted; empty when it has no table.
    std::vector<std::string> keysForLanguage(const std::string& language);
    // Reads the tables again on the next lookup.
    void reload();

private:
    void loadLocked();
    std::string tablePath(const std::string& language) const;
    Value readTable(const std::string& language) const;

    std::mutex mutex_;
    std::string bundleRoot_;
    bool loaded_ = false;
    unsigned languagesSeen_ = 0;
    std::string rootSeen_;
    std::string language_;
    Value table_;
    Value english_;
};

// Shorthand for the lookups that fill the game's texts.
std::string NSLocalizedString(const std::string& key);
