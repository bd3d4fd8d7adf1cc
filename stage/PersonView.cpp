#include "stage/PersonView.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "explore/NMCommon.h"
#include "model/DungeonManager.h"
#include "model/DungeonStaticData.h"
#include "model/GameEvents.h"
#include "model/GameTags.h"
#include "model/GoldManager.h"
#include "model/LeftTimeManager.h"
#include "model/MonsterManager.h"
#include "model/MonsterStaticData.h"
#include "model/SavedStateKeys.h"
#include "platform/core/Random.h"
#include "platform/services/Analytics.h"
#include "platform/sound/SoundEngine.h"
#include "platform/store/SavedStateStore.h"
#include "stage/BattleResolver.h"
#include "stage/EffectManager.h"
#include "stage/NMAnimationCommon.h"
#include "stage/PoseManager.h"

namespace {

// Every person shares one worker, so two recordings never overlap: they touch the same monster
// records and the same store.
BackgroundWorker& recordingWorker() {
    static BackgroundWorker worker;
    return worker;
}

void playEffect(const char* name) { SoundEngine::sharedEngine().playEffect(name); }

// The person's middle column and the line its yield hangs from.
constexpr double kMidX = 21.5;
constexpr double kHoldY = 30.0;
constexpr double kHoldBobPoints = 3.0;

}  // namespace

PersonView::PersonView(const Rect& frame) : View(frame) {
    const Rect own(0, 0, frame.width(), frame.height());

    personImgView_ = View::make<ImageView>(own);
    personImgView_->setContentMode(ContentMode::scaleAspectFill);

    yieldImgView_ = View::make<ImageView>(own);
    yieldImgView_->setTag(GameTags::kYieldImage);
    yieldImgView_->setContentMode(ContentMode::scaleAspectFit);

    effectImgView_ = View::make<ImageView>(own);
    effectImgView_->setContentMode(ContentMode::center);
    effectImgView_->setClipsToBounds(false);
    effectImgView_->setHidden(true);

    addSubview(personImgView_);
    addSubview(yieldImgView_);
    addSubview(effectImgView_);
    currentRect_ = this->frame();
}

PersonView::~PersonView() { myTimer_.invalidate(); }

// ---- Rules

unsigned PersonView::monsterIdToBattleWithDungeonId(unsigned dungeonId, bool bossHunted, unsigned exploreCnt) {
    return BattleResolver::drawMonster(DungeonStaticData::getInstance()->monstersWithDungeonId(dungeonId), bossHunted, exploreCnt,
                                       RandomSource::shared());
}

void PersonView::showResultWithDungeonId(unsigned dungeonId) {
    setCurrentDungeonId(dungeonId);
    setCurrentMonsterId(0);

    DungeonStaticData* dungeons = DungeonStaticData::getInstance();
    SavedStateStore& store = SavedStateStore::standardUserDefaults();
    const double now = RunLoop::main().wallTime();
    BattleFacts facts;
    facts.personId = personId();
    facts.bossId = dungeons->bossIdWithDungeionId(dungeonId);
    facts.bossHunted = MonsterManager::getInstance()->huntedMonsterWithId(facts.bossId);
    facts.exploreCnt = DungeonManager::currentExploreCntWithDungeonId(dungeonId);
    const DungeonRow* dungeon = dungeons->dungeonStaticInfoWithId(dungeonId);
    facts.depth = dungeon ? dungeon->depth : 0;
    facts.sinceBoss = now - store.doubleForKey(SavedStateKeys::timestampBoss);
    facts.exploreTime = LeftTimeManager::totalTimeForExplore();
    facts.monsters = dungeons->monstersWithDungeonId(dungeonId);
    const BattleOutcome outcome = BattleResolver::resolve(facts, &MonsterManager::isStrongerThanMonsterId, RandomSource::shared());

    if (outcome.bossShowed) {
        store.setDouble(now, SavedStateKeys::timestampBoss);
        store.synchronize();
    }
    if (outcome.monsterId == 0) {
        PoseManager::getInstance()->changePose(0, *personImgView_, true, 0);
        setCurrentYieldType(kYieldNothing);
        return;
    }
    if (outcome.won) {
        showMonsterWithId(outcome.monsterId, dungeonId);
        if (outcome.firstBossWin) NMCommon::sendNotification(GameEvents::kBossHunted);
        return;
    }
    showKanokePre();
    store.setObject(store.arrayForKey(SavedStateKeys::battleLogs).appending(outcome.logEntry), SavedStateKeys::battleLogs);
}

