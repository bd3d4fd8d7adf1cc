// Localized texts: which language's table is chosen, the per-key fall-back to English, and the
// real tables of the game checked against each other.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <filesystem>
#include <map>
#include <thread>

#include "platform/foundation/PropertyList.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/resources/ResourceBundle.h"
#include "TempFolder.h"

namespace fs = std::filesystem;

namespace {

std::string stringsTable(const Value& entries) {
    const auto bytes = PropertyList::writeXml(entries);
    return std::string(bytes.begin(), bytes.end());
}

// Every test starts from a known environment and no --lang.
class LocalizedStringsTest : public ::testing::Test {
protected:
    void SetUp() override {
        LocalizedStrings::setPreferredLanguages({});
        folder.write("strings/en.lproj/Localizable.strings",
                     stringsTable({{"Title", "Royal Expedition"}, {"OnlyEnglish", "English only"},
                                   {"FormatGold", "%@ gold"}, {"Count", "7"}}));
        folder.write("strings/ja.lproj/Localizable.strings",
                     stringsTable({{"Title", "王様の探検"}, {"FormatGold", "%@ ゴールド"}}));
        folder.write("strings/zh-Hans.lproj/Localizable.strings", stringsTable({{"Title", "国王探险"}}));
    }
    void TearDown() override { LocalizedStrings::setPreferredLanguages({}); }

    TempFolder folder;
    ScopedEnv language{"LANGUAGE", nullptr};
    ScopedEnv lcAll{"LC_ALL", nullptr};
    ScopedEnv lang{"LANG", nullptr};
};

}  // namespace

TEST(LocalizedStringsLocale, LocaleNamesBecomeTableNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"ja_JP.UTF-8", "ja"}, {"ja", "ja"}, {"JA_jp", "ja"}, {"en_US", "en"}, {"de_DE@euro", "de"},
        {"C", "en"}, {"C.UTF-8", "en"}, {"POSIX", "en"}, {"zh_CN.UTF-8", "zh-Hans"}, {"zh", "zh-Hans"},
        {"zh-Hans", "zh-Hans"}, {"zh_SG", "zh-Hans"}, {"zh_TW", "zh-Hant"}, {"zh_Hant_HK", "zh-Hant"},
        {"", ""}, {".UTF-8", ""}};
    for (const auto& [locale, table] : cases) EXPECT_EQ(LocalizedStrings::languageForLocale(locale), table) << locale;
}

TEST_F(LocalizedStringsTest, PreferredLanguagesComeFromLangOptionThenEnvironment) {
    EXPECT_EQ(LocalizedStrings::preferredLanguages(), (std::vector<std::string>{"en"}));
    ::setenv("LANG", "ja_JP.UTF-8", 1);
    EXPECT_EQ(LocalizedStrings::preferredLanguages(), (std::vector<std::string>{"ja"}));
    ::setenv("LC_ALL", "zh_CN.UTF-8", 1);
    EXPECT_EQ(LocalizedStrings::preferredLanguages(), (std::vector<std::string>{"zh-Hans", "ja"}));
    ::setenv("LANGUAGE", "fr:ja_JP::en", 1);
    EXPECT_EQ(LocalizedStrings::preferredLanguages(), (std::vector<std::string>{"fr", "ja", "en", "zh-Hans"}));
    LocalizedStrings::setPreferredLanguages({"zh_TW", "en"});
    EXPECT_EQ(LocalizedStrings::preferredLanguages(), (std::vector<std::string>{"zh-Hant", "en"}));
    LocalizedStrings::setPreferredLanguages({});
    EXPECT_EQ(LocalizedStrings::preferredLanguages().front(), "fr");
}

TEST_F(LocalizedStringsTest, FirstPreferredLanguageWithATableWins) {
    LocalizedStrings strings(folder.str());
    ::setenv("LANG", "ja_JP.UTF-8", 1);
    EXPECT_EQ(strings.currentLanguage(), "ja");
    EXPECT_EQ(strings.localizedString("Title"), "王様の探検");

    // A new --lang chooses again without a reload.
    LocalizedStrings::setPreferredLanguages({"fr", "zh-Hans", "ja"});
    EXPECT_EQ(strings.currentLanguage(), "zh-Hans");
    EXPECT_EQ(strings.localizedString("Title"), "国王探险");
    LocalizedStrings::setPreferredLanguages({"zh_TW"});  // no traditional table: simplified
    EXPECT_EQ(strings.currentLanguage(), "zh-Hans");
    LocalizedStrings::setPreferredLanguages({"fr", "en", "ja"});  // English is listed before Japanese
    EXPECT_EQ(strings.currentLanguage(), "en");
    EXPECT_EQ(strings.localizedString("Title"), "Royal Expedition");
    // Back to the environment, which now says C.
    LocalizedStrings::setPreferredLanguages({});
    ::setenv("LANG", "C", 1);
    EXPECT_EQ(strings.currentLanguage(), "en");
}

TEST_F(LocalizedStringsTest, MissingKeysFallBackToEnglishThenToEmpty) {
    LocalizedStrings::setPreferredLanguages({"ja"});
    LocalizedStrings strings(folder.str());
    EXPECT_EQ(stringWithFormat(strings.localizedString("FormatGold"), {1200}), "1200 ゴールド");
    EXPECT_EQ(strings.localizedString("OnlyEnglish"), "English only");
    EXPECT_EQ(strings.localizedString("NoSuchKey"), "");  // never the raw key
    // The shorthand reads the main bundle.
    ResourceBundle::setRootDirectory(folder.str());
    EXPECT_EQ(NSLocalizedString("Title"), "王様の探検");
    EXPECT_EQ(NSLocalizedString("OnlyEnglish"), "English only");
    ResourceBundle::setRootDirectory("");
}

