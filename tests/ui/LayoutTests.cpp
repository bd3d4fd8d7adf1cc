// Layout files and screen controllers: a sample tree with every kind of property, the game's
// own classes, failures that leave an empty root and a message, the tall-screen variant, and a
// controller's loading order, outlets, actions and appearance hooks.
#include <filesystem>

#include "UiTestSupport.h"
#include "platform/TempFolder.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/ui/Button.h"
#include "platform/ui/GamePalette.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/LayoutLoader.h"
#include "platform/ui/TableView.h"
#include "platform/ui/ScreenController.h"

namespace {

const char* kScreen = R"({
  "class": "View", "name": "root", "frame": [0, 0, 320, 480], "backgroundColor": "night",
  "subviews": [
    {"class": "ImageView", "name": "bgImgView", "frame": [0, 20, 320, 300], "image": "item1@2x.png",
     "contentMode": "scaleAspectFit", "userInteraction": true},
    {"class": "Label", "name": "titleLabel", "frame": [10, 30, 300, 20], "textKey": "Title",
     "font": {"name": "GD-DOTFONT-DQ-TTF", "size": 16}, "color": "#ffe27a", "alignment": "center",
     "lines": 2, "adjustsFontSize": true, "minimumFontSize": 8, "shadowColor": "ink", "shadowOffset": [1, 1]},
    {"class": "Label", "name": "plainLabel", "frame": [10, 60, 300, 20], "text": "Hello", "color": [1, 0, 0, 0.5],
     "alignment": "right", "hidden": true, "alpha": 0.25, "tag": 7},
    {"class": "Button", "name": "exploreBtn", "frame": [110, 400, 100, 44], "action": "pressExplore",
     "images": {"normal": "item2@2x.png", "highlighted": "item3@2x.png"}, "titleKey": "Explore",
     "font": {"name": "GD-DOTFONT-DQ-TTF", "size": 8}, "color": "white", "enabled": false},
    {"class": "View", "name": "panel", "frame": [20, 100, 280, 200], "clipsToBounds": true, "subviews": [
      {"class": "TableView", "name": "myTableView", "frame": [0, 0, 280, 200], "rowHeight": 65, "indicatorColor": "white"}
    ]}
  ]
})";

class KingImageView : public ImageView, public LayoutAware {
public:
    void awakeFromLayout() override {
        awakened = true;
        // Children are built (and awake) before their parent wakes.
        childSeen = viewWithName("crown") != nullptr;
    }
    bool awakened = false;
    bool childSeen = false;
    double blinkInterval = 0;
};

class LayoutTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        bundle = std::make_unique<ResourceBundle>(folder.str());
        LayoutLoader::clearCache();
    }
    LayoutLoader loader() const {
        LayoutLoader l(*bundle);
        l.setLocalizer([](const std::string& key) { return "<" + key + ">"; });
        return l;
    }
    void write(const std::string& relative, const std::string& text) {
        folder.write(relative, text);
        bundle->reload();
    }
    TempFolder folder;
    std::unique_ptr<ResourceBundle> bundle;
};

TEST_F(LayoutTest, ASampleBuildsTheTreeWithFramesNamesFontsAndLooks) {
    write("layouts/Main.json", kScreen);
    LayoutResult result = loader().load("Main");
    EXPECT_TRUE(result.ok()) << result.errorText();
    View& root = *result.root;
    EXPECT_EQ(root.backgroundColor(), GamePalette::night);
    ASSERT_EQ(root.subviews().size(), 5u);
    EXPECT_EQ(root.subviews()[0]->name(), "bgImgView");  // back to front, in file order

    auto bg = root.viewWithName<ImageView>("bgImgView");
    ASSERT_TRUE(bg && bg->image());
    EXPECT_EQ(bg->frame(), Rect(0, 20, 320, 300));
    EXPECT_EQ(bg->contentMode(), ContentMode::scaleAspectFit);
    EXPECT_TRUE(bg->isUserInteractionEnabled());
    EXPECT_EQ(bg->image()->size(), Size(14, 14)) << "the picture comes from the resources";

    auto title = root.viewWithName<Label>("titleLabel");
    ASSERT_TRUE(title);
    EXPECT_EQ(title->text(), "<Title>") << "textKey goes through the localizer";
    EXPECT_DOUBLE_EQ(title->font()->pointSize(), 16);
    EXPECT_EQ(title->textColor(), GamePalette::goldLight);
    EXPECT_EQ(title->textAlignment(), TextAlignment::center);
    EXPECT_EQ(title->numberOfLines(), 2);
    EXPECT_TRUE(title->adjustsFontSizeToFitWidth());
    EXPECT_DOUBLE_EQ(title->minimumFontSize(), 8);
    EXPECT_EQ(title->shadowColor(), GamePalette::ink);
    EXPECT_EQ(title->shadowOffset(), Size(1, 1));

    auto plain = root.viewWithName<Label>("plainLabel");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->textColor(), Color(1, 0, 0, 0.5f));
    EXPECT_EQ(plain->textAlignment(), TextAlignment::right);
    EXPECT_TRUE(plain->isHidden());
    EXPECT_DOUBLE_EQ(plain->alpha(), 0.25);
    EXPECT_EQ(plain->tag(), 7);

    auto button = root.viewWithName<Button>("exploreBtn");
    ASSERT_TRUE(button);
    EXPECT_EQ(button->titleForState(ControlState::normal), "<Explore>");
    EXPECT_FALSE(button->isEnabled());
    EXPECT_NE(button->imageForState(ControlState::highlighted), button->imageForState(ControlState::normal));
    EXPECT_DOUBLE_EQ(button->titleLabel().font()->pointSize(), 8);
    EXPECT_EQ(result.actions.find("pressExplore")->second.lock(), button);

    auto table = root.viewWithName<TableView>("myTableView");
    ASSERT_TRUE(table);
    EXPECT_DOUBLE_EQ(table->rowHeight(), 65);
    EXPECT_EQ(table->scrollIndicatorColor(), Color::whiteColor());
    EXPECT_EQ(table->superview()->name(), "panel");
    EXPECT_TRUE(table->superview()->clipsToBounds());
}

