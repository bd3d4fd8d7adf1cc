#include "app/ScriptDriver.h"

#include <cxxabi.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <istream>
#include <nlohmann/json.hpp>
#include <ostream>
#include <sstream>
#include <typeinfo>
#include <vector>

#include "app/AppDelegate.h"
#include "app/LaunchOptions.h"
#include "platform/core/Clock.h"
#include "platform/core/RunLoop.h"
#include "platform/foundation/Value.h"
#include "platform/foundation/ValueJson.h"
#include "platform/payments/PaymentQueue.h"
#include "platform/payments/StoreSheetView.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/services/Analytics.h"
#include "platform/services/LocalNotificationCenter.h"
#include "platform/services/UrlOpener.h"
#include "platform/sound/SoundEngine.h"
#include "platform/store/SavedStateStore.h"
#include "platform/ui/Button.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/ModalAlertView.h"
#include "platform/ui/Image.h"
#include "platform/ui/Slider.h"
#include "platform/ui/TableView.h"
#include "platform/ui/Window.h"
#include "stage/PersonView.h"

using nlohmann::json;

namespace {

std::string className(const View& view) {
    const char* mangled = typeid(view).name();
    int status = 0;
    char* plain = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = status == 0 && plain ? plain : mangled;
    std::free(plain);
    return name;
}

// Calls fn for every visible view, front to back (later sub-views are in front).
void forEachVisibleFrontToBack(const std::shared_ptr<View>& view, const std::function<void(const std::shared_ptr<View>&)>& fn) {
    if (view->isHidden() || view->alpha() < 0.01) return;
    const auto subviews = view->subviews();
    for (auto it = subviews.rbegin(); it != subviews.rend(); ++it) forEachVisibleFrontToBack(*it, fn);
    fn(view);
}

// "collectionCells.3": a name, a dot and a number.
bool isNumberedGroup(const std::string& name) {
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) return false;
    for (size_t i = dot + 1; i < name.size(); ++i)
        if (name[i] < '0' || name[i] > '9') return false;
    return true;
}

// "myTableView.row2" for a row on screen in a named table, else "".
std::string rowName(const TableViewCell& cell) {
    auto* table = dynamic_cast<const TableView*>(cell.superview());
    if (!table || table->name().empty()) return "";
    for (int row : table->indexesForVisibleRows())
        if (table->cellForRowAtIndex(row).get() == &cell) return table->name() + ".row" + std::to_string(row);
    return "";
}

}  // namespace

ScriptDriver::ScriptDriver(AppDelegate& app, Window& window, std::shared_ptr<ManualClock> clock, std::ostream& out, std::ostream& err)
    : app_(app), window_(window), clock_(std::move(clock)), out_(out), err_(err) {}

ScriptDriver::~ScriptDriver() = default;

void ScriptDriver::settle() {
    PersonView::waitForRecordings();
    RunLoop::main().drain();
    PersonView::waitForRecordings();
    RunLoop::main().drain();
}

void ScriptDriver::wait(double seconds) {
    // In steps, so that the collection recordings finish between the frames that wait on them.
    double left = seconds;
    while (left > 1e-9) {
        const double step = left > 0.5 ? 0.5 : left;
        RunLoop::main().advanceBy(step);
        settle();
        left -= step;
    }
    settle();
}

int ScriptDriver::run(std::istream& in) {
    std::string line;
    int number = 0;
    while (!terminated_ && std::getline(in, line)) {
        ++number;
        std::string reason;
        bool ok = false;
        try {
            ok = runLine(line, &reason);
        } catch (const std::exception& e) {  // a fault of ours: the line fails, the run ends cleanly
            reason = std::string("internal error: ") + e.what();
        }
        if (!ok) {
            out_.flush();
            err_ << "line " << number << ": " << reason << std::endl;
            return kErrorStatus;
        }
        out_.flush();
    }
    return 0;
}

