// The HTTP client and the image loader against a local server that answers well and badly:
// what reaches the main loop, and how much time and memory a hostile answer may cost.
#include <gtest/gtest.h>

#include <cstdio>

#include "support/Sanitized.h"
#include "gamelink/GameLinkCommon.h"
#include "net/NetTestSupport.h"
#include "platform/net/GameIndexAddress.h"
#include "platform/net/HttpClient.h"
#include "platform/net/ImageLoader.h"
#include "platform/resources/ResourceBundle.h"

namespace {

const std::string kIcon = std::string(RE_TEST_RESOURCE_DIR) + "/gamelink/icon_ios/moonkettle-slime-ranch.png";

class HttpTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new IndexServer(kIcon); }
    static void TearDownTestSuite() { delete server; }
    void SetUp() override {
        ASSERT_GT(server->port(), 0) << "the test server did not start";
        ResourceBundle::setRootDirectory(RE_TEST_RESOURCE_DIR);
        RunLoop::main().reset();
        ImageLoader::shared().limits = HttpLimits{ImageLoader::kMaxBytes};
        // libcurl is opened on the first fetch: its libraries are mapped here, not inside a case
        // whose memory is measured.
        HttpResponse response;
        HttpError error;
        HttpClient::fetchBlocking(server->base("missing"), HttpLimits{}, nullptr, &response, &error);
    }
    // Waits for the background fetches, then runs what they handed to the main loop.
    static void settle() {
        HttpClient::shared().waitUntilIdle();
        ImageLoader::shared().waitUntilIdle();
        RunLoop::main().drain();
    }
    struct Outcome {
        bool succeeded = false, failed = false;
        Value parsed;
        HttpError error;
    };
    static Outcome fetchIndex(const std::string& base, const HttpLimits& limits = {}) {
        auto outcome = std::make_shared<Outcome>();
        HttpClient::shared().getJson(
            GameIndexAddress::indexAddress(base), {},
            [outcome](const Value& v) { outcome->succeeded = true, outcome->parsed = v; },
            [outcome](const HttpError& e) { outcome->failed = true, outcome->error = e; }, limits);
        settle();
        return *outcome;
    }
    static IndexServer* server;
};
IndexServer* HttpTest::server = nullptr;

// How much a hostile answer may make the process grow. ThreadSanitizer keeps shadow memory for
// every byte touched and AddressSanitizer keeps freed blocks in quarantine with red zones around
// each, so their builds get more room; the cap itself is what is being checked.
#if RE_SANITIZED
constexpr long kMemoryBoundKiB = 16384;
#else
constexpr long kMemoryBoundKiB = 4096;
#endif

TEST_F(HttpTest, OnlyHttpsLoopbackHttpAndTheGamesOwnFilesMayBeFetched) {
    for (const char* good : {"https://example.com/list/index_ios.json", "http://127.0.0.1:8000/x", "http://localhost/x", "http://[::1]:80/x"})
        EXPECT_TRUE(HttpClient::isAllowedAddress(good)) << good;
    EXPECT_TRUE(HttpClient::isAllowedAddress(GameIndexAddress::indexAddress(GameIndexAddress::bundledAddress())));
    for (const char* bad : {"http://example.com/index_ios.json", "http://127.0.0.1.example.com/x", "ftp://example.com/x",
                            "file:///etc/passwd", "javascript:alert(1)", "https://exa mple.com/", "gopher://127.0.0.1/",
                            "https://", ""})
        EXPECT_FALSE(HttpClient::isAllowedAddress(bad)) << bad;
    const std::string outside = GameIndexAddress::bundledAddress() + "../../../../etc/passwd";
    EXPECT_FALSE(HttpClient::isAllowedAddress(outside)) << "a file address may not climb out of the resources";
}

TEST_F(HttpTest, AGoodIndexListsTheOtherGamesAndTheirIcons) {
    const Outcome o = fetchIndex(server->base("good"));
    ASSERT_TRUE(o.succeeded) << o.error.message;
    ASSERT_TRUE(o.parsed.isArray());
    EXPECT_EQ(o.parsed.count(), 5u);
    const auto games = GameLinkCommon::gamesFromIndex(o.parsed, "royal-expedition");
    ASSERT_EQ(games.size(), 2u) << "this game and the elements that are not objects are left out";
    EXPECT_EQ(GameLinkCommon::localizedStringWithDictionary(games[0]["fullname"], "zh-Hant"), "Slime Ranch");
    EXPECT_EQ(GameLinkCommon::iconAddressForAppId(server->base("good"), games[1]["id"].stringValue()), "")
        << "an id with ../ builds no icon address";

    std::shared_ptr<Image> icon;
    ImageLoader::shared().load(GameLinkCommon::iconAddressForAppId(server->base("good"), games[0]["id"].stringValue()), 2.0, {},
                               [&](std::shared_ptr<Image> image) { icon = image; });
    settle();
    ASSERT_TRUE(icon);
    EXPECT_EQ(icon->size().width, 57);
    EXPECT_EQ(icon->size().height, 57);
}

