#pragma once
// A screen controller: owns a root view built from a layout file among the resources
// ("layouts/<Name>.json", "layouts/<Name>-568.json" on the tall screen; see LayoutLoader.h),
// loaded on the first call of view(). The order on loading: the layout is built, bindOutlets()
// runs (the subclass takes its views by name and wires its buttons' actions), then
// viewDidLoad(). The appearance hooks run around addViewTo() and removeViewFromSuperview().
//
//   class TitleViewController : public ScreenController {
//   public:
//       TitleViewController() : ScreenController("TitleViewController") {}
//   protected:
//       void bindOutlets() override {
//           bind(startBtn, "startBtn");
//           bindAction("pressStart", [this] { pressStart(); });
//       }
//       void viewDidLoad() override { ... }
//       std::shared_ptr<Button> startBtn;
//   };
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/RunLoop.h"
#include "platform/ui/LayoutLoader.h"
#include "platform/ui/View.h"

class ScreenController : public Object {
public:
    // The layout's name; "" builds an empty root over the screen (override loadView to build
    // one in code).
    explicit ScreenController(std::string layoutName = "");
    ~ScreenController() override;
    ScreenController(const ScreenController&) = delete;
    ScreenController& operator=(const ScreenController&) = delete;

    const std::string& layoutName() const { return layoutName_; }
    // The root view, loaded on first use.
    const std::shared_ptr<View>& view();
    bool isViewLoaded() const { return view_ != nullptr; }
    // Drops the root view (viewDidUnload runs first); the next view() loads it again.
    void unloadView();
    // What went wrong while loading the layout or binding outlets.
    const std::vector<std::string>& layoutErrors() const { return errors_; }

    // The named view of the root as a T, or nullptr when there is none (no message).
    template <class T = View>
    std::shared_ptr<T> viewNamed(const std::string& name) {
        return std::dynamic_pointer_cast<T>(view()->viewWithName(name));
    }
    template <class T = View>
    std::shared_ptr<T> view(const std::string& name) {
        return viewNamed<T>(name);
    }

    // Shows the root in a parent with the appearance hooks around it.
    void addViewTo(View& parent, bool animated = false);
    void removeViewFromSuperview(bool animated = false);

    // ---- Hooks for subclasses
    virtual void viewDidLoad() {}
    virtual void viewDidUnload() {}
    virtual void viewWillAppear(bool /*animated*/) {}
    virtual void viewDidAppear(bool /*animated*/) {}
    virtual void viewWillDisappear(bool /*animated*/) {}
    virtual void viewDidDisappear(bool /*animated*/) {}

protected:
    // Builds the root: the layout by default.
    virtual std::shared_ptr<View> loadView();
    // Takes the outlets (bind) and wires the actions (bindAction); runs before viewDidLoad.
    virtual void bindOutlets() {}

    // Fills an outlet with the named view of the root. A missing view (or one of another class)
    // is reported in layoutErrors() and a hidden stand-in fills the outlet, so it is never empty.
    template <class T>
    bool bind(std::shared_ptr<T>& outlet, const std::string& name) {
        auto found = std::dynamic_pointer_cast<T>(view_->viewWithName(name));
        if (found) {
            outlet = std::move(found);
            return true;
        }
        outlet = LayoutLoader::outlet<T>(*view_, name, &errors_);
        return false;
    }
    // Runs fn when a button whose layout says "action": name is pressed; false when none does.
    bool bindAction(const std::string& name, std::function<void()> fn);

private:
    std::string layoutName_;
    std::shared_ptr<View> view_;
    LayoutResult layout_;
    std::vector<std::string> errors_;
    bool loading_ = false;
};