bool ScriptDriver::runLine(const std::string& rawLine, std::string* reason) {
    std::string line = rawLine;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
    const auto first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') return true;
    line = line.substr(first);
    std::istringstream words(line);
    std::string command;
    words >> command;
    std::vector<std::string> args;
    for (std::string w; words >> w;) args.push_back(w);

    auto numbers = [&](size_t minCount, size_t maxCount, std::vector<double>* out) {
        if (args.size() < minCount || args.size() > maxCount) {
            *reason = command + " takes " + std::to_string(minCount) + (minCount == maxCount ? "" : " to " + std::to_string(maxCount)) +
                      " numbers";
            return false;
        }
        for (const auto& a : args) {
            double d = 0;
            if (!LaunchOptions::parseNumber(a, &d)) {
                *reason = "bad number \"" + a + "\"";
                return false;
            }
            out->push_back(d);
        }
        return true;
    };

    std::vector<double> n;
    if (command == "wait") {
        if (!numbers(1, 1, &n)) return false;
        if (n[0] < 0 || n[0] > kLongestWait) {
            *reason = "wait takes a number of seconds from 0 to " + std::to_string(int64_t(kLongestWait));
            return false;
        }
        wait(n[0]);
    } else if (command == "clock") {
        if (!numbers(1, 1, &n)) return false;
        const double to = clock_->wallNow() + n[0];
        if (!(to >= 0 && to <= LaunchOptions::kLatestEpoch)) {
            *reason = "clock would leave the years 1970 to 9999";
            return false;
        }
        clock_->jumpWall(n[0]);
    } else if (command == "touch") {
        if (!numbers(2, 2, &n)) return false;
        window_.touchDown(n[0], n[1]);
        settle();
        window_.touchUp(n[0], n[1]);
        settle();
    } else if (command == "swipe") {
        if (!numbers(4, 5, &n)) return false;
        // A bounded step count: a million moves would stall the run, 1e12 would not fit an int.
        if (n.size() > 4 && (n[4] < 1 || n[4] > kMaxSwipeSteps || n[4] != std::floor(n[4]))) {
            *reason = "swipe takes a whole number of steps, 1 to " + std::to_string(kMaxSwipeSteps);
            return false;
        }
        const int steps = n.size() > 4 ? static_cast<int>(n[4]) : kDefaultSwipeSteps;
        window_.touchDown(n[0], n[1]);
        settle();
        for (int i = 1; i <= steps; ++i) {
            const double t = static_cast<double>(i) / steps;
            window_.touchMove(n[0] + (n[2] - n[0]) * t, n[1] + (n[3] - n[1]) * t);
            settle();
        }
        window_.touchUp(n[2], n[3]);
        settle();
    } else if (command == "press") {
        if (args.size() != 1) {
            *reason = "press takes one button name";
            return false;
        }
        if (!press(args[0], reason)) return false;
    } else if (command == "select") {
        if (args.size() != 2) {
            *reason = "select takes a table name and a row number";
            return false;
        }
        if (!select(args[0], args[1], reason)) return false;
    } else if (command == "store") {
        if (args.size() != 1) {
            *reason = "store takes one mode (" + StoreModes::allNames() + ")";
            return false;
        }
        auto mode = StoreModes::fromName(args[0]);
        if (!mode) {
            *reason = StoreModes::unknownModeMessage(args[0]);
            return false;
        }
        PaymentQueue::defaultQueue().setMode(*mode);
    } else if (command == "key") {
        // As the keyboard of the window: Enter presses the frontmost default button, Esc closes or
        // cancels. Headless there is no window to make fullscreen: F11 does nothing.
        if (args.size() != 1 || !(args[0] == "Return" || args[0] == "Enter" || args[0] == "Escape" || args[0] == "F11")) {
            *reason = "key takes one of Return, Enter, Escape, F11";
            return false;
        }
        if (args[0] == "Escape") window_.handleEscapeKey();
        else if (args[0] != "F11") window_.handleEnterKey();
        settle();
    } else if (command == "background" || command == "activate" || command == "terminate") {
        if (!args.empty()) {
            *reason = command + " takes nothing";
            return false;
        }
        if (command == "background") {
            app_.applicationWillResignActive();
            app_.applicationDidEnterBackground();
        } else if (command == "activate") {
            app_.applicationWillEnterForeground();
            app_.applicationDidBecomeActive();
        } else {
            app_.applicationWillTerminate();
            SavedStateStore::standardUserDefaults().synchronize();
            terminated_ = true;
        }
        settle();
    } else if (command == "screenshot") {
        if (args.size() != 1) {
            *reason = "screenshot takes one file name";
            return false;
        }
        HeadlessRenderer renderer(window_.bounds().size);
        if (!renderer.isValid()) {
            *reason = "no renderer";
            return false;
        }
        renderer.render(window_);
        if (!renderer.writePNG(args[0])) {
            *reason = "could not write " + args[0];
            return false;
        }
    } else if (command == "frame") {
        // The picture kept from frame to frame and redrawn where it changed, against a whole
        // frame drawn afresh: they must agree to the pixel.
        if (!args.empty()) {
            *reason = "frame takes nothing";
            return false;
        }
        if (!keptFrame_) keptFrame_ = std::make_unique<HeadlessRenderer>(window_.bounds().size);
        HeadlessRenderer whole(window_.bounds().size);
        if (!keptFrame_->isValid() || !whole.isValid()) {
            *reason = "no renderer";
            return false;
        }
        const long changed = keptFrame_->renderChanges(window_);
        whole.render(window_);
        const auto [x, y] = whole.firstDifference(*keptFrame_);
        if (x < 0) out_ << "FRAME same " << changed << "\n";
        else out_ << "FRAME differs " << x << " " << y << "\n";
    } else if (command == "state") {
        out_ << "STATE " << stateJson() << "\n";
    } else if (command == "views") {
        out_ << "VIEWS " << viewsJson() << "\n";
    } else if (command == "notifications") {
        out_ << "NOTIFICATIONS " << notificationsJson() << "\n";
    } else if (command == "pages") {
        out_ << "PAGES " << pagesJson() << "\n";
    } else if (command == "opened") {
        out_ << "OPENED " << json(UrlOpener::shared().openedUrls()).dump() << "\n";
    } else if (command == "installed") {
        // The schemes that count as installed games from now on (none: no game is installed).
        for (const auto& scheme : args) {
            if (!UrlOpener::isValidScheme(scheme)) {
                *reason = "not an address scheme: \"" + scheme + "\"";
                return false;
            }
        }
        UrlOpener::shared().setInstalledSchemes(args);
    } else if (command == "sounds") {
        out_ << "SOUNDS " << json(SoundEngine::sharedEngine().takePlayedLog()).dump() << "\n";
    } else if (command == "echo") {
        const auto space = line.find_first_of(" \t");
        out_ << (space == std::string::npos ? std::string() : line.substr(line.find_first_not_of(" \t", space))) << "\n";
    } else {
        *reason = "unknown command \"" + command + "\"";
        return false;
    }
    return true;
}