TEST_F(HttpTest, ThreeRedirectsAreFollowedAndNoMoreNorAwayFromTheRules) {
    EXPECT_TRUE(fetchIndex(server->base("hop")).succeeded);
    HttpLimits two;
    two.maxRedirects = 2;
    EXPECT_EQ(fetchIndex(server->base("hop"), two).error.kind, HttpError::Kind::tooManyRedirects);
    EXPECT_EQ(fetchIndex(server->base("away")).error.kind, HttpError::Kind::forbiddenAddress)
        << "a redirect to plain http elsewhere is refused";
}

TEST_F(HttpTest, HostileIndexesLeaveTheListEmptyInBoundedTimeAndMemory) {
    HttpLimits limits;
    limits.lowSpeedSeconds = 2;  // the 5 s rule, shortened for the test
    struct Case {
        const char* folder;
        HttpError::Kind kind;
        double seconds;
    } cases[] = {
        {"big", HttpError::Kind::tooLarge, 2},          {"bigstream", HttpError::Kind::tooLarge, 2},
        {"slow", HttpError::Kind::timedOut, 4.5},       {"malformed", HttpError::Kind::badContent, 1},
        {"deep", HttpError::Kind::badContent, 1},       {"loop", HttpError::Kind::tooManyRedirects, 2},
        {"missing", HttpError::Kind::httpStatus, 1},
    };
    for (const Case& c : cases) {
        const long memoryBefore = peakMemoryKiB();
        const auto start = std::chrono::steady_clock::now();
        const Outcome o = fetchIndex(server->base(c.folder), limits);
        const double took = secondsSince(start);
        const long grew = peakMemoryKiB() - memoryBefore;
        std::printf("FIGURE index %-10s %-40s %.2f s, peak memory +%ld KiB\n", c.folder, o.error.message.c_str(), took, grew);
        EXPECT_FALSE(o.succeeded) << c.folder;
        EXPECT_EQ(o.error.kind, c.kind) << c.folder << ": " << o.error.message;
        EXPECT_LT(took, c.seconds) << c.folder;
        EXPECT_LT(grew, kMemoryBoundKiB) << c.folder << ": the body is capped as it arrives";
    }
    const Outcome object = fetchIndex(server->base("object"));
    ASSERT_TRUE(object.succeeded);
    EXPECT_TRUE(GameLinkCommon::gamesFromIndex(object.parsed, "royal-expedition").empty()) << "an index that is not an array lists nothing";
}

TEST_F(HttpTest, AnIconClaimingTwentyThousandPixelsIsRefusedBeforeDecoding) {
    const long memoryBefore = peakMemoryKiB();
    bool shown = false;
    HttpError error;
    ImageLoader::shared().load(
        GameIndexAddress::iconAddress(server->base("huge"), "moonkettle-slime-ranch"), 2.0, {}, [&](std::shared_ptr<Image>) { shown = true; },
        [&](const HttpError& e) { error = e; });
    settle();
    std::printf("FIGURE icon 20000x20000: %s, peak memory +%ld KiB\n", error.message.c_str(), peakMemoryKiB() - memoryBefore);
    EXPECT_FALSE(shown);
    EXPECT_EQ(error.kind, HttpError::Kind::badContent);
    EXPECT_NE(error.message.find("20000 x 20000"), std::string::npos) << error.message;
    EXPECT_LT(peakMemoryKiB() - memoryBefore, kMemoryBoundKiB);
}

TEST_F(HttpTest, AFetchOutlivingItsOwnerStopsAndDeliversNothing) {
    auto owner = std::make_shared<int>(0);
    bool delivered = false;
    const auto start = std::chrono::steady_clock::now();
    HttpClient::shared().getJson(
        GameIndexAddress::indexAddress(server->base("slow")), owner, [&](const Value&) { delivered = true; },
        [&](const HttpError&) { delivered = true; });
    auto request = ImageLoader::shared().load(GameIndexAddress::iconAddress(server->base("good"), "moonkettle-slime-ranch"), 2.0, {},
                                              [&](std::shared_ptr<Image>) { delivered = true; });
    request->cancel();
    usleep(300 * 1000);
    owner.reset();  // the list closed while the index was on its way
    settle();
    std::printf("FIGURE owner gone: the slow fetch stopped after %.2f s\n", secondsSince(start));
    EXPECT_FALSE(delivered);
    EXPECT_LT(secondsSince(start), 3.0) << "the transfer stops at its next progress tick, not at the time-out";
}

TEST_F(HttpTest, TheBundledListWorksWithoutANetwork) {
    const std::string base = GameIndexAddress::bundledAddress();
    ASSERT_EQ(base.rfind("file://", 0), 0u) << base;
    const Outcome o = fetchIndex(base);
    ASSERT_TRUE(o.succeeded) << o.error.message;
    const auto games = GameLinkCommon::gamesFromIndex(o.parsed, GameLinkCommon::thisAppId());
    ASSERT_GE(games.size(), 3u);
    int icons = 0;
    for (const Value& g : games) {
        for (const char* lang : {"en", "ja", "cn"}) EXPECT_FALSE(g["fullname"][lang].stringValue().empty()) << lang;
        EXPECT_TRUE(GameLinkCommon::isValidScheme(g["scheme"].stringValue()));
        ImageLoader::shared().load(GameLinkCommon::iconAddressForAppId(base, g["id"].stringValue()), 2.0, {},
                                   [&](std::shared_ptr<Image> image) { icons += image->size().width == 57; });
    }
    settle();
    EXPECT_EQ(icons, static_cast<int>(games.size()));
}

}  // namespace
