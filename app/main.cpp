// Royal Expedition: for now an animated test scene - the king with his frames and a row of
// persons walking and bobbing in front of him - until the game's screens take its place.
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "platform/render/Application.h"
#include "platform/store/SavedStateStore.h"
#include "platform/ui/Button.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Label.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"

namespace {

// Frames that exist among the names, in order.
std::vector<std::shared_ptr<Image>> existingImages(const std::vector<std::string>& names) {
    std::vector<std::shared_ptr<Image>> images;
    for (const auto& name : names)
        if (Image::exists(name)) images.push_back(Image::named(name));
    return images;
}

std::shared_ptr<ImageView> makeKing(Point center) {
    auto king = std::make_shared<ImageView>(Rect::withCenter(center, Size(80, 80)));
    king->setName("king");
    king->setContentMode(ContentMode::scaleAspectFit);
    auto blink = existingImages({"king-1_1@2x.png", "king-1_2@2x.png", "king-1_3@2x.png", "king-1_2@2x.png", "king-1_1@2x.png"});
    std::vector<std::string> sleepNames;
    for (int i = 0; i < 6; ++i) sleepNames.push_back("king-4_1@2x.png");
    for (const char* n : {"king-4_2@2x.png", "king-4_3@2x.png", "king-4_2@2x.png", "king-4_1@2x.png"}) sleepNames.push_back(n);
    auto frames = existingImages(sleepNames);
    if (frames.size() < 2) frames = blink;
    if (!frames.empty()) {
        king->setImage(frames.front());
        king->setAnimationImages(frames);
        king->setAnimationDuration(frames.size() / 10.0);
        king->startAnimating();
    } else {
        king->setBackgroundColor(Color(0.85f, 0.65f, 0.1f));
    }
    return king;
}

// A person walks between two spots; its picture bobs as it goes.
void walk(const std::shared_ptr<View>& person, double fromX, double toX, double y) {
    std::weak_ptr<View> weak = person;
    View::animateWithDuration(2.4, 0.0, AnimationOptions{AnimationCurve::linear, true, false},
                              [&] { person->setCenter(Point(toX, y)); },
                              [weak, fromX, toX, y](bool finished) {
                                  if (auto p = weak.lock(); p && finished) walk(p, toX, fromX, y);
                              });
}

void bob(const std::shared_ptr<View>& picture, double up) {
    std::weak_ptr<View> weak = picture;
    View::animateWithDuration(0.3, 0.0, AnimationOptions{AnimationCurve::easeInOut, true, false},
                              [&] { picture->setTransform(Transform::makeTranslation(0, up)); },
                              [weak, up](bool finished) {
                                  if (auto p = weak.lock(); p && finished) bob(p, up < 0 ? 0 : -3);
                              });
}

std::shared_ptr<View> makePerson(int id, Point center, bool moving) {
    auto person = std::make_shared<View>(Rect::withCenter(center, Size(43, 60)));
    person->setTag(id);
    auto picture = std::make_shared<ImageView>(Rect(0, 0, 43, 60));
    picture->setContentMode(ContentMode::scaleAspectFit);
    auto frames = existingImages({"person_1_2_1.png", "person_1_2_2.png"});
    if (frames.size() < 2) frames = existingImages({"person_1_1_1.png", "person_1_1_2.png"});
    if (!frames.empty()) {
        picture->setImage(frames.front());
        picture->setAnimationImages(frames);
        picture->setAnimationDuration(0.5 + (id % 3) * 0.1);
        if (moving) picture->startAnimating();
    } else {
        picture->setBackgroundColor(Color(0.2f + 0.02f * id, 0.4f, 0.8f - 0.02f * id));
    }
    person->addSubview(picture);
    if (moving) bob(picture, -3);
    return person;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    ApplicationOptions options = ApplicationOptions::fromArguments(argc, argv, &error);
    if (!error.empty()) {
        std::fprintf(stderr, "royal-expedition: %s\n", error.c_str());
        std::fprintf(stderr, "usage: royal-expedition [--screen 480|568] [--headless [--screenshot FILE] [--time SECONDS]] [--data DIR] [--still]\n");
        return 2;
    }
    if (options.dataDirectory.empty()) options.dataDirectory = SavedStateStore::defaultDataDirectory();
    // --still: nothing moves (to see that an idle window sleeps).
    bool still = false;
    for (int i = 1; i < argc; ++i) still = still || std::string(argv[i]) == "--still";
    Application app(options);
    Window& window = app.window();
    const Rect screen = Screen::mainScreen().bounds();

    // Sky and floor.
    window.setBackgroundColor(Color(0.55f, 0.78f, 0.95f));
    auto floor = std::make_shared<View>(Rect(0, screen.height() * 0.45, screen.width(), screen.height() * 0.55));
    floor->setBackgroundColor(Color(0.45f, 0.7f, 0.35f));
    window.addSubview(floor);

    auto title = std::make_shared<Label>(Rect(10, 24, 300, 30));
    title->setFont("GD-DOTFONT-DQ-TTF", 20);
    title->setTextAlignment(TextAlignment::center);
    title->setTextColor(Color::whiteColor());
    title->setShadowColor(Color(0, 0, 0, 0.6f));
    title->setShadowOffset(Size(1, 1));
    title->setText("Royal Expedition  王様の探検");
    window.addSubview(title);

    auto king = makeKing(Point(160, screen.height() * 0.33));
    if (still) king->stopAnimating();
    window.addSubview(king);

    // Persons on three rows, walking to and fro.
    auto stage = std::make_shared<View>(Rect(0, screen.height() * 0.45, screen.width(), 200));
    stage->setName("stage");
    window.addSubview(stage);
    const double rows[3] = {40, 90, 140};
    for (int i = 0; i < 24; ++i) {
        const int row = i / 8;
        const double x = 23 + (i % 8) * 39;
        auto person = makePerson(i + 1, Point(x, rows[row]), !still);
        stage->addSubview(person);
        if (!still) walk(person, x, row % 2 ? x - 18 : x + 18, rows[row]);
    }

    auto counter = std::make_shared<Label>(Rect(10, screen.height() - 70, 180, 24));
    counter->setFont("GD-DOTFONT-DQ-TTF", 14);
    counter->setTextColor(Color::whiteColor());
    counter->setText("taps: 0");
    window.addSubview(counter);

    auto button = std::make_shared<Button>(Rect(200, screen.height() - 76, 110, 36));
    button->setName("explore");
    button->setBackgroundColor(Color(0.6f, 0.2f, 0.1f));
    button->titleLabel().setFont("GD-DOTFONT-DQ-TTF", 16);
    button->setTitle("たんけん");
    auto taps = std::make_shared<int>(0);
    std::weak_ptr<Label> weakCounter = counter;
    std::weak_ptr<View> weakKing = window.viewWithName("king");
    button->setAction([taps, weakCounter, weakKing] {
        ++*taps;
        if (auto c = weakCounter.lock()) c->setText("taps: " + std::to_string(*taps));
        if (auto k = weakKing.lock()) {
            const Point c0 = k->center();
            View::animateWithDuration(0.083, 0, AnimationOptions{AnimationCurve::easeOut, true, false},
                                      [&] { k->setCenter(Point(c0.x, c0.y - 8)); },
                                      [weakKing, c0](bool) {
                                          if (auto k2 = weakKing.lock())
                                              View::animateWithDuration(0.083, 0, AnimationOptions{AnimationCurve::easeOut, true, false},
                                                                        [&] { k2->setCenter(c0); });
                                      });
        }
    });
    window.addSubview(button);

    return app.run();
}