void PersonView::showResultNoneWithDelay(double delay) {
    removeYields();
    PoseManager::getInstance()->changePose(0, *personImgView_, true, delay);
}

void PersonView::showMonsterWithId(unsigned monsterId, unsigned dungeonId) {
    setIsBeforeCheck(true);
    setCurrentYieldType(kYieldMonster);
    setCurrentMonsterId(monsterId);
    setCurrentDungeonId(dungeonId);

    generateYieldImgView();
    std::shared_ptr<Image> image = Image::named("m" + std::to_string(monsterId) + ".png");
    yieldImgView_->setImage(image);
    // Monster pictures are drawn large; a quarter of them sits over the person's head.
    const Size size = image->size();
    yieldImgView_->setFrame(Rect(0, 0, std::floor(size.width / 4), std::floor(size.height / 4)));
    setUpYield(Point(kMidX, kHoldY - 0.3 * yieldImgView_->frame().height()), true);
}

void PersonView::showKanokePre() {
    setIsBeforeCheck(true);
    removeYields();
    setCurrentYieldType(kYieldCoffin);
    PoseManager::getInstance()->changePose(1, *personImgView_, true, 0);
}

void PersonView::showImage(std::shared_ptr<Image> image, Size size) {
    setIsBeforeCheck(true);
    setCurrentYieldType(kYieldPicture);

    generateYieldImgView();
    yieldImgView_->setFrame(Rect(Point(0, 0), size));
    yieldImgView_->setImage(std::move(image));
    setUpYield(Point(kMidX, kHoldY - 0.4 * size.height), false);
}

void PersonView::setUpYield(Point center, bool upsideDown) {
    yieldImgView_->setCenter(center);
    yieldImgView_->setAlpha(1.0);
    // Monsters are carried upside down.
    if (upsideDown) yieldImgView_->setTransform(Transform::makeRotation(std::numbers::pi));
    effectImgView_->setCenter(yieldImgView_->center());

    if (isMovingForBack()) {
        PoseManager::getInstance()->changePose(2, *personImgView_, true, 0);
    } else {
        startTimer();
    }
}

// ---- The collect sequence

bool PersonView::checkResult() {
    if (isCheking_) return false;
    isCheking_ = true;

    const uint32_t yield = currentYieldType();
    if (yield != kYieldPicture && yield != kYieldCoffin && yield != kYieldMonster) {
        finishCheck();
        return false;
    }

    playEffect("check.mp3");
    if (yield == kYieldCoffin) {
        performBlock([this] { showKanokeEffect(); }, 0);
        finishCheck();
        return true;
    }
    performBlock([this] { startCheckAnimation(); }, 0);
    return true;
}

void PersonView::animationDidStop(const char* animationId, bool finished) {
    (void)animationId;
    (void)finished;
    std::shared_ptr<ImageView> yield = yieldImgView_;
    if (yield) yield->setImage(nullptr);
    playEffect("coinget.mp3");

    // Gold only for monsters; the gold rate is applied by the gold manager.
    if (currentYieldType() == kYieldMonster)
        GoldManager::getInstance()->addGold(MonsterStaticData::getInstance()->goldWithMonsterId(currentMonsterId()));

    if (yield) {
        yield->setTransform(Transform::identity());
        // A yield the owner threw has landed in the owner's throw layer; nothing is left to show.
        if (yield->superview() && yield->superview() != this) yield->removeFromSuperview();
    }
    finishCheck();
}

void PersonView::finishCheck() {
    std::shared_ptr<PersonView> self = std::static_pointer_cast<PersonView>(weak_from_this().lock());
    if (!self) {
        // Not shared-owned (never so on the stage): record here and end on the next pass.
        recordCollection();
        performBlock([this] { finishCheckOnMainThread(); }, 0);
        return;
    }
    recordingWorker().dispatch([self = std::move(self)]() mutable {
        self->recordCollection();
        // The person is handed on to the main loop, so it is released there and never here.
        RunLoop::main().post([self = std::move(self)] { self->finishCheckOnMainThread(); });
    });
}

