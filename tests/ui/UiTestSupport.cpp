#include "UiTestSupport.h"

#include <cmath>

#include "platform/resources/ResourceBundle.h"

namespace {
// The tests load fonts and pictures from the build's resource folder.
const bool resourcesSet = [] {
    ResourceBundle::setRootDirectory(RE_TEST_RESOURCE_DIR);
    return true;
}();
}  // namespace

::testing::AssertionResult colorNear(const char* ea, const char* eb, const Color& a, const Color& b) {
    const int tolerance = 3;
    const bool near = std::abs(a.r8() - b.r8()) <= tolerance && std::abs(a.g8() - b.g8()) <= tolerance &&
                      std::abs(a.b8() - b.b8()) <= tolerance && std::abs(a.a8() - b.a8()) <= tolerance;
    if (near) return ::testing::AssertionSuccess();
    auto text = [](const Color& c) {
        return "(" + std::to_string(c.r8()) + ", " + std::to_string(c.g8()) + ", " + std::to_string(c.b8()) + ", " +
               std::to_string(c.a8()) + ")";
    };
    (void)resourcesSet;
    return ::testing::AssertionFailure() << ea << " is " << text(a) << ", " << eb << " is " << text(b);
}