bool ScriptDriver::press(const std::string& name, std::string* reason) {
    std::shared_ptr<Button> found;
    bool sawHidden = false, sawDisabled = false;
    forEachVisibleFrontToBack(window_.shared_from_this(), [&](const std::shared_ptr<View>& v) {
        if (found || nameOfView(*v) != name) return;
        auto button = std::dynamic_pointer_cast<Button>(v);
        if (!button) return;
        if (!button->isEnabled()) {
            sawDisabled = true;
            return;
        }
        found = button;
    });
    if (!found) {
        if (!sawDisabled) sawHidden = window_.viewWithName(name) != nullptr;
        *reason = sawDisabled ? "button \"" + name + "\" is disabled"
                  : sawHidden ? "button \"" + name + "\" is hidden"
                              : "no button \"" + name + "\"";
        return false;
    }
    // As a finger would: the touch at the button's centre must reach it (or a part of it), not a
    // view in front of it nor a screen that takes no touches while it animates.
    const Point centre = found->convertPointToView(found->bounds().center(), nullptr);
    std::shared_ptr<View> hit = window_.hitTest(centre);
    for (auto v = hit; v; v = v->superviewPtr())
        if (v == found) {
            found->sendAction();
            settle();
            return true;
        }
    const std::string front = hit ? nameOfView(*hit) : std::string();
    *reason = "button \"" + name + "\" is " + (!hit ? "not taking touches now" : "covered by " + (front.empty() ? className(*hit) : front));
    return false;
}

