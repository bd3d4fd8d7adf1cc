// The game list's rules: the name in the player's language, the checks on "scheme" and "id",
// start-or-store through the address opener, and where the list's address comes from.
#include <gtest/gtest.h>

#include "gamelink/GameLinkCommon.h"
#include "platform/TempFolder.h"
#include "platform/net/GameIndexAddress.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/services/Analytics.h"
#include "platform/services/UrlOpener.h"
#include "platform/store/PlayerSettings.h"

namespace {

Value names(const char* en, const char* ja, const char* cn) {
    Value::Dictionary d;
    if (en) d["en"] = en;
    if (ja) d["ja"] = ja;
    if (cn) d["cn"] = cn;
    return Value(d);
}

TEST(GameLinkCommonTest, ChineseReadsCnThenEnglishAndJapaneseReadsJaThenEnglish) {
    const Value all = names("Slime Ranch", "スライム牧場", "史莱姆牧场");
    for (const char* zh : {"zh", "zh-Hans", "zh-Hant"}) EXPECT_EQ(GameLinkCommon::localizedStringWithDictionary(all, zh), "史莱姆牧场");
    EXPECT_EQ(GameLinkCommon::localizedStringWithDictionary(all, "ja"), "スライム牧場");
    EXPECT_EQ(GameLinkCommon::localizedStringWithDictionary(all, "fr"), "Slime Ranch");
    EXPECT_EQ(GameLinkCommon::localizedStringWithDictionary(names("Slime Ranch", "スライム牧場", ""), "zh-Hant"), "Slime Ranch")
        << "an empty cn falls back to en, not to ja";
    EXPECT_EQ(GameLinkCommon::localizedStringWithDictionary(names("Slime Ranch", nullptr, "史莱姆牧场"), "ja"), "Slime Ranch");
    EXPECT_EQ(GameLinkCommon::localizedStringWithDictionary(Value("not a dictionary"), "en"), "");

    LocalizedStrings::setPreferredLanguages({"zh_TW"});
    EXPECT_EQ(GameLinkCommon::localizedStringWithDictionary(all), "史莱姆牧场") << "the device's first language decides";
    LocalizedStrings::setPreferredLanguages({});
}

TEST(GameLinkCommonTest, SchemesAndIdsFromTheIndexAreCheckedBeforeAnyAddressIsBuilt) {
    for (const char* good : {"moonkettle-slimeranch", "a", "x+y.z-1"}) EXPECT_TRUE(GameLinkCommon::isValidScheme(good)) << good;
    for (const char* bad : {"", "1abc", "x; rm -rf ~", "a b", "a/b", "a:b", "$(id)", "http", "FILE", "javascript", "ä"})
        EXPECT_FALSE(GameLinkCommon::isValidScheme(bad)) << bad;
    for (const char* good : {"moonkettle-slime-ranch", "123456789", "jp.example.app"}) EXPECT_TRUE(GameLinkCommon::isValidAppId(good)) << good;
    for (const char* bad : {"", ".", "..", "../etc", "a/b", "a..b", "a b", "a%2e", "a\nb", "a;b"})
        EXPECT_FALSE(GameLinkCommon::isValidAppId(bad)) << bad;
    EXPECT_EQ(GameLinkCommon::iconAddressForAppId("https://x.example/list/", "moonkettle-slime-ranch"),
              "https://x.example/list/icon_ios/moonkettle-slime-ranch.png");
}

class StartOrStoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResourceBundle::setRootDirectory(RE_TEST_RESOURCE_DIR);
        analytics = std::make_shared<RecordingAnalytics>();
        Analytics::setShared(analytics);
        UrlOpener::shared().setRecordOnly(true);
        UrlOpener::shared().setInstalledSchemes(std::vector<std::string>{"moonkettle-slimeranch"});
        before = UrlOpener::shared().openedUrls().size();
    }
    void TearDown() override {
        UrlOpener::shared().setInstalledSchemes(std::nullopt);
        Analytics::setShared(nullptr);
    }
    std::vector<std::string> opened() const {
        auto all = UrlOpener::shared().openedUrls();
        return {all.begin() + static_cast<long>(before), all.end()};
    }
    std::shared_ptr<RecordingAnalytics> analytics;
    size_t before = 0;
};

