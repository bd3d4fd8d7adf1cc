#include "platform/ui/LayoutLoader.h"

#include <nlohmann/json.hpp>

#include "platform/foundation/DataFile.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

#include "platform/resources/LocalizedStrings.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/ui/Button.h"
#include "platform/ui/GamePalette.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/TableView.h"
#include "platform/ui/TableViewCell.h"

using json = nlohmann::json;

constexpr size_t kMaxLayoutBytes = 4u * 1024u * 1024u;
constexpr int kMaxLayoutDepth = 64;  // brackets: each level of views takes two

namespace {

constexpr int kMaxDepth = 64;

struct ClassEntry {
    LayoutLoader::Factory factory;
    LayoutLoader::Configure configure;
};

std::mutex registryMutex;
std::map<std::string, ClassEntry>& registry() {
    static std::map<std::string, ClassEntry> classes = [] {
        std::map<std::string, ClassEntry> builtIn;
        builtIn["View"] = {[] { return std::make_shared<View>(); }, {}};
        builtIn["ImageView"] = {[] { return std::make_shared<ImageView>(); }, {}};
        builtIn["Label"] = {[] { return std::make_shared<Label>(); }, {}};
        builtIn["Button"] = {[] { return std::make_shared<Button>(); }, {}};
        builtIn["TableView"] = {[] { return std::make_shared<TableView>(); }, {}};
        builtIn["TableViewCell"] = {[] { return std::make_shared<TableViewCell>(); }, {}};
        return builtIn;
    }();
    return classes;
}

std::mutex cacheMutex;
// Parsed files by path, kept while the file's time and size stay the same.
struct ParsedFile {
    std::filesystem::file_time_type time;
    uintmax_t size = 0;
    std::shared_ptr<const json> doc;
};
std::map<std::string, ParsedFile>& parsedFiles() {
    static std::map<std::string, ParsedFile> files;
    return files;
}

const std::map<std::string, Color>& namedColors() {
    static const std::map<std::string, Color> colors = {
        {"clear", Color::clear()},           {"black", Color::black()},
        {"white", Color::whiteColor()},      {"ink", GamePalette::ink},
        {"night", GamePalette::night},       {"stone_dk", GamePalette::stoneDark},
        {"stone", GamePalette::stone},       {"stone_lt", GamePalette::stoneLight},
        {"paper", GamePalette::white},       {"cream", GamePalette::cream},
        {"brown_dk", GamePalette::brownDark}, {"brown", GamePalette::brown},
        {"gold_dk", GamePalette::goldDark},  {"gold", GamePalette::gold},
        {"gold_lt", GamePalette::goldLight}, {"red_dk", GamePalette::redDark},
        {"red", GamePalette::red},           {"red_lt", GamePalette::redLight},
        {"blue_dk", GamePalette::blueDark},  {"blue", GamePalette::blue},
        {"blue_lt", GamePalette::blueLight}, {"green_dk", GamePalette::greenDark},
        {"green", GamePalette::green},       {"green_lt", GamePalette::greenLight},
        {"gray", Color::grayColor()},
        {"darkGray", Color::white(1.0f / 3.0f)},
    };
    return colors;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// One build: the file's name for messages, the errors met and the actions found.
struct Builder {
    std::string source;
    LayoutResult* result;
    const std::function<std::string(const std::string&)>* localize;

    void error(const std::string& where, const std::string& message) {
        result->errors.push_back(where + ": " + message);
    }

    bool number(const json& node, const char* key, double& out, const std::string& where) {
        auto it = node.find(key);
        if (it == node.end()) return false;
        if (!it->is_number()) {
            error(where, std::string("\"") + key + "\" is not a number");
            return false;
        }
        out = it->get<double>();
        return true;
    }
    bool boolean(const json& node, const char* key, bool& out, const std::string& where) {
        auto it = node.find(key);
        if (it == node.end()) return false;
        if (!it->is_boolean()) {
            error(where, std::string("\"") + key + "\" is not true or false");
            return false;
        }
        out = it->get<bool>();
        return true;
    }
    bool string(const json& node, const char* key, std::string& out, const std::string& where) {
        auto it = node.find(key);
        if (it == node.end()) return false;
        if (!it->is_string()) {
            error(where, std::string("\"") + key + "\" is not a text");
            return false;
        }
        out = it->get<std::string>();
        return true;
    }
    bool color(const json& node, const char* key, Color& out, const std::string& where) {
        auto it = node.find(key);
        if (it == node.end()) return false;
        if (it->is_array() && (it->size() == 3 || it->size() == 4)) {
            float c[4] = {0, 0, 0, 1};
            for (size_t i = 0; i < it->size(); ++i) {
                if (!(*it)[i].is_number()) {
                    error(where, std::string("\"") + key + "\" must hold numbers");
                    return false;
                }
                c[i] = (*it)[i].get<float>();
            }
            out = Color(c[0], c[1], c[2], c[3]);
            return true;
        }
        if (it->is_string()) {
            const std::string s = it->get<std::string>();
            if (auto named = namedColors().find(s); named != namedColors().end()) {
                out = named->second;
                return true;
            }
            if ((s.size() == 7 || s.size() == 9) && s[0] == '#') {
                uint8_t v[4] = {0, 0, 0, 255};
                bool good = true;
                for (size_t i = 0; i + 1 < s.size(); i += 2) {
                    const int hi = hexDigit(s[i + 1]), lo = hexDigit(s[i + 2]);
                    if (hi < 0 || lo < 0) good = false;
                    else v[i / 2] = static_cast<uint8_t>(hi * 16 + lo);
                }
                if (good) {
                    out = Color::fromRGBA8(v[0], v[1], v[2], v[3]);
                    return true;
                }
            }
        }
        error(where, std::string("\"") + key + "\" is not a colour");
        return false;
    }
    bool rect(const json& node, const char* key, Rect& out, const std::string& where) {
        auto it = node.find(key);
        if (it == node.end()) return false;
        if (!it->is_array() || it->size() != 4 || !std::all_of(it->begin(), it->end(), [](const json& v) { return v.is_number(); })) {
            error(where, std::string("\"") + key + "\" is not [x, y, width, height]");
            return false;
        }
        out = Rect((*it)[0].get<double>(), (*it)[1].get<double>(), (*it)[2].get<double>(), (*it)[3].get<double>());
        return true;
    }
    std::string text(const json& node, const char* literalKey, const char* localizedKey, bool& found, const std::string& where) {
        std::string value;
        found = false;
        if (string(node, localizedKey, value, where)) {
            found = true;
            return (*localize)(value);
        }
        if (string(node, literalKey, value, where)) found = true;
        return value;
    }

    std::shared_ptr<View> build(const json& node, int depth, const std::string& parentPath) {
        if (!node.is_object()) {
            error(parentPath.empty() ? "/" : parentPath, "a view must be a JSON object");
            return nullptr;
        }
        std::string cls = "View";
        string(node, "class", cls, parentPath);
        std::string name;
        string(node, "name", name, parentPath);
        const std::string where = parentPath + "/" + (name.empty() ? cls : name);

        ClassEntry entry;
        {
            std::lock_guard lock(registryMutex);
            auto it = registry().find(cls);
            if (it != registry().end()) entry = it->second;
        }
        std::shared_ptr<View> view = entry.factory ? entry.factory() : nullptr;
        if (!view) {
            error(where, "unknown class \"" + cls + "\", a plain view stands in");
            view = std::make_shared<View>();
        }
        view->setName(name);
        applyView(*view, node, where);
        if (auto* v = dynamic_cast<ImageView*>(view.get())) applyImageView(*v, node, where);
        if (auto* v = dynamic_cast<Label*>(view.get())) applyLabel(*v, node, where);
        if (auto* v = dynamic_cast<Button*>(view.get())) applyButton(*v, node, where);
        if (auto* v = dynamic_cast<TableView*>(view.get())) applyTable(*v, node, where);
        if (auto* v = dynamic_cast<TableViewCell*>(view.get())) applyCell(*v, node, where);
        if (entry.configure) {
            LayoutNode wrapped(&node);
            entry.configure(*view, wrapped);
        }

        if (auto subs = node.find("subviews"); subs != node.end()) {
            if (!subs->is_array()) {
                error(where, "\"subviews\" is not a list");
            } else if (depth >= kMaxDepth) {
                error(where, "views are nested too deeply; the inner ones are left out");
            } else {
                for (const auto& child : *subs)
                    if (auto sub = build(child, depth + 1, where)) view->addSubview(sub);
            }
        }
        return view;
    }

    void applyView(View& view, const json& node, const std::string& where) {
        Rect frame;
        if (rect(node, "frame", frame, where)) view.setFrame(frame);
        Color c;
        if (color(node, "backgroundColor", c, where)) view.setBackgroundColor(c);
        bool flag = false;
        if (boolean(node, "hidden", flag, where)) view.setHidden(flag);
        if (boolean(node, "userInteraction", flag, where)) view.setUserInteractionEnabled(flag);
        if (boolean(node, "clipsToBounds", flag, where)) view.setClipsToBounds(flag);
        double n = 0;
        if (number(node, "alpha", n, where)) view.setAlpha(n);
        if (number(node, "tag", n, where)) view.setTag(static_cast<int>(n));
    }

    void applyImageView(ImageView& view, const json& node, const std::string& where) {
        std::string s;
        if (string(node, "image", s, where)) view.setImage(Image::named(s));
        if (string(node, "contentMode", s, where)) {
            static const std::map<std::string, ContentMode> modes = {
                {"scaleToFill", ContentMode::scaleToFill}, {"scaleAspectFit", ContentMode::scaleAspectFit},
                {"scaleAspectFill", ContentMode::scaleAspectFill}, {"center", ContentMode::center},
                {"topLeft", ContentMode::topLeft}};
            if (auto it = modes.find(s); it != modes.end()) view.setContentMode(it->second);
            else error(where, "unknown content mode \"" + s + "\"");
        }
        if (auto frames = node.find("animationImages"); frames != node.end()) {
            std::vector<std::shared_ptr<Image>> images;
            if (frames->is_array())
                for (const auto& f : *frames)
                    if (f.is_string()) images.push_back(Image::named(f.get<std::string>()));
            if (!frames->is_array() || images.size() != frames->size()) error(where, "\"animationImages\" is not a list of names");
            view.setAnimationImages(std::move(images));
        }
        double n = 0;
        if (number(node, "animationDuration", n, where)) view.setAnimationDuration(n);
        if (number(node, "animationRepeatCount", n, where)) view.setAnimationRepeatCount(static_cast<int>(n));
    }

    void applyFont(Label& label, const json& node, const std::string& where) {
        auto font = node.find("font");
        if (font == node.end()) return;
        std::string fontName = "system";
        double size = 12;
        if (!font->is_object()) {
            error(where, "\"font\" is not {\"name\": ..., \"size\": ...}");
            return;
        }
        string(*font, "name", fontName, where + "/font");
        number(*font, "size", size, where + "/font");
        label.setFont(fontName, size);
    }

    void applyLabel(Label& label, const json& node, const std::string& where) {
        applyFont(label, node, where);
        bool found = false;
        const std::string value = text(node, "text", "textKey", found, where);
        if (found) label.setText(value);
        Color c;
        if (color(node, "color", c, where)) label.setTextColor(c);
        if (color(node, "shadowColor", c, where)) label.setShadowColor(c);
        if (auto it = node.find("shadowOffset"); it != node.end()) {
            if (it->is_array() && it->size() == 2 && (*it)[0].is_number() && (*it)[1].is_number())
                label.setShadowOffset(Size((*it)[0].get<double>(), (*it)[1].get<double>()));
            else error(where, "\"shadowOffset\" is not [width, height]");
        }
        std::string s;
        if (string(node, "alignment", s, where)) {
            if (s == "left") label.setTextAlignment(TextAlignment::left);
            else if (s == "center" || s == "centre") label.setTextAlignment(TextAlignment::center);
            else if (s == "right") label.setTextAlignment(TextAlignment::right);
            else error(where, "unknown alignment \"" + s + "\"");
        }
        double n = 0;
        if (number(node, "lines", n, where)) label.setNumberOfLines(static_cast<int>(n));
        if (number(node, "minimumFontSize", n, where)) label.setMinimumFontSize(n);
        bool flag = false;
        if (boolean(node, "adjustsFontSize", flag, where)) label.setAdjustsFontSizeToFitWidth(flag);
    }

    void applyButton(Button& button, const json& node, const std::string& where) {
        static const std::map<std::string, ControlState> states = {
            {"normal", ControlState::normal}, {"highlighted", ControlState::highlighted}, {"disabled", ControlState::disabled}};
        std::string s;
        if (string(node, "image", s, where)) button.setImage(Image::named(s));
        for (const char* key : {"images", "backgroundImages"}) {
            auto it = node.find(key);
            if (it == node.end()) continue;
            if (!it->is_object()) {
                error(where, std::string("\"") + key + "\" is not {\"normal\": name, ...}");
                continue;
            }
            for (const auto& [state, file] : it->items()) {
                auto st = states.find(state);
                if (st == states.end() || !file.is_string()) {
                    error(where, std::string("\"") + key + "\": bad entry \"" + state + "\"");
                    continue;
                }
                auto image = Image::named(file.get<std::string>());
                if (std::string(key) == "images") button.setImage(image, st->second);
                else button.setBackgroundImage(image, st->second);
            }
        }
        applyFont(button.titleLabel(), node, where);
        bool found = false;
        const std::string title = text(node, "title", "titleKey", found, where);
        if (found) button.setTitle(title);
        Color c;
        if (color(node, "color", c, where)) button.setTitleColor(c);
        if (color(node, "highlightedColor", c, where)) button.setTitleColor(c, ControlState::highlighted);
        bool flag = true;
        if (boolean(node, "enabled", flag, where)) button.setEnabled(flag);
        if (boolean(node, "pressesOnEnter", flag, where)) button.setPressesOnEnter(flag);
        if (boolean(node, "closesOnEscape", flag, where)) button.setClosesOnEscape(flag);
        if (string(node, "action", s, where)) {
            auto shared = std::static_pointer_cast<Button>(button.shared_from_this());
            result->actions.emplace(s, shared);
        }
    }

    void applyTable(TableView& table, const json& node, const std::string& where) {
        double n = 0;
        if (number(node, "rowHeight", n, where)) table.setRowHeight(n);
        Color c;
        if (color(node, "indicatorColor", c, where)) table.setScrollIndicatorColor(c);
    }

    void applyCell(TableViewCell& cell, const json& node, const std::string& where) {
        std::string s;
        if (string(node, "reuseIdentifier", s, where)) cell.setReuseIdentifier(s);
        if (string(node, "selectionStyle", s, where))
            cell.setSelectionStyle(s == "none" ? TableViewCellSelectionStyle::none : TableViewCellSelectionStyle::normal);
    }
};

void awaken(View& view) {
    for (const auto& sub : view.subviews()) awaken(*sub);
    if (auto* aware = dynamic_cast<LayoutAware*>(&view)) aware->awakeFromLayout();
}

std::shared_ptr<View> emptyRoot() { return std::make_shared<View>(Screen::mainScreen().bounds()); }

}  // namespace

// ---- LayoutNode

bool LayoutNode::has(const std::string& key) const { return static_cast<const json*>(json_)->contains(key); }

std::string LayoutNode::stringValue(const std::string& key, const std::string& fallback) const {
    const json& j = *static_cast<const json*>(json_);
    auto it = j.find(key);
    return it != j.end() && it->is_string() ? it->get<std::string>() : fallback;
}

double LayoutNode::numberValue(const std::string& key, double fallback) const {
    const json& j = *static_cast<const json*>(json_);
    auto it = j.find(key);
    return it != j.end() && it->is_number() ? it->get<double>() : fallback;
}

bool LayoutNode::boolValue(const std::string& key, bool fallback) const {
    const json& j = *static_cast<const json*>(json_);
    auto it = j.find(key);
    return it != j.end() && it->is_boolean() ? it->get<bool>() : fallback;
}

// ---- LayoutResult

std::string LayoutResult::errorText() const {
    std::string text;
    for (const auto& e : errors) {
        if (!text.empty()) text += "\n";
        text += e;
    }
    return text;
}

// ---- LayoutLoader

LayoutLoader::LayoutLoader() : LayoutLoader(ResourceBundle::mainBundle()) {}

LayoutLoader::LayoutLoader(const ResourceBundle& bundle)
    : bundle_(bundle), localize_([](const std::string& key) { return NSLocalizedString(key); }) {}

std::string LayoutLoader::pathForLayout(const std::string& name, bool tallScreen) const {
    if (tallScreen) {
        std::string tall = bundle_.pathForResource("layouts/" + name + "-568", "json");
        if (!tall.empty()) return tall;
    }
    return bundle_.pathForResource("layouts/" + name, "json");
}

LayoutResult LayoutLoader::load(const std::string& name) const {
    const std::string path = pathForLayout(name, Screen::mainScreen().isTall());
    if (path.empty()) {
        LayoutResult result;
        result.root = emptyRoot();
        result.errors.push_back("no layout \"layouts/" + name + ".json\" among the resources");
        reportError(name, result.errors.back());
        return result;
    }
    return loadFile(path);
}

LayoutResult LayoutLoader::loadFile(const std::string& path) const {
    std::shared_ptr<const json> parsed;
    std::error_code ec;
    const auto time = std::filesystem::last_write_time(path, ec);
    const uintmax_t size = ec ? 0 : std::filesystem::file_size(path, ec);
    {
        std::lock_guard lock(cacheMutex);
        if (auto it = parsedFiles().find(path); it != parsedFiles().end() && !ec && it->second.time == time && it->second.size == size)
            parsed = it->second.doc;
    }
    LayoutResult result;
    result.path = path;
    if (!parsed) {
        DataFile::Contents file = DataFile::read(path, kMaxLayoutBytes);
        if (file.status != DataFile::Status::Read) {
            result.root = emptyRoot();
            result.errors.push_back("cannot read \"" + path + "\"");
            reportError(path, result.errors.back());
            return result;
        }
        std::string why;
        std::optional<json> text = DataFile::parseJson(std::string(file.bytes.begin(), file.bytes.end()), &why, kMaxLayoutDepth);
        auto doc = std::make_shared<json>(text ? std::move(*text) : json(json::value_t::discarded));
        if (why == "nesting too deep") {
            result.root = emptyRoot();
            result.errors.push_back("\"" + path + "\" is nested too deeply");
            reportError(path, result.errors.back());
            return result;
        }
        if (doc->is_discarded()) {
            result.root = emptyRoot();
            result.errors.push_back("\"" + path + "\" is not valid JSON");
            reportError(path, result.errors.back());
            return result;
        }
        parsed = doc;
        std::lock_guard lock(cacheMutex);
        if (!ec) parsedFiles()[path] = ParsedFile{time, size, parsed};
    }
    Builder builder{path, &result, &localize_};
    result.root = builder.build(*parsed, 0, "");
    if (!result.root) result.root = emptyRoot();
    awaken(*result.root);
    for (const auto& e : result.errors) reportError(path, e);
    return result;
}

LayoutResult LayoutLoader::loadString(const std::string& text, const std::string& sourceName) const {
    LayoutResult result;
    result.path = "";
    std::string why;
    const json doc = DataFile::parseJson(text, &why, kMaxLayoutDepth).value_or(json(json::value_t::discarded));
    if (why == "nesting too deep") {
        result.root = emptyRoot();
        result.errors.push_back("\"" + sourceName + "\" is nested too deeply");
        reportError(sourceName, result.errors.back());
        return result;
    }
    if (doc.is_discarded()) {
        result.root = emptyRoot();
        result.errors.push_back("\"" + sourceName + "\" is not valid JSON");
        reportError(sourceName, result.errors.back());
        return result;
    }
    Builder builder{sourceName, &result, &localize_};
    result.root = builder.build(doc, 0, "");
    if (!result.root) result.root = emptyRoot();
    awaken(*result.root);
    for (const auto& e : result.errors) reportError(sourceName, e);
    return result;
}

void LayoutLoader::registerClass(const std::string& className, Factory factory, Configure configure) {
    std::lock_guard lock(registryMutex);
    registry()[className] = ClassEntry{std::move(factory), std::move(configure)};
}

bool LayoutLoader::isClassRegistered(const std::string& className) {
    std::lock_guard lock(registryMutex);
    return registry().count(className) > 0;
}

void LayoutLoader::clearCache() {
    std::lock_guard lock(cacheMutex);
    parsedFiles().clear();
}

void LayoutLoader::reportError(const std::string& layout, const std::string& message) {
    std::fprintf(stderr, "Royal Expedition: layout %s: %s\n", layout.c_str(), message.c_str());
}
