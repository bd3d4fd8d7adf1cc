#include "platform/resources/LocalizedStrings.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <optional>

#include "platform/foundation/PropertyList.h"
#include "platform/resources/ResourceBundle.h"

namespace {

std::mutex languagesMutex;
std::vector<std::string> languagesOverride;  // the --lang option
std::atomic<unsigned> languagesGeneration{1};

std::string lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

void addLanguage(std::vector<std::string>& list, const std::string& language) {
    if (language.empty()) return;
    if (std::find(list.begin(), list.end(), language) == list.end()) list.push_back(language);
}

}  // namespace

std::string LocalizedStrings::languageForLocale(const std::string& locale) {
    // "ja_JP.UTF-8@euro": the encoding and the modifier say nothing of the language.
    std::string name = locale.substr(0, locale.find_first_of(".@"));
    if (name.empty()) return "";
    // A language is a code, never a path: "../x" or "/abs" names no table.
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_' && c != '-') return "";
    if (name == "C" || name == "POSIX") return "en";
    std::replace(name.begin(), name.end(), '_', '-');
    size_t dash = name.find('-');
    std::string language = lower(name.substr(0, dash));
    std::string rest = dash == std::string::npos ? "" : lower(name.substr(dash + 1));
    if (language.empty()) return "";
    if (language == "zh") {
        bool traditional = rest == "hant" || rest.rfind("hant-", 0) == 0 || rest == "tw" || rest == "hk" || rest == "mo";
        return traditional ? "zh-Hant" : "zh-Hans";
    }
    return language;
}

std::vector<std::string> LocalizedStrings::preferredLanguages() {
    std::vector<std::string> languages;
    {
        std::lock_guard lock(languagesMutex);
        for (const auto& l : languagesOverride) addLanguage(languages, languageForLocale(l));
    }
    if (languages.empty()) {
        if (const char* list = std::getenv("LANGUAGE")) {
            std::string s = list;
            for (size_t start = 0; start <= s.size();) {
                size_t colon = s.find(':', start);
                if (colon == std::string::npos) colon = s.size();
                addLanguage(languages, languageForLocale(s.substr(start, colon - start)));
                start = colon + 1;
            }
        }
        for (const char* variable : {"LC_ALL", "LANG"})
            if (const char* value = std::getenv(variable)) addLanguage(languages, languageForLocale(value));
    }
    if (languages.empty()) languages.push_back("en");
    return languages;
}

void LocalizedStrings::setPreferredLanguages(std::vector<std::string> languages) {
    {
        std::lock_guard lock(languagesMutex);
        languagesOverride = std::move(languages);
    }
    languagesGeneration.fetch_add(1);
}

LocalizedStrings& LocalizedStrings::shared() {
    static LocalizedStrings strings;
    return strings;
}

LocalizedStrings::LocalizedStrings(std::string bundleRoot) : bundleRoot_(std::move(bundleRoot)) {}

std::string LocalizedStrings::tablePath(const std::string& language) const {
    std::string root = bundleRoot_.empty() ? ResourceBundle::mainBundle().rootDirectory() : bundleRoot_;
    if (root.empty() || language.empty()) return "";
    return (std::filesystem::path(root) / "strings" / (language + ".lproj") / "Localizable.strings").string();
}

bool LocalizedStrings::hasLanguage(const std::string& language) const {
    std::string path = tablePath(languageForLocale(language));
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

Value LocalizedStrings::readTable(const std::string& language) const {
    std::string path = tablePath(language);
    std::error_code ec;
    if (path.empty() || !std::filesystem::is_regular_file(path, ec)) return Value();
    std::optional<Value> table = PropertyList::readFile(path, nullptr, Value::Type::Dictionary);
    if (!table || !table->isDictionary()) return Value();
    return *table;
}

void LocalizedStrings::loadLocked() {
    // A new --lang or a moved main bundle chooses the table again.
    unsigned generation = languagesGeneration.load();
    std::string root = bundleRoot_.empty() ? ResourceBundle::mainBundle().rootDirectory() : bundleRoot_;
    if (loaded_ && languagesSeen_ == generation && rootSeen_ == root) return;
    loaded_ = true;
    languagesSeen_ = generation;
    rootSeen_ = root;
    english_ = readTable("en");
    language_ = "en";
    table_ = english_;
    for (const auto& preferred : preferredLanguages()) {
        std::vector<std::string> candidates{preferred};
        if (preferred == "zh-Hant") candidates.push_back("zh-Hans");  // better than English
        for (const auto& language : candidates) {
            if (language == "en") {
                if (english_.isDictionary()) return;
                continue;
            }
            Value table = readTable(language);
            if (table.isDictionary()) {
                language_ = language;
                table_ = std::move(table);
                return;
            }
        }
    }
}

std::string LocalizedStrings::localizedString(const std::string& key) {
    std::lock_guard lock(mutex_);
    loadLocked();
    const Value& text = table_[key];
    if (text.isString()) return text.stringValue();
    const Value& english = english_[key];
    if (english.isString()) return english.stringValue();
    return "";
}

std::string LocalizedStrings::currentLanguage() {
    std::lock_guard lock(mutex_);
    loadLocked();
    return language_;
}

std::vector<std::string> LocalizedStrings::keysForLanguage(const std::string& language) {
    std::lock_guard lock(mutex_);
    Value table = readTable(language);
    std::vector<std::string> keys;
    for (const auto& [key, value] : table.dictionaryValue()) keys.push_back(key);
    return keys;
}

void LocalizedStrings::reload() {
    std::lock_guard lock(mutex_);
    loaded_ = false;
}

std::string NSLocalizedString(const std::string& key) { return LocalizedStrings::shared().localizedString(key); }