TEST_F(StartOrStoreTest, AnInstalledGameStartsAndAnyOtherOpensItsStorePage) {
    using O = GameLinkCommon::Outcome;
    EXPECT_EQ(GameLinkCommon::processUserInteractionWithScheme("moonkettle-slimeranch", "moonkettle-slime-ranch"), O::startedApp);
    EXPECT_EQ(GameLinkCommon::processUserInteractionWithScheme("moonkettle-lighthouse", "moonkettle-lighthouse-keeper"), O::openedStore);
    EXPECT_EQ(GameLinkCommon::processUserInteractionWithScheme("", "moonkettle-dragon-bakery"), O::openedStore);
    EXPECT_EQ(GameLinkCommon::processUserInteractionWithScheme("", ""), O::nothing);
    EXPECT_EQ(opened(), (std::vector<std::string>{"moonkettle-slimeranch://", "https://example.com/store/apps/moonkettle-lighthouse-keeper",
                                                  "https://example.com/store/apps/moonkettle-dragon-bakery"}));
    EXPECT_EQ(analytics->pageViews(),
              (std::vector<std::string>{"/INSTALLED_APP_moonkettle-slimeranch", "/INSTALLED_APP_moonkettle-lighthouse",
                                        "/APPSTORE_moonkettle-lighthouse-keeper", "/APPSTORE_moonkettle-dragon-bakery"}))
        << "the installed-app page view is reported whether or not the game is installed";
}

TEST_F(StartOrStoreTest, HostileSchemesAndIdsOpenNothing) {
    EXPECT_EQ(GameLinkCommon::processUserInteractionWithScheme("x; rm -rf ~", "../../etc/passwd"), GameLinkCommon::Outcome::nothing);
    EXPECT_EQ(GameLinkCommon::processUserInteractionWithScheme("$(reboot)", "a b"), GameLinkCommon::Outcome::nothing);
    EXPECT_TRUE(opened().empty());
    EXPECT_TRUE(analytics->pageViews().empty());
}

TEST(GameIndexAddressTest, OptionThenEnvironmentThenSettingsFileThenTheBundledFolder) {
    ResourceBundle::setRootDirectory(RE_TEST_RESOURCE_DIR);
    TempFolder data;
    const std::string bundled = GameIndexAddress::bundledAddress();
    ScopedEnv noEnv(GameIndexAddress::kEnvironmentVariable, nullptr);
    EXPECT_EQ(GameIndexAddress::resolve("", data.str()), bundled);

    PlayerSettings settings = PlayerSettings::loadFromDataDirectory(data.str());
    settings.setString("indexUrl", "https://file.example/list");
    settings.setString("keptKey", "kept");
    ASSERT_TRUE(settings.save());
    EXPECT_EQ(GameIndexAddress::resolve("", data.str()), "https://file.example/list/");
    {
        ScopedEnv env(GameIndexAddress::kEnvironmentVariable, "https://env.example/list/");
        EXPECT_EQ(GameIndexAddress::resolve("", data.str()), "https://env.example/list/");
        EXPECT_EQ(GameIndexAddress::resolve("http://127.0.0.1:9/x", data.str()), "http://127.0.0.1:9/x/");
    }
    {
        ScopedEnv env(GameIndexAddress::kEnvironmentVariable, "http://evil.example/");
        std::vector<std::string> warnings;
        EXPECT_EQ(GameIndexAddress::resolve("", data.str(), &warnings), "https://file.example/list/");
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_NE(warnings[0].find("RE_INDEX_URL"), std::string::npos) << warnings[0];
    }
    EXPECT_EQ(PlayerSettings::loadFromDataDirectory(data.str()).stringForKey("keptKey"), "kept");

    data.write("settings.json", "{ broken");
    std::vector<std::string> warnings;
    EXPECT_EQ(GameIndexAddress::resolve("", data.str(), &warnings), bundled);
    EXPECT_EQ(warnings.size(), 1u) << "a damaged settings file is named, and kept";
    PlayerSettings damaged = PlayerSettings::loadFromDataDirectory(data.str());
    damaged.setString("indexUrl", "https://x.example/");
    EXPECT_FALSE(damaged.save()) << "a file that could not be read is not overwritten";
}

}  // namespace
