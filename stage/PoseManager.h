#pragma once
// The person pictures and the five poses a person can take:
//   0 idle, 1 walking, 2 carrying (twice as fast), 3 holding (two frames), 4 throwing (25 frames).
// Pictures: "person_<set>_<pose+1>_1.png" / "_2.png" for the two-frame poses, "person_<set>_5_<f>.png"
// (f = 1..25) for the throw, and "person_1_6_1.png", the still picture of a person waiting while
// the others are collected.
//
// A missing picture never shifts the poses: a two-frame pose with a picture missing is kept as an
// empty frame list (changePose then leaves the person as it is), and the throw keeps the frames it
// has. A set without any pose is left out of personImages.
#include <map>
#include <memory>
#include <vector>

#include "platform/core/RunLoop.h"
#include "platform/core/Singleton.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"

class PoseManager : public Singleton<PoseManager> {
public:
    using Frames = std::vector<std::shared_ptr<Image>>;
    using PoseSet = std::vector<Frames>;  // indexed by pose number

    static constexpr int kNumPoses = 5;
    static constexpr int kThrowFrames = 25;

    // The starts still waiting are cancelled.
    ~PoseManager();

    // Loads the pictures.
    void initFile();

    // Puts the person picture into pose `pose` (0..4): the pose's frames become its frame list
    // and the last frame its still picture; one pass lasts 0.5, 0.6 or 0.7 s at random (half for
    // the carrying pose 2) or frames / 24 s for the throw. It repeats without end when `repeat`,
    // else plays once, starting after `delay` seconds (at once for 0). A later changePose of the
    // same picture cancels a start still waiting. Unknown poses leave the picture as it is.
    void changePose(int pose, ImageView& personImage, bool repeat, double delay);

    // The pass duration changePose uses for a pose with a given random draw (0, 1 or 2).
    static double poseDuration(int pose, size_t frameCount, uint32_t draw);

    const std::vector<PoseSet>& personImages() const { return personImages_; }
    const std::shared_ptr<Image>& waitingImage() const { return waitingImage_; }
    // The frames of a pose in set 1 (empty when missing).
    const Frames& framesOfPose(int pose) const;

private:
    friend class Singleton<PoseManager>;
    PoseManager() = default;

    std::vector<PoseSet> personImages_;
    std::shared_ptr<Image> waitingImage_;
    // Delayed starts waiting, by picture.
    std::map<const ImageView*, TimerHandle> pendingStarts_;
};