TEST_F(LayoutTest, TheGamesOwnClassesAreMadeByNameWithTheirBaseProperties) {
    LayoutLoader::registerClass<KingImageView>("KingImageView", [](View& view, const LayoutNode& node) {
        static_cast<KingImageView&>(view).blinkInterval = node.numberValue("blinkInterval", 3);
    });
    write("layouts/King.json", R"({"class": "View", "subviews": [
        {"class": "KingImageView", "name": "king", "frame": [120, 200, 80, 80], "image": "item4@2x.png",
         "blinkInterval": 2.5, "subviews": [{"class": "View", "name": "crown"}]}]})");
    LayoutResult result = loader().load("King");
    EXPECT_TRUE(result.ok()) << result.errorText();
    auto king = result.root->viewWithName<KingImageView>("king");
    ASSERT_TRUE(king);
    EXPECT_FALSE(king->image()->isEmpty()) << "an ImageView property reaches the game's class";
    EXPECT_DOUBLE_EQ(king->blinkInterval, 2.5);
    EXPECT_TRUE(king->awakened);
    EXPECT_TRUE(king->childSeen);

    // A row of a registered class, loaded from its own file as the tables do.
    LayoutLoader::registerClass<TableViewCell>("SampleCell");
    auto row = std::dynamic_pointer_cast<TableViewCell>(
        loader().loadString(R"({"class": "SampleCell", "reuseIdentifier": "SampleCell", "selectionStyle": "none"})").root);
    ASSERT_TRUE(row);
    EXPECT_EQ(row->reuseIdentifier(), "SampleCell");
    EXPECT_EQ(row->selectionStyle(), TableViewCellSelectionStyle::none);
}

TEST_F(LayoutTest, BadFilesGiveAnEmptyRootAndAMessageNeverACrash) {
    LayoutResult missing = loader().load("Nowhere");
    EXPECT_EQ(missing.root->frame(), Rect(0, 0, 320, 480));
    EXPECT_NE(missing.errorText().find("layouts/Nowhere.json"), std::string::npos);
    // Not JSON, and JSON cut short.
    for (const char* text : {"{ this is not json", R"({"class": "View", "subviews": [)", ""}) {
        write("layouts/Broken.json", text);
        LayoutResult broken = loader().load("Broken");
        ASSERT_TRUE(broken.root);
        EXPECT_NE(broken.errorText().find("not valid JSON"), std::string::npos) << broken.errorText();
    }
    EXPECT_FALSE(loader().loadString("[1, 2, 3]").ok()) << "a root that is not an object";
    // Wrong kinds of values and unknown names: reported, and the rest still built.
    write("layouts/Odd.json", R"({"class": "View", "frame": "wide", "subviews": [
        {"class": "Dragon", "name": "dragon", "frame": [1, 2, 3, 4]},
        {"class": "Label", "name": "label", "font": 12, "text": 5, "color": "#zzzzzz", "alignment": "middle", "lines": "two"},
        {"class": "Button", "name": "btn", "images": {"pressed": "x.png"}, "enabled": "yes"},
        {"class": "ImageView", "name": "pic", "image": "no-such-picture.png", "contentMode": "stretch"},
        42
    ]})");
    LayoutResult odd = loader().load("Odd");
    EXPECT_GE(odd.errors.size(), 9u) << odd.errorText();
    EXPECT_NE(odd.errorText().find("Dragon"), std::string::npos);
    auto dragon = odd.root->viewWithName("dragon");
    ASSERT_TRUE(dragon) << "a plain view stands in for an unknown class";
    EXPECT_EQ(dragon->frame(), Rect(1, 2, 3, 4));
    EXPECT_TRUE(odd.root->viewWithName<Label>("label") && odd.root->viewWithName<Button>("btn"));
    auto pic = odd.root->viewWithName<ImageView>("pic");
    ASSERT_TRUE(pic);
    EXPECT_TRUE(pic->image()->isEmpty()) << "a missing picture is an empty picture";

    // Absurdly deep nesting stops at a limit instead of running out of stack.
    std::string deep;
    for (int i = 0; i < 5000; ++i) deep += R"({"class": "View", "subviews": [)";
    deep += "{}";
    for (int i = 0; i < 5000; ++i) deep += "]}";
    LayoutResult nested = loader().loadString(deep, "deep");
    EXPECT_NE(nested.errorText().find("too deeply"), std::string::npos);
    EXPECT_TRUE(LayoutLoader::loadView<TableViewCell>("NoSuchCell")) << "a missing row's file still gives a row";
}