bool ScriptDriver::select(const std::string& tableName, const std::string& rowText, std::string* reason) {
    double number = -1;
    if (!LaunchOptions::parseNumber(rowText, &number) || number < 0 || number != std::floor(number) || number > 1e9) {
        *reason = "select takes a row number of 0 or more, not \"" + rowText + "\"";
        return false;
    }
    std::shared_ptr<TableView> table;
    forEachVisibleFrontToBack(window_.shared_from_this(), [&](const std::shared_ptr<View>& v) {
        if (!table && v->name() == tableName) table = std::dynamic_pointer_cast<TableView>(v);
    });
    if (!table) {
        *reason = "no table \"" + tableName + "\" on screen";
        return false;
    }
    const int row = static_cast<int>(number);
    const int rows = table->numberOfRowsCached();
    if (row >= rows) {
        *reason = "table \"" + tableName + "\" has " + std::to_string(rows) + " rows" +
                  (rows > 0 ? " (0 to " + std::to_string(rows - 1) + ")" : "") + ", no row " + std::to_string(row);
        return false;
    }
    table->scrollToRow(row, TableViewScrollPosition::none, false);
    settle();
    // As a finger would: on a part of the row that is no button of its own, and not covered.
    const Rect r = table->rectForRow(row);
    std::string front;
    for (double share : {0.5, 0.25, 0.1, 0.75, 0.9}) {
        const Point p = table->convertPointToView(Point(r.minX() + r.width() * share, r.midY()), nullptr);
        std::shared_ptr<View> hit = window_.hitTest(p);
        bool onTable = false;
        for (auto v = hit; v && !onTable; v = v->superviewPtr()) onTable = v == table;
        if (!onTable || (std::dynamic_pointer_cast<Button>(hit) && hit != table)) {
            // Named by the nearest named view around what is in front (an alert's dimming: "alertView").
            for (auto v = hit; v && front.empty() && !onTable; v = v->superviewPtr()) front = nameOfView(*v);
            if (front.empty() && hit && !onTable) front = className(*hit);
            continue;
        }
        window_.touchDown(p);
        settle();
        window_.touchUp(p);
        settle();
        return true;
    }
    *reason = "row " + std::to_string(row) + " of \"" + tableName + "\" is " + (front.empty() ? "not taking touches now" : "covered by " + front);
    return false;
}

std::string ScriptDriver::nameOfView(const View& view) {
    // Rows of a named table, and the outlets in them, go by the table: "myTableView.row2.buyBtn".
    if (auto* cell = dynamic_cast<const TableViewCell*>(&view)) {
        std::string row = rowName(*cell);
        if (!row.empty()) return row;
    }
    std::string own = view.name();
    if (own.empty() && dynamic_cast<const PersonView*>(&view) && view.tag() > 0) own = "person" + std::to_string(view.tag());
    if (own.empty()) return "";
    for (const View* up = view.superview(); up; up = up->superview()) {
        if (auto* cell = dynamic_cast<const TableViewCell*>(up)) {
            std::string row = rowName(*cell);
            return row.empty() ? own : row + "." + own;
        }
        // A numbered group ("collectionCells.3") names the views in it: "collectionCells.3.cellBtn".
        if (isNumberedGroup(up->name())) return up->name() + "." + own;
    }
    return own;
}

std::string ScriptDriver::valueToJson(const Value& value) { return ::valueToJson(value).dump(-1, ' ', false, json::error_handler_t::replace); }

