#pragma once
// Layout files: the geometry and looks of a screen, kept out of the code. A layout is a JSON
// tree of views below the resources, "layouts/<Name>.json"; on the tall screen (568 points)
// "layouts/<Name>-568.json" is taken instead when it exists. The format (docs/LAYOUTS.md):
//
//   {
//     "class": "View",                 View, ImageView, Label, Button, TableView, TableViewCell, Slider,
//                                      or a class the game registered (registerClass)
//     "name": "exploreBtn",            the outlet name the controller binds by
//     "frame": [x, y, w, h],           points, in the parent's coordinates
//     "backgroundColor": "#1b1426",    "#rrggbb", "#rrggbbaa", a palette name ("ink", "cream",
//                                      "gold", ...), "white", "black", "clear", or [r, g, b, a] 0..1
//     "hidden": false, "alpha": 1, "tag": 0, "userInteraction": true, "clipsToBounds": false,
//     "contentMode": "scaleToFill",    | scaleAspectFit | scaleAspectFill | center | topLeft
//     "image": "stage_1@2x.png",       image views (and a button's picture for all states)
//     "animationImages": ["a.png", "b.png"], "animationDuration": 0.75, "animationRepeatCount": 0,
//     "images": {"normal": "btn.png", "highlighted": "btn_on.png", "disabled": "btn_off.png"},
//     "backgroundImages": {"normal": ...},  buttons
//     "font": {"name": "GD-DOTFONT-DQ-TTF", "size": 8},
//     "text": "literal", "textKey": "LocalizedKey",   labels; buttons take "title" / "titleKey"
//     "color": "white",                the text colour of labels, the title colour of buttons
//     "alignment": "left",             | center | right
//     "lines": 1, "adjustsFontSize": false, "minimumFontSize": 6,
//     "shadowColor": "ink", "shadowOffset": [1, 1],
//     "action": "pressExplore",        buttons: the controller's action by this name
//     "enabled": true,                 buttons
//     "rowHeight": 65, "indicatorColor": "white",      table views
//     "reuseIdentifier": "HarborListCell", "selectionStyle": "none",   table rows
//     "subviews": [ ... ]              back to front
//   }
//
// Failures never crash: a missing layout or a file that is not valid JSON gives an empty root
// view over the screen and an error message (also written to the error output); an unknown
// class or a property of the wrong kind is reported and the rest of the tree is still built.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/View.h"

class Button;
class ResourceBundle;

// What a class registered by the game may read from its node of the layout.
class LayoutNode {
public:
    explicit LayoutNode(const void* json) : json_(json) {}
    bool has(const std::string& key) const;
    std::string stringValue(const std::string& key, const std::string& fallback = "") const;
    double numberValue(const std::string& key, double fallback = 0) const;
    bool boolValue(const std::string& key, bool fallback = false) const;

private:
    const void* json_;
};

// Views that want to finish themselves once their layout is built (binding their own outlets)
// implement this; the loader calls it children first.
class LayoutAware {
public:
    virtual ~LayoutAware() = default;
    virtual void awakeFromLayout() = 0;
};

struct LayoutResult {
    std::shared_ptr<View> root;          // never nullptr
    std::string path;                    // the file read, "" when none was found
    std::vector<std::string> errors;     // what went wrong, for the player's log
    // Buttons by their "action" name, in layout order.
    std::multimap<std::string, std::weak_ptr<Button>> actions;
    bool ok() const { return errors.empty(); }
    std::string errorText() const;
};

class LayoutLoader {
public:
    using Factory = std::function<std::shared_ptr<View>()>;
    using Configure = std::function<void(View&, const LayoutNode&)>;

    // Layouts of the main bundle, texts through NSLocalizedString.
    LayoutLoader();
    explicit LayoutLoader(const ResourceBundle& bundle);
    // How "textKey" / "titleKey" are turned into texts (tests).
    void setLocalizer(std::function<std::string(const std::string&)> localize) { localize_ = std::move(localize); }

    // "layouts/<name>.json", or "layouts/<name>-568.json" on the tall screen when present.
    LayoutResult load(const std::string& name) const;
    // The file for a name and screen, "" when there is none.
    std::string pathForLayout(const std::string& name, bool tallScreen) const;
    LayoutResult loadFile(const std::string& path) const;
    LayoutResult loadString(const std::string& json, const std::string& sourceName = "layout") const;

    // The root of a layout as a T (for rows and panels of a registered class). When the file
    // fails or its root is no T, the error is reported and a plain T stands in.
    template <class T>
    static std::shared_ptr<T> loadView(const std::string& name) {
        LayoutResult result = LayoutLoader().load(name);
        if (auto typed = std::dynamic_pointer_cast<T>(result.root)) return typed;
        reportError(name, "its root is not of the class the game asked for");
        return std::make_shared<T>();
    }

    // The game's own classes by name; the factory makes an empty view, the loader then applies
    // the properties of its base classes (a KingImageView gets "image", a StatusView "frame"),
    // and configure (may be empty) reads the class's own properties.
    static void registerClass(const std::string& className, Factory factory, Configure configure = {});
    template <class T>
    static void registerClass(const std::string& className, Configure configure = {}) {
        registerClass(className, [] { return std::make_shared<T>(); }, std::move(configure));
    }
    static bool isClassRegistered(const std::string& className);

    // The named view below root as a T; when there is none (or it has another class) the error
    // is reported and a hidden, detached T stands in, so an outlet is never empty.
    template <class T>
    static std::shared_ptr<T> outlet(View& root, const std::string& name, std::vector<std::string>* errors = nullptr) {
        if (auto typed = std::dynamic_pointer_cast<T>(root.viewWithName(name))) return typed;
        const std::string message = "no view named \"" + name + "\" of the expected class";
        if (errors) errors->push_back(message);
        reportError(root.name().empty() ? "layout" : root.name(), message);
        auto stand = std::make_shared<T>();
        stand->setHidden(true);
        return stand;
    }

    // Forgets the files read so far (they are parsed once and kept).
    static void clearCache();
    static void reportError(const std::string& layout, const std::string& message);

private:
    const ResourceBundle& bundle_;
    std::function<std::string(const std::string&)> localize_;
};
