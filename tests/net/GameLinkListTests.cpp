// The game list's screen against the local test server: icons, and a list closed before its
// index arrives.
#include <gtest/gtest.h>

#include "gamelink/GameLinkListCell.h"
#include "gamelink/GameLinkListViewController.h"
#include "net/NetTestSupport.h"
#include "platform/net/GameIndexAddress.h"
#include "platform/net/HttpClient.h"
#include "platform/net/ImageLoader.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableView.h"
#include "platform/ui/Window.h"
#include "support/GameTestSupport.h"

namespace {

const std::string kIcon = std::string(RE_TEST_RESOURCE_DIR) + "/gamelink/icon_ios/moonkettle-slime-ranch.png";

class GameListTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { server = new IndexServer(kIcon); }
    static void TearDownTestSuite() { delete server; }
    void SetUp() override {
        ASSERT_GT(server->port(), 0);
        ResourceBundle::setRootDirectory(RE_TEST_RESOURCE_DIR);
        gametest::resetGameSingletons();
        gametest::startManualTime(100);
        Screen::mainScreen().setHeight(480);
        window = std::make_shared<Window>(Rect(0, 0, 320, 480));
        window->makeKeyAndVisible();
    }
    void TearDown() override {
        window.reset();
        GameIndexAddress::setCurrent(GameIndexAddress::bundledAddress());
        gametest::resetGameSingletons();
    }
    std::shared_ptr<GameLinkListViewController> open(const std::string& folder) {
        GameIndexAddress::setCurrent(server->base(folder));
        auto list = std::make_shared<GameLinkListViewController>();
        list->addViewTo(*window);
        list->setThisAppId("royal-expedition");
        list->startLoad();
        list->appearWithAnimationAllowInteraction(false);
        return list;
    }
    static void settle() {
        HttpClient::shared().waitUntilIdle();
        ImageLoader::shared().waitUntilIdle();
        RunLoop::main().advanceBy(1);
    }
    static IndexServer* server;
    std::shared_ptr<Window> window;
};
IndexServer* GameListTest::server = nullptr;

}  // namespace

TEST_F(GameListTest, IconsComeOnlyForCheckedIdsAndAListClosedBeforeItsIndexLeavesNothingOnScreen) {
    // A good index: the icon arrives for the slime ranch, none is asked for an id holding "../".
    auto list = open("good");
    settle();
    settle();  // the icons come after the rows
    ASSERT_EQ(list->items().size(), 2u);
    auto first = std::dynamic_pointer_cast<GameLinkListCell>(list->myTableView()->cellForRowAtIndex(0));
    auto hostile = std::dynamic_pointer_cast<GameLinkListCell>(list->myTableView()->cellForRowAtIndex(1));
    ASSERT_TRUE(first && hostile);
    EXPECT_TRUE(first->iconView->image());
    EXPECT_FALSE(hostile->iconView->image());
    list->close();

    // Closed at once while the server sends a byte a second: the fetch stops, nothing shows.
    const auto start = std::chrono::steady_clock::now();
    auto slow = open("slow");
    slow->pressClose();
    settle();
    EXPECT_LT(secondsSince(start), 3.0);
    EXPECT_TRUE(slow->items().empty());
    EXPECT_TRUE(window->subviews().empty());

    // Taken off the screen with its index on the way but still held: the result fills the closed list only.
    auto late = open("good");
    late->close();
    settle();
    EXPECT_EQ(late->items().size(), 2u);
    EXPECT_TRUE(window->subviews().empty());
}
