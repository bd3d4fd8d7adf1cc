#pragma once
// The view classes the overlay layouts may name besides the toolkit's own:
//   "PanelButton"      a pixel-style button; "style": "primary" (royal red, the default) or
//                      "secondary" (grey stone, for cancelling)
//   "DialogPanelView"  the parchment panel of the message box
//   "TouchThroughView" a root that can let touches beside its panels through (hint boxes)
// Registered once, before the first overlay loads its layout.
class OverlayLayoutClasses {
public:
    OverlayLayoutClasses() = delete;
    static void registerAll();
};
