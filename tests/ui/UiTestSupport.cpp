#include "UiTestSupport.h"

#include <cmath>
#include <filesystem>

#include "platform/resources/ResourceBundle.h"

namespace {
// The tests load fonts and pictures from the build's resource folder.
const bool resourcesSet = [] {
    ResourceBundle::setRootDirectory(RE_TEST_RESOURCE_DIR);
    return true;
}();
}  // namespace

std::shared_ptr<Image> solidImage(Color c, int w, int h, double scale) {
    std::vector<uint8_t> px;
    for (int i = 0; i < w * h; ++i) px.insert(px.end(), {c.r8(), c.g8(), c.b8(), c.a8()});
    return Image::fromRGBA(w, h, std::move(px), scale);
}

std::string picturePath(const std::string& name) {
    const auto dir = std::filesystem::path(RE_TEST_BINARY_DIR) / "ui-pictures";
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

::testing::AssertionResult colorNear(const char* ea, const char* eb, const Color& a, const Color& b) {
    (void)resourcesSet;
    const int tolerance = 3;
    if (std::abs(a.r8() - b.r8()) <= tolerance && std::abs(a.g8() - b.g8()) <= tolerance &&
        std::abs(a.b8() - b.b8()) <= tolerance && std::abs(a.a8() - b.a8()) <= tolerance)
        return ::testing::AssertionSuccess();
    auto text = [](const Color& c) {
        return "(" + std::to_string(c.r8()) + ", " + std::to_string(c.g8()) + ", " + std::to_string(c.b8()) + ", " +
               std::to_string(c.a8()) + ")";
    };
    return ::testing::AssertionFailure() << ea << " is " << text(a) << ", " << eb << " is " << text(b);
}
