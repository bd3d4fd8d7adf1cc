// The banners through the real launch: on the 568-point screen a panel over the main screen holds
// four in a row and the title none; on the 480-point screen the title shows them.
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "app/AppDelegate.h"
#include "app/AppTestSupport.h"
#include "app/ScriptDriver.h"
#include "explore/ViewController.h"
#include "gamelink/TopPanelAdsViewController.h"
#include "overlays/TitleViewController.h"
#include "platform/ui/AdvertisingKit.h"

namespace {

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
    // The banners the script driver lists, by tag, in window coordinates.
    std::map<int, Rect> banners() {
        std::ostringstream out, err;
        std::map<int, Rect> byTag;
        for (const auto& v : nlohmann::json::parse(ScriptDriver(*app, *window, clock, out, err).viewsJson())) {
            const std::string name = v["name"];
            if (name.rfind("adBanner", 0) == 0) byTag[std::stoi(name.substr(8))] = Rect(v["frame"][0], v["frame"][1], v["frame"][2], v["frame"][3]);
        }
        return byTag;
    }
    // Tags 1 to 4 from left to right, apart, within the width, each centred on the line y = midY.
    static void expectBannerRow(const std::map<int, Rect>& row, double midY) {
        ASSERT_EQ(row.size(), 4u);
        double lastRight = 0;
        for (const auto& [tag, f] : row) {
            EXPECT_GE(f.minX(), lastRight) << tag;
            EXPECT_GE(f.width(), 60) << tag;
            EXPECT_DOUBLE_EQ(f.midY(), midY) << tag;
            lastRight = f.maxX();
        }
        EXPECT_LE(lastRight, 320);
    }

    std::shared_ptr<AppDelegate> app;
};

}  // namespace

TEST_F(TopAdsTest, TheTallScreenHasThePanelWithOneRowOfFourBannersInTheBandAndTheTitleNone) {
    launch(568);
    ASSERT_TRUE(app->topPanelCtr());
    EXPECT_EQ(app->topPanelCtr()->view()->superview(), app->viewController()->view().get());
    expectBannerRow(banners(), 94 + 17);
    app->titleCtr()->removeViewFromSuperview();
    EXPECT_EQ(banners().size(), 4u) << "the title's leaving takes none of them";
    // Nothing the player needs lies under the band.
    for (const char* name : {"statusView", "reportBtn", "exploreStatusView"}) EXPECT_LE(app->viewController()->view(name)->frame().maxY(), 94) << name;
    for (const char* name : {"wantedImgView", "stageView", "kingImgView"}) EXPECT_GE(app->viewController()->view(name)->frame().minY(), 128) << name;

    // Each time the panel leaves it takes its banners; each time it appears it puts one row back.
    auto panel = app->topPanelCtr();
    panel->removeViewFromSuperview();
    EXPECT_TRUE(panel->view()->subviews().empty());
    panel->addViewTo(*app->viewController()->view());
    panel->addViewTo(*app->viewController()->view());  // shown again without leaving
    EXPECT_EQ(panel->view()->subviews().size(), 4u);
}

TEST_F(TopAdsTest, TheShortScreenHasNoPanelAndTheTitleShowsTheBannersUntilItGoes) {
    launch(480);
    EXPECT_FALSE(app->topPanelCtr());
    expectBannerRow(banners(), 448);  // in the title's adsView, 424 to 472
    // Leaving takes the banners and only them: the persons share the tags 1 to 5.
    auto title = app->titleCtr();
    title->removeViewFromSuperview();
    int persons = 0, left = 0;
    for (const auto& sub : title->view()->subviews()) {
        persons += dynamic_cast<PersonView*>(sub.get()) != nullptr;
        left += AdvertisingKit::isBannerView(*sub);
    }
    EXPECT_EQ(persons, 5);
    EXPECT_EQ(left, 0);
}
