#include "platform/ui/ScreenController.h"

#include "platform/ui/Button.h"
#include "platform/ui/Screen.h"

ScreenController::ScreenController(std::string layoutName) : layoutName_(std::move(layoutName)) {}

ScreenController::~ScreenController() = default;

const std::shared_ptr<View>& ScreenController::view() {
    if (!view_ && !loading_) {
        loading_ = true;
        auto root = loadView();
        view_ = root ? root : std::make_shared<View>(Screen::mainScreen().bounds());
        bindOutlets();
        loading_ = false;
        viewDidLoad();
    }
    if (!view_) {
        // view() asked for again while loadView runs: an empty root until the real one is set.
        static const std::shared_ptr<View> none = std::make_shared<View>();
        return none;
    }
    return view_;
}

std::shared_ptr<View> ScreenController::loadView() {
    errors_.clear();
    if (layoutName_.empty()) return std::make_shared<View>(Screen::mainScreen().bounds());
    layout_ = LayoutLoader().load(layoutName_);
    errors_ = layout_.errors;
    return layout_.root;
}

void ScreenController::unloadView() {
    if (!view_) return;
    viewDidUnload();
    view_->removeFromSuperview();
    view_.reset();
    layout_ = LayoutResult();
}

bool ScreenController::bindAction(const std::string& name, std::function<void()> fn) {
    bool any = false;
    auto [first, last] = layout_.actions.equal_range(name);
    for (auto it = first; it != last; ++it) {
        if (auto button = it->second.lock()) {
            button->setAction(fn);
            any = true;
        }
    }
    if (!any) errors_.push_back("no button with the action \"" + name + "\"");
    return any;
}

void ScreenController::addViewTo(View& parent, bool animated) {
    auto root = view();
    viewWillAppear(animated);
    parent.addSubview(root);
    viewDidAppear(animated);
}

void ScreenController::removeViewFromSuperview(bool animated) {
    if (!view_ || !view_->superview()) return;
    viewWillDisappear(animated);
    view_->removeFromSuperview();
    viewDidDisappear(animated);
}