TEST_F(LayoutTest, TheTallScreenTakesThe568VariantWhenThereIsOneAndChangedFilesAreReadAgain) {
    write("layouts/Title.json", R"({"class": "View", "name": "short", "frame": [0, 0, 320, 480]})");
    write("layouts/Title-568.json", R"({"class": "View", "name": "tall", "frame": [0, 0, 320, 568]})");
    write("layouts/Menu.json", R"({"class": "View", "name": "menu", "frame": [0, 0, 320, 480]})");
    EXPECT_EQ(loader().load("Title").root->name(), "short");
    Screen::mainScreen().setHeight(568);
    EXPECT_EQ(loader().load("Title").root->name(), "tall");
    EXPECT_EQ(loader().load("Menu").root->name(), "menu") << "no variant: the plain file";
    Screen::mainScreen().setHeight(480);

    write("layouts/Live.json", R"({"name": "first"})");
    EXPECT_EQ(loader().load("Live").root->name(), "first");
    std::filesystem::last_write_time(folder.path() / "layouts/Live.json",
                                     std::filesystem::file_time_type::clock::now() - std::chrono::hours(1));
    write("layouts/Live.json", R"({"name": "second, longer"})");
    EXPECT_EQ(loader().load("Live").root->name(), "second, longer");
}

// ---- Screen controllers

class SampleController : public ScreenController {
public:
    SampleController() : ScreenController("Sample") {}
    std::vector<std::string> calls;
    std::shared_ptr<Button> exploreBtn;
    std::shared_ptr<Label> titleLabel;
    std::shared_ptr<ImageView> missingImgView;
    int presses = 0;

protected:
    void bindOutlets() override {
        calls.push_back("bind");
        bind(exploreBtn, "exploreBtn");
        bind(titleLabel, "titleLabel");
        bind(missingImgView, "missingImgView");
        bindAction("pressExplore", [this] { ++presses; });
    }
    void viewDidLoad() override { calls.push_back("didLoad:" + std::string(exploreBtn ? "outlet" : "none")); }
    void viewDidUnload() override { calls.push_back("didUnload"); }
    void viewWillAppear(bool) override { calls.push_back(std::string("willAppear:") + (view()->superview() ? "in" : "out")); }
    void viewDidAppear(bool) override { calls.push_back(std::string("didAppear:") + (view()->superview() ? "in" : "out")); }
    void viewWillDisappear(bool) override { calls.push_back("willDisappear"); }
    void viewDidDisappear(bool) override { calls.push_back("didDisappear"); }
};

TEST_F(LayoutTest, AControllerLoadsOnceBindsOutletsAndActionsAndCallsItsHooksInOrder) {
    // The controller reads the main bundle: the sample layout among the build's resources.
    ResourceBundle::setRootDirectory(RE_TEST_RESOURCE_DIR);
    SampleController controller;
    EXPECT_FALSE(controller.isViewLoaded());
    auto root = controller.view();
    EXPECT_EQ(controller.view(), root) << "loaded once";
    EXPECT_EQ(controller.calls, (std::vector<std::string>{"bind", "didLoad:outlet"}));
    EXPECT_EQ(controller.exploreBtn, controller.view<Button>("exploreBtn"));
    EXPECT_EQ(controller.view<Label>("exploreBtn"), nullptr) << "a name of another class";
    // The missing outlet is filled with a hidden stand-in and reported; nothing else is wrong.
    ASSERT_TRUE(controller.missingImgView);
    EXPECT_TRUE(controller.missingImgView->isHidden());
    ASSERT_EQ(controller.layoutErrors().size(), 1u);
    EXPECT_NE(controller.layoutErrors()[0].find("missingImgView"), std::string::npos);

    controller.exploreBtn->setEnabled(true);
    controller.exploreBtn->sendAction();
    EXPECT_EQ(controller.presses, 1);

    auto window = std::make_shared<Window>(Rect(0, 0, 320, 480));
    controller.addViewTo(*window);
    EXPECT_EQ(root->superview(), window.get());
    controller.removeViewFromSuperview();
    controller.removeViewFromSuperview();  // not shown: no hooks
    EXPECT_EQ(root->superview(), nullptr);
    controller.unloadView();
    EXPECT_EQ(controller.calls, (std::vector<std::string>{"bind", "didLoad:outlet", "willAppear:out", "didAppear:in",
                                                          "willDisappear", "didDisappear", "didUnload"}));
    EXPECT_NE(controller.view(), root) << "loaded afresh";
}

}  // namespace