void PersonView::recordCollection() {
    setIsBeforeCheck(false);
    const uint32_t yield = currentYieldType();

    if (yield == kYieldMonster) {
        SavedStateStore& store = SavedStateStore::standardUserDefaults();
        const unsigned dungeonId = currentDungeonId();
        const unsigned monsterId = currentMonsterId();
        const unsigned bossId = DungeonStaticData::getInstance()->bossIdWithDungeionId(dungeonId);
        MonsterManager* monsters = MonsterManager::getInstance();
        const bool bossHuntedBefore = monsters->huntedMonsterWithId(bossId);
        monsters->addMonsterWithId(monsterId);

        if (monsterId == bossId) {
            if (!bossHuntedBefore) {
                Analytics::shared()->trackPageView("/STAGE_CLEAR_V102_" + std::to_string(dungeonId));
                store.removeObjectForKey(SavedStateKeys::timestampBoss);
                NMCommon::sendNotification(GameEvents::kNewMap, Value(dungeonId));
            }
            if (!store.boolForKey(SavedStateKeys::mapUnlocked)) {
                store.setBool(true, SavedStateKeys::mapUnlocked);
                store.synchronize();
                NMCommon::sendNotification(GameEvents::kMapUnlocked);
            }
        }
        setCurrentMonsterId(0);
    } else if (yield == kYieldCoffin) {
        SavedStateStore& store = SavedStateStore::standardUserDefaults();
        if (!store.boolForKey(SavedStateKeys::shopUnlocked)) {
            store.setBool(true, SavedStateKeys::shopUnlocked);
            NMCommon::sendNotification(GameEvents::kShopUnlocked);
        }
    }
}

void PersonView::finishCheckOnMainThread() {
    setCurrentYieldType(kYieldNothing);
    isCheking_ = false;
    if (delegate_ && delegate_->respondsToFinishCheck()) delegate_->finishCheck(*this);
}

void PersonView::waitForRecordings() { recordingWorker().waitUntilIdle(); }

// ---- Presentation steps

void PersonView::showExploring() {
    PoseManager::getInstance()->changePose(1, *personImgView_, true, 0);
}

void PersonView::showWaitingCheck() {
    personImgView_->stopAnimating();
    personImgView_->setImage(PoseManager::getInstance()->waitingImage());
}

void PersonView::waitingWithYield() {
    startTimer();
}

void PersonView::showKanokeWithEffect(bool withEffect) {
    if (withEffect) {
        effectImgView_->setCenter(personImgView_->center());
        startEffectAtImageView(*effectImgView_, EffectManager::getInstance()->kemuriEffects());
    }
    personImgView_->setAnimationImages({});
    personImgView_->stopAnimating();
    personImgView_->setImage(Image::named("k.png"));
    // Coffins spin on the way home; at rest they stand upright.
    setTransform(Transform::identity());
}

void PersonView::showKanokeEffect() {
    effectImgView_->setCenter(personImgView_->center());
    startEffectAtImageView(*effectImgView_, EffectManager::getInstance()->kanokeEffects());
}

// ---- Pictures and animations

void PersonView::generateYieldImgView() {
    removeYields();
    yieldImgView_ = View::make<ImageView>(Rect(0, 0, bounds().width(), bounds().height()));
    yieldImgView_->setTag(GameTags::kYieldImage);
    yieldImgView_->setContentMode(ContentMode::scaleAspectFit);
    insertSubviewBelow(yieldImgView_, effectImgView_.get());
}

void PersonView::removeYields() {
    const std::vector<std::shared_ptr<View>> children = subviews();
    for (const auto& child : children)
        if (child->tag() >= GameTags::kYieldImage && dynamic_cast<ImageView*>(child.get())) child->removeFromSuperview();
    stopTimer();
}

