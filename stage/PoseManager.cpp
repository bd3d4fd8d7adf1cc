#include "stage/PoseManager.h"

#include <cstdio>
#include <mutex>
#include <string>

#include "platform/core/Random.h"

namespace {
std::string personFile(int set, int pose, int frame) {
    char name[64];
    std::snprintf(name, sizeof name, "person_%d_%d_%d.png", set, pose, frame);
    return name;
}
}  // namespace

PoseManager::~PoseManager() {
    for (auto& [view, start] : pendingStarts_) start.invalidate();
}

void PoseManager::initFile() {
    personImages_.clear();
    const int set = 1;
    PoseSet poses;
    bool any = false;
    // Two-frame poses: picture numbers 1 to 4.
    for (int number = 1; number <= 4; ++number) {
        Frames pair;
        const std::string first = personFile(set, number, 1), second = personFile(set, number, 2);
        if (Image::exists(first) && Image::exists(second)) pair = {Image::named(first), Image::named(second)};
        any = any || !pair.empty();
        poses.push_back(std::move(pair));
    }
    // The throw: those of its 25 pictures that exist.
    Frames throwing;
    for (int f = 1; f <= kThrowFrames; ++f) {
        const std::string name = personFile(set, 5, f);
        if (Image::exists(name)) throwing.push_back(Image::named(name));
    }
    any = any || !throwing.empty();
    poses.push_back(std::move(throwing));
    if (any) personImages_.push_back(std::move(poses));

    waitingImage_ = Image::named(personFile(set, 6, 1));
}

const PoseManager::Frames& PoseManager::framesOfPose(int pose) const {
    static const Frames none;
    if (personImages_.empty() || pose < 0 || pose >= static_cast<int>(personImages_[0].size())) return none;
    return personImages_[0][static_cast<size_t>(pose)];
}

double PoseManager::poseDuration(int pose, size_t frameCount, uint32_t draw) {
    if (pose == 4) return static_cast<double>(frameCount) / 24.0;
    const double pass = static_cast<double>(draw % 3) * 0.1 + 0.5;
    return pose == 2 ? pass / 2.0 : pass;
}

void PoseManager::changePose(int pose, ImageView& personImage, bool repeat, double delay) {
    if (pose < 0 || pose >= kNumPoses) return;
    auto pending = pendingStarts_.find(&personImage);
    if (pending != pendingStarts_.end()) {
        pending->second.invalidate();
        pendingStarts_.erase(pending);
    }
    const Frames& frames = framesOfPose(pose);
    if (frames.empty()) return;

    personImage.setAnimationImages(frames);
    personImage.setImage(frames.back());
    const uint32_t draw = pose == 4 ? 0 : RandomSource::shared().uniform(3);
    personImage.setAnimationDuration(poseDuration(pose, frames.size(), draw));
    personImage.setAnimationRepeatCount(repeat ? 0 : 1);

    if (delay <= 0) {
        personImage.startAnimating();
        return;
    }
    ImageView* target = &personImage;
    pendingStarts_[target] = personImage.performBlock(
        [this, target] {
            pendingStarts_.erase(target);
            target->startAnimating();
        },
        delay);
}
