#pragma once
// A person of the party: a 43 x 60 point view that carries the member's state through an explore
// cycle and decides what the member brings back from the dungeon.
//
// The person id is the view's tag (1..20 base party, 21..30 added members).
//
// Yield types: 0 nothing, 1 picture (title letters), 2 coffin, 3 monster.
//
// Rules
//   showResultWithDungeonId(d)   a returning person meets a monster (or the boss) and wins it, or
//                                comes home as a coffin with the defeat written to "battleLogs".
//   checkResult()                the player touched the person: the collect sequence. The yield
//                                is thrown to the king, gold is added when it lands, and
//                                finishCheck() records the hunt on the recording worker (one
//                                recording at a time, all persons share it), then ends the
//                                sequence on the main thread and tells the delegate.
//
// Sub-views, back to front: personImgView (the person), yieldImgView (tag 1000, a new one for
// every yield, always directly below the effect view), effectImgView (smoke and coffin effects).
// The person does not clip, so a monster carried over the head sticks out above the top edge;
// currentRect (the touch rectangle in the owner's coordinates) grows upwards by that overhang.
//
// Persons must be owned by std::shared_ptr (View::make<PersonView>(frame)): a recording on the
// worker keeps its person alive until the main-thread step has run.
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/core/RunLoop.h"
#include "platform/foundation/Value.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/View.h"

class PersonView;

// The owner of persons (the stage, the title screen). Both operations are optional: the person
// asks respondsTo...() before calling one, and an owner that offers neither never hears of the
// end of a collection.
class PersonViewDelegate {
public:
    virtual ~PersonViewDelegate() = default;

    // The collect sequence of `person` has ended (main thread, last step of every collection).
    virtual bool respondsToFinishCheck() const { return false; }
    virtual void finishCheck(PersonView& person) { (void)person; }

    // Take the yield picture over and throw it; call sender.animationDidStop(nullptr, true) when
    // it has landed. The picture has already left the person; centerPos is its centre in the
    // person's coordinates.
    virtual bool respondsToStartThrowYield() const { return false; }
    virtual void startThrowYield(std::shared_ptr<ImageView> yieldImgView, Point centerPos, PersonView& sender) {
        (void)yieldImgView;
        (void)centerPos;
        (void)sender;
    }
};

class PersonView : public View {
public:
    enum : uint32_t { kYieldNothing = 0, kYieldPicture = 1, kYieldCoffin = 2, kYieldMonster = 3 };

    static constexpr double kWidth = 43.0;
    static constexpr double kHeight = 60.0;
    // Effects play at 20 frames a second.
    static constexpr double kEffectFramesPerSecond = 20.0;
    static constexpr double kCheckDropDuration = 0.5;
    static constexpr double kDropSoundDelay = 0.8;
    static constexpr double kThrowScaleRate = 1.66;

    // initWithFrame: the person, yield and effect pictures; yield type 0.
    explicit PersonView(const Rect& frame);
    ~PersonView() override;

    // ---- Fields
    PersonViewDelegate* delegate() const { return delegate_; }
    // A weak reference: the owner clears it before it goes away.
    void setDelegate(PersonViewDelegate* delegate) { delegate_ = delegate; }

    bool toggle() const { return toggle_; }
    bool isMovingForGo() const { return isMovingForGo_; }
    void setIsMovingForGo(bool moving) { isMovingForGo_ = moving; }
    bool isMovingForBack() const { return isMovingForBack_; }
    void setIsMovingForBack(bool moving) { isMovingForBack_ = moving; }
    bool isCheking() const { return isCheking_; }
    void setIsCheking(bool cheking) { isCheking_ = cheking; }
    bool isBeforeCheck() const { return isBeforeCheck_.load(); }
    void setIsBeforeCheck(bool before) { isBeforeCheck_.store(before); }

    const std::shared_ptr<ImageView>& personImgView() const { return personImgView_; }
    const std::shared_ptr<ImageView>& yieldImgView() const { return yieldImgView_; }
    const std::shared_ptr<ImageView>& effectImgView() const { return effectImgView_; }

    uint32_t currentMonsterId() const { return currentMonsterId_.load(); }
    void setCurrentMonsterId(uint32_t monsterId) { currentMonsterId_.store(monsterId); }
    uint32_t currentDungeonId() const { return currentDungeonId_.load(); }
    void setCurrentDungeonId(uint32_t dungeonId) { currentDungeonId_.store(dungeonId); }
    uint32_t currentYieldType() const { return currentYieldType_.load(); }
    void setCurrentYieldType(uint32_t yieldType) { currentYieldType_.store(yieldType); }

    Rect currentRect() const { return currentRect_; }
    // The yield timer (invalid when stopped).
    const TimerHandle& myTimer() const { return myTimer_; }

    // The person id.
    int personId() const { return tag(); }

    // ---- Rules
    // The weighted monster choice; 0 when no monster may take part.
    unsigned monsterIdToBattleWithDungeonId(unsigned dungeonId, bool bossHunted, unsigned exploreCnt);
    // Resolves the result of one return from the dungeon.
    void showResultWithDungeonId(unsigned dungeonId);
    // Removes any yield picture and stands idle after the delay; the yield type is kept.
    void showResultNoneWithDelay(double delay);
    // The person won and carries the monster.
    void showMonsterWithId(unsigned monsterId, unsigned dungeonId);
    // The person lost: a coffin is on its way home.
    void showKanokePre();
    // The person carries a picture (the title screen's letters).
    void showImage(std::shared_ptr<Image> image, Size size);
    // Starts the collect sequence; true when one was started.
    bool checkResult();
    // The thrown yield has landed (both arguments unused).
    void animationDidStop(const char* animationId, bool finished);
    // Records the collection on the recording worker, then ends the sequence on the main thread.
    void finishCheck();

    // ---- Presentation steps the owner calls
    void showExploring();
    void showWaitingCheck();
    void waitingWithYield();
    void showKanokeWithEffect(bool withEffect);
    void showKanokeEffect();

    // ---- Pictures and animations
    void generateYieldImgView();
    void removeYields();
    void startTimer();
    void timerHandler();
    void stopTimer();
    void updateCurrentRect();
    void startEffectAtImageView(ImageView& imageView, const std::vector<std::shared_ptr<Image>>& animationImages);
    void startCheckAnimation();
    void startThrowAnimation3();

    // ---- Recording worker
    // Blocks until every recording handed to the worker so far has run (its main-thread steps
    // are then posted to the main loop, not yet run).
    static void waitForRecordings();

private:
    void setUpYield(Point center, bool upsideDown);
    void recordCollection();
    void finishCheckOnMainThread();

    PersonViewDelegate* delegate_ = nullptr;
    bool toggle_ = false;
    bool isMovingForGo_ = false;
    bool isMovingForBack_ = false;
    bool isCheking_ = false;
    std::atomic<bool> isBeforeCheck_{false};
    std::shared_ptr<ImageView> personImgView_;
    std::shared_ptr<ImageView> yieldImgView_;
    std::shared_ptr<ImageView> effectImgView_;
    std::atomic<uint32_t> currentMonsterId_{0};
    std::atomic<uint32_t> currentDungeonId_{0};
    std::atomic<uint32_t> currentYieldType_{kYieldNothing};
    Rect currentRect_;
    TimerHandle myTimer_;
};