std::string ScriptDriver::stateJson() const { return valueToJson(SavedStateStore::standardUserDefaults().dictionaryRepresentation()); }

std::string ScriptDriver::viewsJson() const {
    json list = json::array();
    forEachVisibleFrontToBack(window_.shared_from_this(), [&](const std::shared_ptr<View>& v) {
        const std::string name = nameOfView(*v);
        if (name.empty()) return;
        const Rect f = v->convertRectToView(v->bounds(), nullptr);
        json item = {{"name", name}, {"class", className(*v)}, {"frame", {f.minX(), f.minY(), f.width(), f.height()}}, {"alpha", v->alpha()}};
        if (auto* label = dynamic_cast<const Label*>(v.get())) item["text"] = label->text();
        if (auto* picture = dynamic_cast<const ImageView*>(v.get()); picture && picture->image() && !picture->image()->name().empty())
            item["image"] = picture->image()->name();
        if (auto* button = dynamic_cast<Button*>(v.get())) item["text"] = button->titleForState(button->state());
        if (auto* slider = dynamic_cast<const Slider*>(v.get())) item["value"] = slider->value();
        // A row's own text, when it has one.
        if (auto* cell = dynamic_cast<TableViewCell*>(v.get()); cell && cell->hasTextLabel()) item["text"] = cell->textLabel().text();
        // A button's picture, by file name (switches show their state so).
        if (auto* button = dynamic_cast<Button*>(v.get()); button && button->imageForState(button->state()))
            item["image"] = std::filesystem::path(button->imageForState(button->state())->name()).filename().string();
        // Alerts and action sheets ("alertView", buttons "alertBtn<index the game receives>"),
        // and the store's sheet with its product and price.
        if (auto* panel = dynamic_cast<const ModalPanelView*>(v.get())) item["title"] = panel->title();
        if (auto* alert = dynamic_cast<const ModalAlertView*>(v.get())) item["message"] = alert->message();
        if (auto* sheet = dynamic_cast<const StoreSheetView*>(v.get())) {
            item["product"] = sheet->product().localizedTitle;
            item["price"] = sheet->product().localizedPrice();
        }
        list.push_back(std::move(item));
    });
    return list.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::vector<ScriptDriver::ShownView> ScriptDriver::shownViews() const {
    std::vector<ShownView> shown;
    forEachVisibleFrontToBack(window_.shared_from_this(), [&](const std::shared_ptr<View>& v) {
        std::string name = nameOfView(*v);
        if (name.empty()) return;
        const Rect f = v->convertRectToView(v->bounds(), nullptr);
        shown.push_back({std::move(name), f.minX(), f.minY(), f.width(), f.height()});
    });
    return shown;
}

bool ScriptDriver::isShown(const std::string& name) const {
    bool found = false;
    forEachVisibleFrontToBack(window_.shared_from_this(), [&](const std::shared_ptr<View>& v) {
        if (!found && v->name() == name) found = nameOfView(*v) == name;
    });
    return found;
}

std::string ScriptDriver::notificationsJson() const {
    json list = json::array();
    for (const auto& n : LocalNotificationCenter::shared()->scheduledLocalNotifications()) {
        json item = {{"fireDate", n.fireDate}, {"body", n.alertBody ? json(*n.alertBody) : json(nullptr)},
                     {"sound", n.soundName ? json(*n.soundName) : json(nullptr)}, {"badge", n.badgeNumber ? json(*n.badgeNumber) : json(nullptr)},
                     {"userInfo", ::valueToJson(n.userInfo)}, {"launchImage", n.launchImage}};
        list.push_back(std::move(item));
    }
    return list.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string ScriptDriver::pagesJson() const {
    json list = json::array();
    if (auto recording = std::dynamic_pointer_cast<RecordingAnalytics>(Analytics::shared()))
        for (const auto& page : recording->pageViews()) list.push_back(page);
    return list.dump(-1, ' ', false, json::error_handler_t::replace);
}
