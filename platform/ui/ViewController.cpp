#include "platform/ui/ViewController.h"

#include "platform/ui/Button.h"
#include "platform/ui/Screen.h"

ViewController::ViewController(std::string layoutName) : layoutName_(std::move(layoutName)) {}

ViewController::~ViewController() = default;

const std::shared_ptr<View>& ViewController::view() {
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

std::shared_ptr<View> ViewController::loadView() {
    errors_.clear();
    if (layoutName_.empty()) return std::make_shared<View>(Screen::mainScreen().bounds());
    layout_ = LayoutLoader().load(layoutName_);
    errors_ = layout_.errors;
    return layout_.root;
}

void ViewController::unloadView() {
    if (!view_) return;
    viewDidUnload();
    view_->removeFromSuperview();
    view_.reset();
    layout_ = LayoutResult();
}

bool ViewController::bindAction(const std::string& name, std::function<void()> fn) {
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

void ViewController::addViewTo(View& parent, bool animated) {
    auto root = view();
    viewWillAppear(animated);
    parent.addSubview(root);
    viewDidAppear(animated);
}

void ViewController::removeViewFromSuperview(bool animated) {
    if (!view_ || !view_->superview()) return;
    viewWillDisappear(animated);
    view_->removeFromSuperview();
    viewDidDisappear(animated);
}
