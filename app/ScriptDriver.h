#pragma once
// Plays the game from a script, one command a line, on the headless window and the manual clock:
//
//   wait S | clock S | touch X Y | swipe X1 Y1 X2 Y2 [STEPS] | press NAME | select TABLE ROW
//   background | activate | terminate | screenshot FILE | frame | store MODE
//   state | views | notifications | pages | echo TEXT
//
// `press` acts as a finger on the button's centre would: a button covered by another view is not
// pressed. Rows of a named table go by "<table>.row<N>" (from 0) and their outlets by
// "<table>.row<N>.<outlet>"; alerts and action sheets by "alertView" with buttons "alertBtn<N>",
// N the index the game receives; the store's sheet by "storeSheet", "storeBuyBtn",
// "storeCancelBtn". `select` taps a row after scrolling it into view. Blank lines and lines starting with # are skipped. Each command's output is flushed before the
// next line is read, so another program can drive the game step by step. A bad line stops the
// run: "line N: reason" on the error stream and status 2.
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

class AppDelegate;
class HeadlessRenderer;
class ManualClock;
class Value;
class View;
class Window;

class ScriptDriver {
public:
    static constexpr int kDefaultSwipeSteps = 10;
    static constexpr int kMaxSwipeSteps = 1000;
    static constexpr int kErrorStatus = 2;
    // The longest `wait` (a day of game time); longer spans are a `clock` jump.
    static constexpr double kLongestWait = 86400;

    ScriptDriver(AppDelegate& app, Window& window, std::shared_ptr<ManualClock> clock, std::ostream& out, std::ostream& err);
    ~ScriptDriver();

    // Runs every line; 0 at the end of the script or after `terminate`, 2 at the first bad line.
    int run(std::istream& in);
    // One line; false with the reason when it is bad.
    bool runLine(const std::string& line, std::string* reason);
    bool isTerminated() const { return terminated_; }

    // Lets everything due now run (and the collection recordings finish).
    void settle();
    void wait(double seconds);

    // The JSON texts the commands print (without their prefix).
    std::string stateJson() const;
    std::string viewsJson() const;
    std::string notificationsJson() const;
    std::string pagesJson() const;
    // The named views on screen now, front to back, with their frames in screen points: what
    // `views` lists, without the JSON.
    struct ShownView {
        std::string name;
        double x, y, width, height;
    };
    std::vector<ShownView> shownViews() const;
    bool isShown(const std::string& name) const;
    // A saved-state value as JSON.
    static std::string valueToJson(const Value& value);
    // The name a view goes by in `views` and `press` (persons by their tag: "person7"; table rows
    // and their outlets by the table: "myTableView.row2.buyBtn").
    static std::string nameOfView(const View& view);

private:
    bool press(const std::string& name, std::string* reason);
    bool select(const std::string& table, const std::string& row, std::string* reason);

    AppDelegate& app_;
    Window& window_;
    std::shared_ptr<ManualClock> clock_;
    std::ostream& out_;
    std::ostream& err_;
    bool terminated_ = false;
    // The `frame` command's picture, kept and redrawn only where it changed, as the window's is.
    std::unique_ptr<HeadlessRenderer> keptFrame_;
};
