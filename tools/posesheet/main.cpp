// Renders the king in each state and the persons in each pose, frame by frame, through the real
// views and the headless renderer. Every cell is a live view: cell j of a row was started j frame
// times earlier than cell j+1 ... so that one render on the manual clock shows the whole
// animation laid out from left to right.
//
//   king-states.png    rows: waiting and blinking, going explore, falling asleep, asleep,
//                      explore end, check end, one hop
//   person-poses.png   rows: idle, walking, carrying, holding, throwing (25 frames, two rows),
//                      waiting still
//   effects.png        rows: smoke puff, coffin effect
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/RunLoop.h"
#include "platform/render/HeadlessRenderer.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/View.h"
#include "stage/EffectManager.h"
#include "stage/KingImageView.h"
#include "stage/PoseManager.h"

namespace {

constexpr Color kSheet = Color::fromRGBA8(0x1b, 0x14, 0x26);   // ink
constexpr Color kCell = Color::fromRGBA8(0x4a, 0x4e, 0x69);    // stone_dk
constexpr Color kFloor = Color::fromRGBA8(0x33, 0x26, 0x3f);   // night
constexpr double kGap = 4;

// A view to be started at (render time - elapsed).
struct Cell {
    double elapsed;
    std::function<void()> start;
};

class Sheet {
public:
    Sheet(Size cellSize, int columns) : cellSize_(cellSize), columns_(columns) {}

    // A new row of cells; returns the row's index.
    int addRow() { return rows_++; }

    // A cell's frame; the view shows through a coloured panel with a floor line.
    Rect cellFrame(int row, int column) const {
        return {kGap + column * (cellSize_.width + kGap), kGap + row * (cellSize_.height + kGap), cellSize_.width, cellSize_.height};
    }

    std::shared_ptr<View> panel(int row, int column) {
        auto back = View::make(cellFrame(row, column));
        back->setBackgroundColor(kCell);
        auto floor = View::make(Rect(0, cellSize_.height * 0.9, cellSize_.width, cellSize_.height * 0.1));
        floor->setBackgroundColor(kFloor);
        back->addSubview(floor);
        panels_.push_back(back);
        return back;
    }

    void schedule(double elapsed, std::function<void()> start) { cells_.push_back({elapsed, std::move(start)}); }