TEST_F(LocalizedStringsTest, UnreadableTablesArePassedOver) {
    folder.write("strings/ja.lproj/Localizable.strings", "<plist><dict><key>Title</key>");  // cut off
    folder.write("strings/fr.lproj/Localizable.strings",
                 "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><string>x</string></array></plist>");
    LocalizedStrings::setPreferredLanguages({"ja", "fr", "zh-Hans"});
    LocalizedStrings strings(folder.str());
    EXPECT_EQ(strings.currentLanguage(), "zh-Hans");
    EXPECT_EQ(strings.localizedString("OnlyEnglish"), "English only");
    EXPECT_TRUE(strings.keysForLanguage("ja").empty());
    EXPECT_EQ(strings.keysForLanguage("en"), (std::vector<std::string>{"Count", "FormatGold", "OnlyEnglish", "Title"}));
}

TEST_F(LocalizedStringsTest, WithoutAnyTableEveryTextIsEmpty) {
    TempFolder bare;
    LocalizedStrings::setPreferredLanguages({"ja"});
    LocalizedStrings strings(bare.str());
    EXPECT_EQ(strings.currentLanguage(), "en");
    EXPECT_EQ(strings.localizedString("Title"), "");

    // Tables that appear later are read after a reload.
    fs::copy(folder.path() / "strings", bare.path() / "strings", fs::copy_options::recursive);
    EXPECT_EQ(strings.localizedString("Title"), "");
    strings.reload();
    EXPECT_EQ(strings.localizedString("Title"), "王様の探検");
}

TEST_F(LocalizedStringsTest, ConcurrentLookupsWhileTheLanguageChanges) {
    LocalizedStrings strings(folder.str());
    std::atomic<bool> stop{false};
    std::atomic<int> wrong{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t)
        readers.emplace_back([&] {
            while (!stop.load()) {
                std::string title = strings.localizedString("Title");
                if (title != "王様の探検" && title != "Royal Expedition" && title != "国王探险") ++wrong;
                if (strings.localizedString("OnlyEnglish") != "English only") ++wrong;
            }
        });
    const std::vector<std::vector<std::string>> choices{{"ja"}, {"en"}, {"zh-Hans"}};
    for (int i = 0; i < 300; ++i) {
        LocalizedStrings::setPreferredLanguages(choices[static_cast<size_t>(i) % choices.size()]);
        if (i % 50 == 0) strings.reload();
    }
    stop = true;
    for (auto& r : readers) r.join();
    EXPECT_EQ(wrong.load(), 0);
}

// ---- The game's own tables

namespace {

// The conversions of a format text by argument, e.g. "%2$@ ... %1$d" -> {1: 'd', 2: '@'}.
std::map<int, char> conversionsOf(const std::string& text) {
    std::map<int, char> found;
    int next = 1;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        size_t j = i + 1;
        int position = 0;
        size_t k = j;
        while (k < text.size() && isdigit(static_cast<unsigned char>(text[k]))) ++k;
        if (k > j && k < text.size() && text[k] == '$') {
            position = std::stoi(text.substr(j, k - j));
            j = k + 1;
        }
        while (j < text.size() && std::string("-+ #0123456789.lhqzjt").find(text[j]) != std::string::npos) ++j;
        if (j >= text.size()) break;
        if (text[j] != '%') found[position ? position : next++] = text[j];
        i = j;
    }
    return found;
}

}  // namespace

TEST(LocalizedStringsTables, EveryEnglishKeyIsTranslatedWithTheSameConversions) {
    const std::string root = RE_TEST_RESOURCE_DIR;
    if (!fs::exists(fs::path(root) / "strings" / "en.lproj" / "Localizable.strings"))
        GTEST_SKIP() << "no string tables below " << root;
    LocalizedStrings strings(root);
    const auto english = strings.keysForLanguage("en");
    ASSERT_FALSE(english.empty());
    LocalizedStrings::setPreferredLanguages({"en"});
    std::map<std::string, std::string> englishTexts;
    for (const auto& key : english) englishTexts[key] = strings.localizedString(key);

    for (const std::string language : {"ja", "zh-Hans"}) {
        const auto keys = strings.keysForLanguage(language);
        ASSERT_FALSE(keys.empty()) << language;
        LocalizedStrings::setPreferredLanguages({language});
        ASSERT_EQ(strings.currentLanguage(), language);
        for (const auto& key : english) {
            EXPECT_TRUE(std::binary_search(keys.begin(), keys.end(), key)) << key << " missing in " << language;
            // A translation fills the same arguments with the same kinds of conversion.
            EXPECT_EQ(conversionsOf(strings.localizedString(key)), conversionsOf(englishTexts[key]))
                << key << " in " << language << ": " << strings.localizedString(key);
        }
        for (const auto& key : keys)
            EXPECT_TRUE(englishTexts.count(key)) << key << " of " << language << " has no English text";
    }
    LocalizedStrings::setPreferredLanguages({});
}
