// Renders a full stage as the main screen shows it in the middle of an explore and writes it as
// a PNG (see StageScene.h for what is on it).
//
//   stagescene [--out FILE] [--scale S] [--resources DIR]
//
// --scale is pixels per point (2: 640 x 960, the phone's pixels; 1: one art pixel per pixel).
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/render/HeadlessRenderer.h"
#include "tools/stagescene/StageScene.h"

int main(int argc, char** argv) {
    std::string out = "stage.png";
    std::string resources = RE_RESOURCE_DIR;
    double scale = 2.0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--out" && i + 1 < argc) {
            out = argv[++i];
        } else if (arg == "--scale" && i + 1 < argc) {
            scale = std::atof(argv[++i]);
        } else if (arg == "--resources" && i + 1 < argc) {
            resources = argv[++i];
        } else {
            std::fprintf(stderr, "usage: stagescene [--out FILE] [--scale S] [--resources DIR]\n");
            return 2;
        }
    }
    if (scale <= 0) scale = 2.0;

    const std::string data = stagescene::prepareWorld(resources);
    stagescene::Scene scene;
    scene.build();

    HeadlessRenderer renderer(stagescene::kScreen.size, scale);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "stagescene: no headless renderer\n");
        return 1;
    }
    renderer.render(*scene.window);
    const std::filesystem::path path(out);
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path());
    if (!renderer.writePNG(out)) return 1;
    std::printf("stagescene: %s (%d x %d)\n", out.c_str(), renderer.pixelWidth(), renderer.pixelHeight());
    std::error_code ignored;
    std::filesystem::remove_all(data, ignored);
    return 0;
}
