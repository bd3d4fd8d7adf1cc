// Localized texts: which language's table is chosen and the per-key fall-back to English.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "TempFolder.h"
#include "platform/foundation/PropertyList.h"
#include "platform/resources/LocalizedStrings.h"

// Every test starts from a known environment, no --lang, and three tables.
class LocalizedStringsTest : public ::testing::Test {
protected:
    void SetUp() override {
        LocalizedStrings::setPreferredLanguages({});
        for (const auto& [language, entries] : {std::pair{"en", Value{{"Title", "Royal Expedition"}, {"OnlyEnglish", "English only"}}},
                                                {"ja", Value{{"Title", "王様の探検"}}}, {"zh-Hans", Value{{"Title", "国王探险"}}}}) {
            const std::vector<uint8_t> xml = PropertyList::writeXml(entries);
            folder.write(std::string("strings/") + language + ".lproj/Localizable.strings", std::string(xml.begin(), xml.end()));
        }
    }
    void TearDown() override { LocalizedStrings::setPreferredLanguages({}); }

    TempFolder folder;
    ScopedEnv language{"LANGUAGE", nullptr}, lcAll{"LC_ALL", nullptr}, lang{"LANG", nullptr};
};

TEST(LocalizedStringsLocale, LocaleNamesBecomeTableNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"ja_JP.UTF-8", "ja"}, {"JA_jp", "ja"}, {"de_DE@euro", "de"}, {"C", "en"}, {"C.UTF-8", "en"}, {"POSIX", "en"}, {".UTF-8", ""},
        {"zh_CN.UTF-8", "zh-Hans"}, {"zh", "zh-Hans"}, {"zh-Hans", "zh-Hans"}, {"zh_SG", "zh-Hans"}, {"zh_TW", "zh-Hant"},
        {"zh_Hant_HK", "zh-Hant"}};
    for (const auto& [locale, table] : cases) EXPECT_EQ(LocalizedStrings::languageForLocale(locale), table) << locale;
}

TEST_F(LocalizedStringsTest, PreferredLanguagesComeFromLangOptionThenEnvironment) {
    EXPECT_EQ(LocalizedStrings::preferredLanguages(), (std::vector<std::string>{"en"}));
    ::setenv("LANG", "ja_JP.UTF-8", 1);
    ::setenv("LC_ALL", "zh_CN.UTF-8", 1);
    EXPECT_EQ(LocalizedStrings::preferredLanguages(), (std::vector<std::string>{"zh-Hans", "ja"}));
    ::setenv("LANGUAGE", "fr:ja_JP::en", 1);
    EXPECT_EQ(LocalizedStrings::preferredLanguages(), (std::vector<std::string>{"fr", "ja", "en", "zh-Hans"}));
    LocalizedStrings::setPreferredLanguages({"zh_TW", "en"});
    EXPECT_EQ(LocalizedStrings::preferredLanguages(), (std::vector<std::string>{"zh-Hant", "en"}));
}

TEST_F(LocalizedStringsTest, FirstPreferredLanguageWithATableWinsAndMissingKeysFallBackToEnglish) {
    LocalizedStrings strings(folder.str());
    ::setenv("LANG", "ja_JP.UTF-8", 1);
    EXPECT_EQ(strings.localizedString("Title"), "王様の探検");
    EXPECT_EQ(strings.localizedString("OnlyEnglish"), "English only");
    EXPECT_EQ(strings.localizedString("NoSuchKey"), "");  // never the raw key
    LocalizedStrings::setPreferredLanguages({"fr", "zh_TW", "ja"});  // chosen again without a reload; no traditional table: simplified
    EXPECT_EQ(strings.localizedString("Title"), "国王探险");
    LocalizedStrings::setPreferredLanguages({"fr", "en", "ja"});
    EXPECT_EQ(strings.currentLanguage(), "en");
}

TEST_F(LocalizedStringsTest, UnreadableOrMissingTablesArePassedOver) {
    folder.write("strings/ja.lproj/Localizable.strings", "<plist><dict><key>Title</key>");  // cut off
    folder.write("strings/fr.lproj/Localizable.strings", "<?xml version=\"1.0\"?><plist><array><string>x</string></array></plist>");
    LocalizedStrings::setPreferredLanguages({"ja", "fr", "zh-Hans"});
    LocalizedStrings strings(folder.str());
    EXPECT_EQ(strings.currentLanguage(), "zh-Hans");
    EXPECT_EQ(strings.localizedString("OnlyEnglish"), "English only");
    EXPECT_TRUE(strings.keysForLanguage("ja").empty());
    EXPECT_EQ(strings.keysForLanguage("en"), (std::vector<std::string>{"OnlyEnglish", "Title"}));

    TempFolder bare;
    LocalizedStrings none(bare.str());
    EXPECT_EQ(none.currentLanguage() + none.localizedString("Title"), "en");
}

TEST_F(LocalizedStringsTest, ConcurrentLookupsWhileTheLanguageChanges) {
    LocalizedStrings strings(folder.str());
    std::atomic<bool> stop{false};
    std::atomic<int> wrong{0};
    std::vector<std::thread> readers;
    for (int t = 0; t < 3; ++t)
        readers.emplace_back([&] {
            while (!stop) {
                const std::string title = strings.localizedString("Title"), english = strings.localizedString("OnlyEnglish");
                wrong += (title != "王様の探検" && title != "Royal Expedition" && title != "国王探险") || english != "English only";
            }
        });
    for (int i = 0; i < 300; ++i) {
        LocalizedStrings::setPreferredLanguages({std::vector<std::string>{"ja", "en", "zh-Hans"}[size_t(i) % 3]});
        if (i % 50 == 0) strings.reload();
    }
    stop = true;
    for (auto& reader : readers) reader.join();
    EXPECT_EQ(wrong.load(), 0);
}
