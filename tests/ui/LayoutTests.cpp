// Layout files and screen controllers: each kind of property, the game's own classes, failures
// that leave a root and a message, and a controller's outlets, actions and hooks.
#include "UiTestSupport.h"
#include "platform/TempFolder.h"
#include "platform/ui/Button.h"
#include "platform/ui/GamePalette.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/LayoutLoader.h"
#include "platform/ui/ScreenController.h"

namespace {

class LayoutTest : public UiTest {
protected:
    LayoutResult load(const std::string& name, const std::string& text = "") {
        if (!text.empty()) folder.write("layouts/" + name + ".json", text);
        ResourceBundle bundle(folder.str());
        LayoutLoader l(bundle);
        l.setLocalizer([](const std::string& key) { return "<" + key + ">"; });
        return l.load(name);
    }
    TempFolder folder;
};

class KingImageView : public ImageView {
public:
    double blinkInterval = 0;
};

TEST_F(LayoutTest, EachKindOfPropertyIsReadAndTheGamesOwnClassesAreMadeByName) {
    LayoutLoader::registerClass<KingImageView>("KingImageView", [](View& view, const LayoutNode& node) {
        static_cast<KingImageView&>(view).blinkInterval = node.numberValue("blinkInterval", 3);
    });
    LayoutResult result = load("Main", R"({"class": "View", "backgroundColor": "night", "subviews": [
      {"class": "KingImageView", "name": "bg", "frame": [0, 20, 320, 300], "image": "item1@2x.png",
       "backgroundColor": [1, 0, 0, 0.5], "blinkInterval": 2.5},
      {"class": "Label", "name": "title", "textKey": "Title", "font": {"name": "GD-DOTFONT-DQ-TTF", "size": 16},
       "color": "#ffe27a", "alignment": "center"},
      {"class": "View", "clipsToBounds": true, "subviews": [
        {"class": "Button", "name": "go", "action": "pressExplore", "titleKey": "Explore", "hidden": true, "alpha": 0.25,
         "images": {"normal": "item2@2x.png", "highlighted": "item3@2x.png"}}]}]})");
    EXPECT_TRUE(result.ok()) << result.errorText();
    EXPECT_EQ(result.root->backgroundColor(), GamePalette::night) << "a colour of the game's palette";
    auto bg = result.root->viewWithName<KingImageView>("bg");
    auto title = result.root->viewWithName<Label>("title");
    auto go = result.root->viewWithName<Button>("go");
    ASSERT_TRUE(bg && title && go);
    EXPECT_EQ(result.root->subviews()[0], bg) << "back to front, in file order";
    EXPECT_TRUE(bg->frame() == Rect(0, 20, 320, 300) && bg->backgroundColor() == Color(1, 0, 0, 0.5f));
    EXPECT_EQ(bg->image()->size(), Size(14, 14)) << "the picture comes from the resources";
    EXPECT_DOUBLE_EQ(bg->blinkInterval, 2.5);
    EXPECT_TRUE(title->text() == "<Title>" && title->font()->pointSize() == 16) << "keys go through the localizer";
    EXPECT_TRUE(title->textColor() == GamePalette::goldLight && title->textAlignment() == TextAlignment::center);
    EXPECT_EQ(go->titleForState(ControlState::normal), "<Explore>");
    EXPECT_TRUE(go->isHidden() && go->alpha() == 0.25 && go->superview()->clipsToBounds());
    EXPECT_NE(go->imageForState(ControlState::highlighted), go->imageForState(ControlState::normal));
    EXPECT_EQ(result.actions.find("pressExplore")->second.lock(), go);
}

TEST_F(LayoutTest, BadFilesGiveARootAndAMessageNeverACrash) {
    LayoutResult missing = load("Nowhere");
    EXPECT_EQ(missing.root->frame(), Rect(0, 0, 320, 480));
    EXPECT_NE(missing.errorText().find("layouts/Nowhere.json"), std::string::npos);
    for (const char* text : {"{ this is not json", R"({"class": "View", "subviews": [)", " "})
        EXPECT_NE(load("Broken", text).errorText().find("not valid JSON"), std::string::npos) << text;
    // Wrong kinds of values and unknown names: reported, and the rest still built.
    LayoutResult odd = load("Odd", R"({"class": "View", "frame": "wide", "subviews": [{"class": "Dragon", "name": "dragon",
        "frame": [1, 2, 3, 4]}, {"class": "Label", "font": 12, "text": 5, "color": "#zzzzzz", "alignment": "middle"}, 42]})");
    EXPECT_EQ(odd.errors.size(), 7u) << odd.errorText();
    EXPECT_NE(odd.errorText().find("Dragon"), std::string::npos);
    auto dragon = odd.root->viewWithName("dragon");
    ASSERT_TRUE(dragon) << "a plain view stands in for an unknown class";
    EXPECT_EQ(dragon->frame(), Rect(1, 2, 3, 4));
    // Absurdly deep nesting stops at a limit instead of running out of stack.
    std::string open, close;
    for (int i = 0; i < 5000; ++i) open += R"({"subviews": [)", close += "]}";
    EXPECT_NE(load("Deep", open + "{}" + close).errorText().find("too deeply"), std::string::npos);
}

class SampleController : public ScreenController {
public:
    SampleController() : ScreenController("Sample") {}
    std::vector<std::string> calls;
    std::shared_ptr<Button> exploreBtn;
    std::shared_ptr<ImageView> missingImgView;
    int presses = 0;

protected:
    void bindOutlets() override {
        bind(exploreBtn, "exploreBtn");
        bind(missingImgView, "missingImgView");
        bindAction("pressExplore", [this] { ++presses; });
    }
    void viewDidLoad() override { calls.push_back(exploreBtn ? "didLoad" : "didLoad without outlets"); }
    void viewWillAppear(bool) override { calls.push_back(view()->superview() ? "willAppear, too late" : "willAppear"); }
    void viewDidAppear(bool) override { calls.push_back(view()->superview() ? "didAppear" : "didAppear, too early"); }
    void viewDidDisappear(bool) override { calls.push_back("didDisappear"); }
};

TEST_F(LayoutTest, AControllerLoadsOnceBindsOutletsAndActionsAndCallsItsHooksInOrder) {
    SampleController controller;
    auto root = controller.view();
    EXPECT_EQ(controller.view(), root) << "loaded once";
    EXPECT_EQ(controller.exploreBtn, controller.view<Button>("exploreBtn"));
    // The missing outlet is filled with a hidden stand-in and reported; nothing else is wrong.
    ASSERT_TRUE(controller.missingImgView && controller.missingImgView->isHidden());
    ASSERT_EQ(controller.layoutErrors().size(), 1u);
    EXPECT_NE(controller.layoutErrors()[0].find("missingImgView"), std::string::npos);
    controller.exploreBtn->setEnabled(true);
    controller.exploreBtn->sendAction();
    EXPECT_EQ(controller.presses, 1);
    auto window = std::make_shared<Window>(Rect(0, 0, 320, 480));
    controller.addViewTo(*window);
    controller.removeViewFromSuperview();
    controller.removeViewFromSuperview();  // not shown: no hooks
    EXPECT_EQ(controller.calls, (std::vector<std::string>{"didLoad", "willAppear", "didAppear", "didDisappear"}));
}

}  // namespace
