#pragma once
// The king at home on the main screen (an 80 x 80 point image view). He blinks every 3 to 5 s
// while waiting, waves the party off, falls asleep while it is away, wakes with a start when it
// returns, looks the haul over after the last collection, and hops four times whenever the gold
// changes. Every animation plays at 10 frames a second.
//
// States: 0 waiting, 1 asleep (party away), 2 explore ended. The blink timer and the delayed
// switches (asleep loop, back to waiting) are bound to the king's lifetime, and every new state
// animation cancels a switch still waiting from the previous one.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/RunLoop.h"
#include "platform/ui/ImageView.h"

class GoldManager;

class KingImageView : public ImageView {
public:
    enum : uint32_t { kStateWaiting = 0, kStateAsleep = 1, kStateExploreEnded = 2 };

    // Hops whenever the game's gold changes, from now until destruction.
    explicit KingImageView(const Rect& frame);
    // Given a gold manager the king follows the game's gold; nullptr follows nothing (sheets and
    // tools). No pointer is kept: the observer is bound to the king's lifetime and the manager is
    // looked up afresh, so a manager torn down first is never touched again.
    KingImageView(const Rect& frame, GoldManager* goldManager);
    ~KingImageView() override;

    uint32_t currentState() const { return currentState_; }
    // A hop sequence is running.
    bool animating() const { return animating_; }
    // The pending blink timer (invalid when none).
    const TimerHandle& myTimer() const { return myTimer_; }

    // ---- State animations
    void startWaitingAnimation();
    void startGoingExploreAnimation();
    void startSleepAnimation();
    void startExploreEndAnimation();
    void startCheckEndAnimation();

    // ---- Blinking
    void showBlink();
    void timerHandler();
    void stopTimer();
    // Duration := frame count / 10 s.
    void updateAnimationDuration();

    // The frames "king-<id>_1@2x.png" ... "king-<id>_<numFrames>@2x.png" that exist.
    static std::vector<std::shared_ptr<Image>> imagesWithAnimationId(int animationId, int numFrames);
    // The same with explicit frame numbers (blink, asleep loop, check end).
    static std::vector<std::shared_ptr<Image>> imagesWithFrames(const std::vector<std::pair<int, int>>& idAndFrame);
    static std::string frameName(int animationId, int frame);

    // ---- Hopping
    // One hop up by a tenth of the king's height and back (0.083 s each way), repeated n times.
    void jumpAnimationWithRepeatTime(int repeatTime, Point orgCenter);
    // The gold changed: four hops unless a hop sequence is running.
    void goldDidChange();

    static constexpr double kFramesPerSecond = 10.0;
    static constexpr double kHopStepDuration = 0.083;

private:
    void playOnce(std::vector<std::shared_ptr<Image>> frames, std::shared_ptr<Image> still);
    void cancelPendingStep();

    uint32_t currentState_ = kStateWaiting;
    bool animating_ = false;
    TimerHandle myTimer_;
    TimerHandle pendingStep_;
};
