// Update and render the main screen's worth of views offscreen at 640 x 960 pixels: a full-screen
// background picture, the king with his frames, 30 persons walking with frame animations, and a
// few labels. One iteration = the clock moves 1/60 s (timers and completions run) + one frame.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/Clock.h"
#include "platform/core/RunLoop.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Window.h"

namespace {

std::shared_ptr<Image> picture(const std::string& name, Color fallback, int w, int h) {
    if (Image::exists(name)) return Image::named(name);
    std::vector<uint8_t> px;
    px.reserve(static_cast<size_t>(w) * h * 4);
    for (int i = 0; i < w * h; ++i) px.insert(px.end(), {fallback.r8(), fallback.g8(), fallback.b8(), 255});
    return Image::fromRGBA(w, h, std::move(px), 2.0);
}

void walk(const std::shared_ptr<View>& v, double a, double b, double y) {
    std::weak_ptr<View> weak = v;
    AnimationOptions o;
    o.curve = AnimationCurve::linear;
    o.allowUserInteraction = true;
    View::animateWithDuration(1.3, 0, o, [&] { v->setCenter(Point(b, y)); }, [weak, a, b, y](bool finished) {
        if (auto p = weak.lock(); p && finished) walk(p, b, a, y);
    });
}

struct Scene {
    std::shared_ptr<Window> window = std::make_shared<Window>(Rect(0, 0, 320, 480));
    std::vector<std::shared_ptr<Label>> labels;

    Scene() {
        auto background = std::make_shared<ImageView>(Rect(0, 0, 320, 480));
        background->setImage(picture("bg_main.png", Color(0.4f, 0.6f, 0.3f), 640, 960));
        window->addSubview(background);

        auto king = std::make_shared<ImageView>(Rect(120, 90, 80, 80));
        std::vector<std::shared_ptr<Image>> kingFrames;
        for (int i = 1; i <= 3; ++i) kingFrames.push_back(picture("king-1_" + std::to_string(i) + "@2x.png", Color(0.9f, 0.7f, 0.1f), 160, 160));
        king->setImage(kingFrames[0]);
        king->setAnimationImages(kingFrames);
        king->setAnimationDuration(0.3);
        king->startAnimating();
        window->addSubview(king);

        auto stage = std::make_shared<View>(Rect(0, 220, 320, 200));
        window->addSubview(stage);
        auto a = picture("person_1_2_1.png", Color(0.2f, 0.3f, 0.8f), 86, 120);
        auto b = picture("person_1_2_2.png", Color(0.3f, 0.2f, 0.8f), 86, 120);
        for (int i = 0; i < 30; ++i) {
            const double x = 23 + (i % 8) * 39, y = 30 + (i / 8) * 40;
            auto person = std::make_shared<ImageView>(Rect::withCenter(Point(x, y), Size(43, 60)));
            person->setContentMode(ContentMode::scaleAspectFit);
            person->setImage(a);
            person->setAnimationImages({a, b});
            person->setAnimationDuration(0.5 + (i % 3) * 0.1);
            person->startAnimating();
            stage->addSubview(person);
            walk(person, x, x + 15, y);
        }
        for (int i = 0; i < 4; ++i) {
            auto label = std::make_shared<Label>(Rect(10, 10 + i * 24, 300, 22));
            label->setFont(i % 2 ? "system" : "GD-DOTFONT-DQ-TTF", 16);
            label->setTextColor(Color::whiteColor());
            label->setText(i == 0 ? "Gold 12,345 G" : i == 1 ? "たんけんちゅう 12:34" : i == 2 ? "Dungeon 3" : "王様の探検");
            window->addSubview(label);
            labels.push_back(label);
        }
    }
};

// The build's resources: $RE_RESOURCE_DIR, else the folder beside the benchmarks folder.
void useBuildResources() {
    if (std::getenv("RE_RESOURCE_DIR")) return;
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) ResourceBundle::setRootDirectory((exe.parent_path().parent_path() / "resources").string());
}

void BM_RenderMainScreen(benchmark::State& state) {
    useBuildResources();
    RunLoop::main().reset();
    RunLoop::main().setClock(std::make_shared<ManualClock>());
    Scene scene;
    HeadlessRenderer renderer(Size(320, 480));
    int frame = 0;
    for (auto _ : state) {
        RunLoop::main().advanceBy(1.0 / 60);
        // The explore clock's text changes once a second, as the game's would.
        if (++frame % 60 == 0) scene.labels[1]->setText("たんけんちゅう 12:" + std::to_string(10 + frame / 60 % 50));
        renderer.render(*scene.window);
        scene.window->clearDirty();
    }
    state.counters["drawCalls"] = renderer.drawCallsLastFrame();
    state.SetItemsProcessed(state.iterations());
    RunLoop::main().reset();
}
BENCHMARK(BM_RenderMainScreen)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

BENCHMARK_MAIN();
