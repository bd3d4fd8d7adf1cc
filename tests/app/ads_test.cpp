// The banners through the real launch: on the 568-point screen the top panel over the main
// screen holds four of them in a row and the title none; on the 480-point screen there is no
// panel and the title shows them. Seen through the script driver's view list and a rendered frame.
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/AppDelegate.h"
#include "app/AppTestSupport.h"
#include "app/ScriptDriver.h"
#include "explore/ViewController.h"
#include "gamelink/TopPanelAdsViewController.h"
#include "overlays/TitleViewController.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/services/AdvertisingKit.h"

namespace {

using nlohmann::json;

class TopAdsTest : public AppTest {
protected:
    void TearDown() override {
        if (app && app->titleCtr()) app->titleCtr()->removeViewFromSuperview();
        app.reset();
        AppTest::TearDown();
    }

    void launch(double height) {
        makeWindow(height);
        app = std::make_shared<AppDelegate>();
        app->didFinishLaunching(*window);
        app->applicationDidBecomeActive();
        advance(2.0);
    }
    // Swipes over the five letter carriers and waits for the title to fade.
    void closeTitle() {
        window->touchDown(Point(40, 323));
        for (int x = 50; x <= 290; x += 10) window->touchMove(Point(x, 323));
        window->touchUp(Point(290, 323));
        for (int i = 0; i < 24 && app->titleCtr(); ++i) advance(0.5);
        ASSERT_FALSE(app->titleCtr());
    }
    // The named views the script driver lists, by name.
    std::map<std::string, json> views() {
        std::ostringstream out, err;
        std::map<std::string, json> byName;
        for (const auto& v : json::parse(ScriptDriver(*app, *window, clock, out, err).viewsJson())) byName[v["name"]] = v;
        return byName;
    }
    static int bannerCount(const std::map<std::string, json>& list) {
        int n = 0;
        for (const auto& [name, v] : list) n += name.rfind("adBanner", 0) == 0;
        return n;
    }
    // Four banners in a row from left to right, apart, each centred on the line y = midY.
    static void expectBannerRow(const std::map<std::string, json>& list, double left, double right, double midY) {
        double lastRight = left;
        for (int tag = 1; tag <= 4; ++tag) {
            const std::string name = "adBanner" + std::to_string(tag);
            ASSERT_TRUE(list.count(name)) << name;
            const json& f = list.at(name)["frame"];
            const double x = f[0], y = f[1], w = f[2], h = f[3];
            EXPECT_GE(x, lastRight) << name;
            EXPECT_GE(w, 60) << name;
            EXPECT_GE(h, 20) << name;
            EXPECT_DOUBLE_EQ(y + h / 2, midY) << name;
            lastRight = x + w;
        }
        EXPECT_LE(lastRight, right);
    }

    std::shared_ptr<AppDelegate> app;
};

}  // namespace

TEST_F(TopAdsTest, TheTallScreenHasThePanelWithFourBannersAndTheTitleNone) {
    launch(568);
    ASSERT_TRUE(app->topPanelCtr());
    EXPECT_EQ(app->topPanelCtr()->view()->superview(), app->viewController()->view().get());
    for (const auto& sub : app->titleCtr()->view()->subviews()) EXPECT_FALSE(AdvertisingKit::isBannerView(*sub));
    closeTitle();

    auto list = views();
    ASSERT_TRUE(list.count("topAdsPanel"));
    EXPECT_EQ(list["topAdsPanel"]["frame"], json({0.0, 94.0, 320.0, 34.0}));
    EXPECT_EQ(bannerCount(list), 4);
    expectBannerRow(list, 0, 320, 94 + 17);
    // Nothing the player needs lies under the band: the status row and the report button end
    // above it, the wanted poster and the stage begin below it.
    for (const char* name : {"statusView", "reportBtn", "exploreStatusView"}) {
        const auto v = app->viewController()->view(name);
        ASSERT_TRUE(v) << name;
        EXPECT_LE(v->frame().maxY(), 94) << name;
    }
    for (const char* name : {"wantedImgView", "stageView", "kingImgView"}) EXPECT_GE(app->viewController()->view(name)->frame().minY(), 128) << name;

    // Drawn as dark framed panels over the sky.
    HeadlessRenderer renderer(Size(320, 568), 2.0);
    renderer.render(*window);
    renderer.writePNG(RE_TEST_BINARY_DIR "/top-ads-568.png");
    for (int tag = 1; tag <= 4; ++tag) {
        const json& f = list["adBanner" + std::to_string(tag)]["frame"];
        const Color c = renderer.colorAtPoint(Point(double(f[0]) + 3, double(f[1]) + double(f[3]) / 2));
        EXPECT_LT(c.red + c.green + c.blue, 0.9f) << "banner " << tag << " is not dark";
    }
}

TEST_F(TopAdsTest, TheShortScreenHasNoPanelAndTheTitleShowsTheBannersUntilItGoes) {
    launch(480);
    EXPECT_FALSE(app->topPanelCtr());
    auto list = views();
    EXPECT_FALSE(list.count("topAdsPanel"));
    EXPECT_EQ(bannerCount(list), 4);
    // In the title's banner row (its adsView, 424 to 472).
    expectBannerRow(list, 0, 320, 448);

    // Leaving takes the banners and only them: the letter carriers share the tags 1 to 5.
    auto title = app->titleCtr();
    title->removeViewFromSuperview();
    int persons = 0, banners = 0;
    for (const auto& sub : title->view()->subviews()) {
        persons += dynamic_cast<PersonView*>(sub.get()) != nullptr;
        banners += AdvertisingKit::isBannerView(*sub);
    }
    EXPECT_EQ(persons, 5);
    EXPECT_EQ(banners, 0);
    EXPECT_EQ(bannerCount(views()), 0);
}

TEST_F(TopAdsTest, ThePanelTakesItsBannersAwayAndPutsFourBackEachTimeItAppears) {
    launch(568);
    auto panel = app->topPanelCtr();
    View& root = *app->viewController()->view();
    auto other = std::make_shared<View>(Rect(0, 0, 10, 10));
    other->setTag(2);
    panel->view()->addSubview(other);

    panel->removeViewFromSuperview();
    ASSERT_EQ(panel->view()->subviews().size(), 1u);
    EXPECT_EQ(panel->view()->subviews().front(), other);
    panel->addViewTo(root);
    panel->addViewTo(root);  // shown again without leaving: still one row
    EXPECT_EQ(panel->view()->subviews().size(), 5u);
    EXPECT_EQ(AdvertisingKit::removeBanners(*panel->view(), 4), 4);
    EXPECT_EQ(AdvertisingKit::removeBanners(*panel->view(), 4), 0);
}