    // Starts every cell at its own instant, moves the clock to the render time, draws and writes.
    bool render(const std::string& path, double scale) {
        auto root = View::make(Rect(0, 0, kGap + columns_ * (cellSize_.width + kGap), kGap + rows_ * (cellSize_.height + kGap)));
        root->setBackgroundColor(kSheet);
        for (auto& p : panels_) root->addSubview(p);
        std::stable_sort(cells_.begin(), cells_.end(), [](const Cell& a, const Cell& b) { return a.elapsed > b.elapsed; });
        RunLoop& loop = RunLoop::main();
        const double t0 = loop.now();
        const double renderAt = t0 + (cells_.empty() ? 0 : cells_.front().elapsed);
        for (auto& cell : cells_) {
            const double at = renderAt - cell.elapsed;
            if (at > loop.now()) loop.advanceBy(at - loop.now());
            cell.start();
        }
        if (renderAt > loop.now()) loop.advanceBy(renderAt - loop.now());
        HeadlessRenderer renderer(root->bounds().size, scale);
        if (!renderer.isValid()) {
            std::fprintf(stderr, "posesheet: no headless renderer\n");
            return false;
        }
        renderer.render(*root, kSheet);
        const bool ok = renderer.writePNG(path);
        if (ok) std::printf("%s (%d x %d)\n", path.c_str(), renderer.pixelWidth(), renderer.pixelHeight());
        // Leave nothing running into the next sheet.
        panels_.clear();
        cells_.clear();
        loop.reset();
        return ok;
    }

private:
    Size cellSize_;
    int columns_;
    int rows_ = 0;
    std::vector<std::shared_ptr<View>> panels_;
    std::vector<Cell> cells_;
};

// Mid-frame instant of frame j at the given rate.
double midFrame(int j, double framesPerSecond) { return (j + 0.5) / framesPerSecond; }

std::shared_ptr<KingImageView> addKing(Sheet& sheet, int row, int column) {
    auto panel = sheet.panel(row, column);
    auto king = View::make<KingImageView>(Rect(0, 0, 80, 80), nullptr);
    panel->addSubview(king);
    return king;
}

bool renderKingSheet(const std::string& path, double scale) {
    Sheet sheet(Size(80, 80), 11);
    const double fps = KingImageView::kFramesPerSecond;

    // Waiting: the still picture, then one blink pass.
    int row = sheet.addRow();
    addKing(sheet, row, 0)->startWaitingAnimation();
    for (int j = 0; j < 5; ++j) {
        auto king = addKing(sheet, row, j + 1);
        sheet.schedule(midFrame(j, fps), [king] { king->showBlink(); });
    }

    // Going explore: nine frames once.
    row = sheet.addRow();
    for (int j = 0; j < 9; ++j) {
        auto king = addKing(sheet, row, j);
        sheet.schedule(midFrame(j, fps), [king] { king->startGoingExploreAnimation(); });
    }

    // Falling asleep, then the sleeping loop (which starts 0.9 s in).
    row = sheet.addRow();
    for (int j = 0; j < 9; ++j) {
        auto king = addKing(sheet, row, j);
        sheet.schedule(midFrame(j, fps), [king] { king->startSleepAnimation(); });
    }
    row = sheet.addRow();
    for (int j = 0; j < 10; ++j) {
        auto king = addKing(sheet, row, j);
        sheet.schedule(0.9 + midFrame(j, fps), [king] { king->startSleepAnimation(); });
    }

    // Explore end: woken from sleep, eleven frames once.
    row = sheet.addRow();
    for (int j = 0; j < 11; ++j) {
        auto king = addKing(sheet, row, j);
        sheet.schedule(midFrame(j, fps), [king] {
            king->startSleepAnimation();
            king->startExploreEndAnimation();
        });
    }

    // Check end: four frames, then back to waiting.
    row = sheet.addRow();
    for (int j = 0; j < 5; ++j) {
        auto king = addKing(sheet, row, j);
        sheet.schedule(midFrame(j, fps), [king] {
            king->startSleepAnimation();
            king->startExploreEndAnimation();
            king->startCheckEndAnimation();
        });
    }

    // One hop, sampled through its rise and fall.
    row = sheet.addRow();
    const double h = KingImageView::kHopStepDuration;
    const double hopTimes[] = {0, h * 0.25, h * 0.5, h, h * 1.5, h * 1.75, 2 * h};
    for (int j = 0; j < 7; ++j) {
        auto king = addKing(sheet, row, j);
        king->startWaitingAnimation();
        sheet.schedule(hopTimes[j], [king] { king->jumpAnimationWithRepeatTime(1, king->center()); });
    }
    return sheet.render(path, scale);
}

std::shared_ptr<ImageView> addPerson(Sheet& sheet, int row, int column) {
    auto panel = sheet.panel(row, column);
    auto person = View::make<ImageView>(Rect(0, 0, 43, 60));
    panel->addSubview(person);
    return person;
}

bool renderPoseSheet(const std::string& path, double scale) {
    Sheet sheet(Size(43, 60), 13);
    auto* poses = PoseManager::getInstance();

    // Two-frame poses: the two frames, four times over (each row reads like a short cycle).
    for (int pose = 0; pose < 4; ++pose) {
        const int row = sheet.addRow();
        const size_t frames = poses->framesOfPose(pose).size();
        for (int j = 0; j < 8 && frames > 0; ++j) {
            auto person = addPerson(sheet, row, j);
            sheet.schedule(0.0, [person, pose, poses, j] {
                poses->changePose(pose, *person, true, 0);
                // The pass length is drawn at random, so each cell shows its frame standing still.
                person->stopAnimating();
                person->setImage(person->animationImages()[static_cast<size_t>(j) % person->animationImages().size()]);
            });
        }
    }
    // The throw: 25 frames at 24 a second, over two rows.
    const size_t throwFrames = poses->framesOfPose(4).size();
    const int throwRow = sheet.addRow();
    sheet.addRow();
    for (size_t j = 0; j < throwFrames; ++j) {
        auto person = addPerson(sheet, throwRow + static_cast<int>(j / 13), static_cast<int>(j % 13));
        sheet.schedule(midFrame(static_cast<int>(j), 24.0), [person, poses] { poses->changePose(4, *person, false, 0); });
    }
    // Waiting while others are collected.
    const int row = sheet.addRow();
    addPerson(sheet, row, 0)->setImage(poses->waitingImage());
    return sheet.render(path, scale);
}

bool renderEffectSheet(const std::string& path, double scale) {
    auto* effects = EffectManager::getInstance();
    Sheet sheet(Size(60, 90), 15);
    const std::vector<std::shared_ptr<Image>>* lists[] = {&effects->kemuriEffects(), &effects->kanokeEffects()};
    for (const auto* frames : lists) {
        const int row = sheet.addRow();
        for (size_t j = 0; j < frames->size(); ++j) {
            auto panel = sheet.panel(row, static_cast<int>(j));
            auto effect = View::make<ImageView>(Rect(0, 0, 60, 90));
            effect->setContentMode(ContentMode::center);
            panel->addSubview(effect);
            // Played once at 20 frames a second, as the person does.
            sheet.schedule(midFrame(static_cast<int>(j), 20.0), [effect, frames] {
                effect->setAnimationImages(*frames);
                effect->setAnimationDuration(static_cast<double>(frames->size()) / 20.0);
                effect->setAnimationRepeatCount(1);
                effect->startAnimating();
            });
        }
    }
    return sheet.render(path, scale);
}

void usage() { std::fprintf(stderr, "usage: posesheet [--out DIR] [--scale S] [--resources DIR]\n"); }

}  // namespace

int main(int argc, char** argv) {
    std::string out = ".";
    double scale = 1.0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) {
            usage();
            return 2;
        }
        if (arg == "--out") out = argv[++i];
        else if (arg == "--scale") scale = std::atof(argv[++i]);
        else if (arg == "--resources") ResourceBundle::setRootDirectory(argv[++i]);
        else {
            usage();
            return 2;
        }
    }
    if (scale <= 0) scale = 1.0;
    std::filesystem::create_directories(out);

    auto clock = std::make_shared<ManualClock>();
    RunLoop::main().setClock(clock);

    bool ok = renderKingSheet(out + "/king-states.png", scale);
    ok = renderPoseSheet(out + "/person-poses.png", scale) && ok;
    ok = renderEffectSheet(out + "/effects.png", scale) && ok;
    return ok ? 0 : 1;
}