void PersonView::startTimer() {
    stopTimer();
    // 0.2 s or 0.25 s, so the persons holding a yield do not bob in step.
    const double interval = (0.4 + 0.1 * static_cast<double>(RandomSource::shared().next() % 2)) * 0.5;
    std::weak_ptr<void> alive = lifetime();
    myTimer_ = RunLoop::main().scheduleTimer(interval, true, [this, alive] {
        if (!alive.expired()) timerHandler();
    });
}

void PersonView::timerHandler() {
    personImgView_->stopAnimating();
    const double h = yieldImgView_ ? yieldImgView_->frame().height() : 0.0;
    const Point center(kMidX, kHoldY - 0.3 * h + (toggle_ ? kHoldBobPoints : 0.0));
    personImgView_->setImage(Image::named(toggle_ ? "person_1_4_2.png" : "person_1_4_1.png"));
    if (yieldImgView_) yieldImgView_->setCenter(center);
    toggle_ = !toggle_;
}

void PersonView::stopTimer() { myTimer_.invalidate(); }

void PersonView::updateCurrentRect() {
    Rect rect = frame();
    for (const auto& child : subviews()) {
        if (child->isHidden() || child->tag() < GameTags::kYieldImage || !dynamic_cast<ImageView*>(child.get())) continue;
        const double overhang = std::min(0.0, child->frame().minY());
        rect.origin.y += overhang;
        rect.size.height -= overhang;
    }
    currentRect_ = rect;
}

void PersonView::startEffectAtImageView(ImageView& imageView, const std::vector<std::shared_ptr<Image>>& animationImages) {
    imageView.setAnimationImages(animationImages);
    imageView.setAnimationDuration(static_cast<double>(animationImages.size()) / kEffectFramesPerSecond);
    imageView.setAnimationRepeatCount(1);
    imageView.setHidden(false);
    imageView.startAnimating();
}

void PersonView::startCheckAnimation() {
    stopTimer();
    PoseManager::getInstance()->changePose(4, *personImgView_, false, 0);

    std::shared_ptr<ImageView> yield = yieldImgView_;
    if (!yield || yield->superview() != this) {
        // Nothing left to throw: land at once.
        animationDidStop(nullptr, true);
        return;
    }
    const double h = yield->frame().height();
    AnimationOptions options;
    options.allowUserInteraction = true;
    std::weak_ptr<void> alive = lifetime();
    // The completion lives in the yield's own animation, so it must not own the yield.
    std::weak_ptr<ImageView> weakYield = yield;
    View::animateWithDuration(
        kCheckDropDuration, 0, options, [&yield, h] { yield->setCenter(Point(kMidX, 45.0 - 0.3 * h)); },
        [this, alive, weakYield, h](bool) {
            if (alive.expired()) return;
            std::shared_ptr<ImageView> yield = weakYield.lock();
            if (!yield) {
                // The picture went while dropping: land at once so the collection still ends.
                animationDidStop(nullptr, true);
                return;
            }
            playEffect("pochi_short.wav");
            // Up over the head, then away.
            yield->setCenter(Point(kMidX, -0.5 * h));
            startThrowAnimation3();
        });
}

void PersonView::startThrowAnimation3() {
    performBlock([] { playEffect("drop.mp3"); }, kDropSoundDelay);

    std::shared_ptr<ImageView> yield = yieldImgView_;
    if (!yield) {
        animationDidStop(nullptr, true);
        return;
    }
    const Point c = yield->center();
    if (delegate_ && delegate_->respondsToStartThrowYield()) {
        yield->removeFromSuperview();
        delegate_->startThrowYield(yield, c, *this);
        return;
    }

    // Thrown by the person itself: up 80 points, over to x = 70 of the owner, and down below the
    // owner's bottom edge.
    const Point p = center();
    const Point o = frame().origin;
    View* owner = superview();
    const double ownerHeight = owner ? owner->frame().height() : 0.0;
    std::weak_ptr<void> alive = lifetime();
    NMAnimationCommon::startThrowView(*yield, kThrowScaleRate, c.x - (p.x - 70.0), c.y - 80.0, ownerHeight - o.y - c.y + 50.0,
                                      [this, alive] {
                                          if (!alive.expired()) animationDidStop(nullptr, true);
                                      });
}
