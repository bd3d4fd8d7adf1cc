#include "overlays/OverlayLayoutClasses.h"

#include <mutex>

#include "overlays/DialogPanelView.h"
#include "platform/ui/LayoutLoader.h"
#include "platform/ui/PanelButton.h"

void OverlayLayoutClasses::registerAll() {
    static std::once_flag once;
    std::call_once(once, [] {
        if (!LayoutLoader::isClassRegistered("PanelButton")) {
            LayoutLoader::registerClass<PanelButton>("PanelButton", [](View& view, const LayoutNode& node) {
                if (node.stringValue("style") == "secondary") static_cast<PanelButton&>(view).setStyle(PanelButton::Style::secondary);
            });
        }
        if (!LayoutLoader::isClassRegistered("DialogPanelView")) LayoutLoader::registerClass<DialogPanelView>("DialogPanelView");
        if (!LayoutLoader::isClassRegistered("TouchThroughView")) LayoutLoader::registerClass<TouchThroughView>("TouchThroughView");
    });
}
