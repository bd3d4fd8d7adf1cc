#include "stage/StageView.h"

#include <algorithm>
#include <numbers>

#include "explore/BalloonView.h"
#include "explore/NMCommon.h"
#include "model/DungeonManager.h"
#include "model/GameEvents.h"
#include "model/MemberManager.h"
#include "model/PersonManager.h"
#include "platform/core/Random.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/ui/Image.h"
#include "stage/NMAnimationCommon.h"

namespace {

// The rows of slots, front to back. Row 1 runs right to left, row 2 left to right; the rows
// are also the yield groups.
struct SlotRow {
    int firstId;
    double y;
    std::vector<double> xs;  // in id order
};

const std::vector<SlotRow>& slotRows() {
    static const std::vector<SlotRow> rows = {
        {1, 128, {296, 257, 218, 179, 140, 101, 62, 23}},
        {9, 98, {43, 82, 121, 160, 199, 238, 277}},
        {16, 73, {261, 221, 181, 141, 101, 61}},
        {22, 53, {76, 118, 160, 202, 244}},
        {27, 34, {223, 181, 139, 97}},
    };
    return rows;
}

// The balloon that announces a boss kill hangs over the back rows, its tail towards the entrance.
constexpr Rect kBossBalloonFrame{80, -52, 160, 44};
constexpr const char* kBossBalloonPicture = "quest-fukidashi_boss@2x.png";

constexpr double kBandTopStart = 480;
constexpr double kBandBottomStart = 0;

// A quarter turn times 1.0 .. 2.9: coffins tumble between 90 and 261 degrees.
double coffinTurn() {
    const uint32_t x = RandomSource::shared().next();
    return static_cast<double>((x % 20) + 10) * 0.1 * std::numbers::pi / 2;
}

Object* asObject(StageView* stage) { return static_cast<Object*>(static_cast<View*>(stage)); }

}  // namespace

StageView::StageView(const Rect& frame) : View(frame) {
    makePositions();

    bossBalloon_ = View::make<BalloonView>(kBossBalloonFrame);
    bossBalloon_->setUserInteractionEnabled(false);
    bossBalloon_->updateBalloonImage(Image::named(kBossBalloonPicture));
    bossBalloon_->updateMsg(NSLocalizedString("BossHunted"));
    bossBalloon_->setHidden(true);
    addSubview(bossBalloon_);

    // Thrown yields fly in here, over every person, in stage coordinates.
    throwStageView_ = View::make<View>(Rect(0, 0, frame.width(), frame.height()));
    throwStageView_->setUserInteractionEnabled(false);
    addSubview(throwStageView_);

    NMCommon::addObserver(asObject(this), [this](const Notification& n) { bossHunted(n); }, GameEvents::kBossHunted);
}

StageView::~StageView() {
    NMCommon::removeObserver(asObject(this));
    releasePersons();
}

// ---- Slots and persons

void StageView::makePositions() {
    positions_.assign(kNumSlots, Point());
    for (const SlotRow& row : slotRows())
        for (size_t i = 0; i < row.xs.size(); ++i) positions_[static_cast<size_t>(row.firstId - 1) + i] = Point(row.xs[i], row.y);
}

int StageView::groupOfPersonId(int personId) {
    // The row whose ids hold it; ids below the first row fall to the front, above the last to the back.
    const auto& rows = slotRows();
    for (size_t r = 1; r < rows.size(); ++r)
        if (personId < rows[r].firstId) return static_cast<int>(r);
    return static_cast<int>(rows.size());
}

std::vector<std::shared_ptr<PersonView>> StageView::persons() const {
    std::vector<std::shared_ptr<PersonView>> out;
    for (const auto& child : subviews())
        if (auto person = std::dynamic_pointer_cast<PersonView>(child)) out.push_back(std::move(person));
    return out;
}

std::shared_ptr<PersonView> StageView::personWithId(int personId) const {
    for (const auto& child : subviews())
        if (child->tag() == personId)
            if (auto person = std::dynamic_pointer_cast<PersonView>(child)) return person;
    return nullptr;
}

std::shared_ptr<PersonView> StageView::generatePersonViewWithTag(int tag) {
    auto person = View::make<PersonView>(Rect::withCenter(positionOfPersonId(tag), Size(PersonView::kWidth, PersonView::kHeight)));
    person->setTag(tag);
    person->setDelegate(this);
    // Directly behind the person with the next lower id, so lower ids stand in front.
    if (auto inFront = personWithId(tag - 1)) {
        insertSubviewBelow(person, inFront.get());
    } else {
        addSubview(person);
    }

    // What the person still holds from the last explore. A result is settled as the person starts
    // back, so one whose game was closed on the way home is home, holding it.
    const int64_t yield = PersonManager::currentYieldTypeWithPersonId(tag);
    if (yield != PersonManager::kYieldNothing && PersonManager::isPersonExploring(tag)) PersonManager::getInstance()->addWaitingsWithPersonId(tag);
    if (yield == PersonManager::kYieldMonster) {
        person->showMonsterWithId(PersonManager::currentMonsterIdWithPersonId(tag), PersonManager::currentDungeonIdWithPersonId(tag));
        addYieldPersons(*person);
    } else if (yield == PersonManager::kYieldCoffin) {
        person->showKanokePre();
        person->showKanokeWithEffect(false);
        addYieldPersons(*person);
    } else if (isAnyoneHavingYield()) {
        person->showWaitingCheck();
    } else {
        person->showResultNoneWithDelay((tag - 1) * kPoseStagger);
    }
    person->setHidden(PersonManager::isPersonExploring(tag));
    return person;
}

void StageView::removePersonViews() {
    for (const auto& person : persons()) {
        person->setDelegate(nullptr);
        person->removeFromSuperview();
    }
    // The removed persons must not be collected any more.
    for (auto& group : yieldPersons_) group.clear();
}

void StageView::drawPersons() {
    removePersonViews();
    for (int64_t m = MemberManager::numAddedMembers(); m >= 1; --m)
        if (MemberManager::haveMemberWithId(m)) generatePersonViewWithTag(static_cast<int>(m) + 20);
    for (int id = 20; id >= 1; --id) generatePersonViewWithTag(id);
    bringSubviewToFront(bossBalloon_.get());
    bringSubviewToFront(throwStageView_.get());
}

void StageView::drawAddedPersons() {
    for (int id = 1; id <= 20; ++id)
        if (!personWithId(id)) generatePersonViewWithTag(id);
    for (int64_t m = 1; m <= MemberManager::numAddedMembers(); ++m) {
        const int id = static_cast<int>(m) + 20;
        if (!personWithId(id) && MemberManager::haveMemberWithId(m)) generatePersonViewWithTag(id);
    }
    bringSubviewToFront(bossBalloon_.get());
    bringSubviewToFront(throwStageView_.get());
}

// ---- Walking off

void StageView::moveAllPersonsForExplore() {
    int sent = 0;
    for (const auto& person : persons()) {  // back to front
        if (PersonManager::isPersonExploring(person->personId())) continue;
        moveOnePerson(*person, kEntrance, sent * kGoStagger);
        ++sent;
    }
}

void StageView::moveOnePerson(PersonView& person, Point pos, double delay) {
    if (person.isMovingForGo() || person.isMovingForBack()) return;
    person.setIsMovingForGo(true);
    PersonManager::getInstance()->addExploringsWithPersonId(person.personId());
    person.setCurrentYieldType(PersonView::kYieldNothing);
    person.removeYields();
    person.personImgView()->setImage(nullptr);
    person.showExploring();

    AnimationOptions options;
    options.curve = AnimationCurve::easeOut;
    options.allowUserInteraction = true;
    std::weak_ptr<View> weak = person.weak_from_this();
    View::animateWithDuration(
        kGoDuration, delay, options,
        [&person, pos] {
            person.setCenter(pos);
            person.setTransform(Transform::makeScale(kFarScale, kFarScale));
            person.setAlpha(kFarAlpha);
        },
        [weak](bool) {
            if (auto p = std::static_pointer_cast<PersonView>(weak.lock())) {
                p->setHidden(true);
                p->setIsMovingForGo(false);
            }
            NMCommon::sendNotification(GameEvents::kMoveDidEnd);
        });
}

// ---- Coming back

void StageView::comebackOnePersonWithResult(bool result, bool animated) {
    if (PersonManager::getInstance()->explorings().empty()) return;
    const auto all = persons();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {  // front to back
        PersonView& person = **it;
        if (person.isMovingForGo() || person.isMovingForBack()) continue;
        if (!PersonManager::isPersonExploring(person.personId())) continue;
        comebackOnePerson(person, result, kEntrance, 0, true, animated);
        return;
    }
}

void StageView::comebackAllPersonWithResult(bool result, bool animated) {
    const auto all = persons();
    int k = 0;
    for (auto it = all.rbegin(); it != all.rend(); ++it) {  // front to back: the lowest id first
        PersonView& person = **it;
        if (!PersonManager::isPersonExploring(person.personId())) continue;
        comebackOnePerson(person, result, kEntrance, k * kBackAllStagger, false, animated);
        ++k;
    }
}

void StageView::comebackOnePerson(PersonView& person, bool result, Point fromPos, double delay, bool quake, bool animated) {
    if (person.isMovingForGo() || person.isMovingForBack()) return;
    if (animated) person.setIsMovingForBack(true);

    // The result is settled as the person starts back, not when it arrives.
    if (result) {
        const unsigned dungeonId = currentDungeonInfo_.id;
        person.showResultWithDungeonId(dungeonId);
        DungeonManager::addExploreCntWithDungeonId(dungeonId);
    } else {
        person.showResultNoneWithDelay(delay);
    }
    PersonManager::updatePersonInfoWithId(person.personId(), person.currentYieldType(), person.currentMonsterId(),
                                          person.currentDungeonId());
    person.setCenter(fromPos);

    const Point slot = positionOfPersonId(person.personId());
    if (!animated) {
        person.setHidden(false);
        person.setAlpha(1.0);
        person.setTransform(Transform::identity());
        person.setCenter(slot);
        comebackDidEnd(person, false);
        return;
    }

    const uint32_t yield = person.currentYieldType();
    if (quake && (yield == PersonView::kYieldMonster || yield == PersonView::kYieldCoffin)) {
        NMCommon::sendNotification(GameEvents::kBattling);
        delay += kBattleDelay;
    }

    std::weak_ptr<View> weak = person.weak_from_this();
    std::weak_ptr<void> alive = lifetime();
    performBlock(
        [this, weak, alive, slot] {
            auto p = std::static_pointer_cast<PersonView>(weak.lock());
            if (!p) return;
            // Coffins tumble out of the dungeon: in view turned one random way, home turned
            // the other (the transform animation takes the short way between the two).
            const bool coffin = p->currentYieldType() == PersonView::kYieldCoffin;
            Transform far = Transform::makeScale(kFarScale, kFarScale);
            if (coffin) far = far.rotated(coffinTurn());
            p->setHidden(false);
            p->setAlpha(kFarAlpha);
            p->setTransform(far);

            AnimationOptions options;
            options.curve = AnimationCurve::easeIn;
            options.allowUserInteraction = true;
            const Transform near = coffin ? Transform::makeRotation(-coffinTurn()) : Transform::identity();
            View::animateWithDuration(
                coffin ? kCoffinBackDuration : kBackDuration, 0, options,
                [&p, slot, near] {
                    p->setCenter(slot);
                    p->setTransform(near);
                    p->setAlpha(1.0);
                },
                [this, weak, alive](bool) {
                    if (alive.expired()) return;
                    if (auto q = std::static_pointer_cast<PersonView>(weak.lock())) comebackDidEnd(*q, true);
                });
        },
        delay);
}

void StageView::comebackDidEnd(PersonView& person, bool animated) {
    PersonManager::getInstance()->addWaitingsWithPersonId(person.personId());
    person.setIsMovingForBack(false);
    const uint32_t yield = person.currentYieldType();
    if (yield == PersonView::kYieldCoffin) {
        person.showKanokeWithEffect(animated);
        addYieldPersons(person);
    } else if (yield == PersonView::kYieldPicture || yield == PersonView::kYieldMonster) {
        person.waitingWithYield();
        addYieldPersons(person);
    }
    NMCommon::sendNotification(GameEvents::kComebackDidEnd);
}

// ---- Questions

bool StageView::isAnyoneMovingForGo() const {
    const auto all = persons();
    return std::any_of(all.begin(), all.end(), [](const auto& p) { return p->isMovingForGo(); });
}

bool StageView::isAnyoneMovingForBack() const {
    const auto all = persons();
    return std::any_of(all.begin(), all.end(), [](const auto& p) { return p->isMovingForBack(); });
}

bool StageView::isAnyoneExploring() const {
    const auto all = persons();
    return std::any_of(all.begin(), all.end(), [](const auto& p) { return PersonManager::isPersonExploring(p->personId()); });
}

bool StageView::isAnyoneHavingYield() const {
    const auto all = persons();
    return std::any_of(all.begin(), all.end(), [](const auto& p) { return p->currentYieldType() != PersonView::kYieldNothing; });
}

void StageView::resetPersonPoses() {
    for (const auto& person : persons()) person->showResultNoneWithDelay((person->personId() - 1) * kPoseStagger);
}

// ---- Yield groups and touches

void StageView::addYieldPersons(PersonView& person) {
    person.updateCurrentRect();
    const int k = groupOfPersonId(person.personId());
    auto& group = yieldPersons_[k - 1];
    group.push_back(std::static_pointer_cast<PersonView>(person.shared_from_this()));

    double top = kBandTopStart;
    double bottom = kBandBottomStart;
    for (const auto& member : group) {
        const Rect r = member->currentRect();
        top = std::min(top, r.minY());
        bottom = std::max(bottom, r.maxY());
    }
    minY_[k - 1] = top;
    maxY_[k - 1] = bottom;

    minYAll_ = kBandTopStart;
    maxYAll_ = kBandBottomStart;
    for (int g = 0; g < kNumGroups; ++g) {
        minYAll_ = std::min(minYAll_, minY_[g]);
        maxYAll_ = std::max(maxYAll_, maxY_[g]);
    }
}

void StageView::processTouches(const TouchSet& touches) {
    const Touch* touch = touches.anyObject();
    if (!touch) return;
    const Point location = touch->locationInView(this);
    if (location.y > maxYAll_ || location.y < minYAll_) return;
    for (int k = 1; k <= kNumGroups; ++k) {
        if (yieldPersons_[k - 1].empty()) continue;
        if (location.y < minY_[k - 1] || location.y > maxY_[k - 1]) continue;
        if (hitTestForAllPersonWithPos(location, k)) return;
    }
}

bool StageView::hitTestForAllPersonWithPos(Point pos, int group) {
    auto& members = yieldPersons_[group - 1];
    for (auto it = members.begin(); it != members.end(); ++it) {
        std::shared_ptr<PersonView> person = *it;  // kept alive while it is taken out
        if (person->isCheking() || !person->isBeforeCheck()) continue;
        if (!person->currentRect().contains(pos)) continue;
        if (!person->checkResult()) continue;
        if (!bossBalloon_->isHidden()) bossBalloon_->hide();
        members.erase(it);
        return true;
    }
    return false;
}

void StageView::touchesBegan(const TouchSet& touches) { processTouches(touches); }

void StageView::touchesMoved(const TouchSet& touches) { processTouches(touches); }

bool StageView::pointInside(Point p) const {
    if (View::pointInside(p)) return true;
    // Yields carried by the back rows stick out above the stage.
    double top = 0;
    for (int g = 0; g < kNumGroups; ++g)
        if (!yieldPersons_[g].empty()) top = std::min(top, minY_[g]);
    return p.x >= 0 && p.x < bounds().width() && p.y >= top && p.y < 0;
}

// ---- The person's delegate

void StageView::startThrowYield(std::shared_ptr<ImageView> yieldImgView, Point centerPos, PersonView& sender) {
    yieldImgView->setCenter(centerPos + sender.frame().origin);
    throwStageView_->addSubview(yieldImgView);

    const Point y = yieldImgView->center();
    const Point p = sender.center();
    const double targetX = y.x - std::clamp(p.x - kThrowTowardsX, -kThrowDrift, kThrowDrift);
    const double targetY1 = y.y - 120;
    const View* owner = superview();
    const double ownerHeight = owner ? owner->frame().height() : frame().height();
    const double targetY2 = ownerHeight - center().y - y.y + 200;
    // Small yields grow more on the way up.
    const double scale = std::max(1.0, 2.0 - yieldImgView->frame().width() / 100);

    std::weak_ptr<View> weak = sender.weak_from_this();
    NMAnimationCommon::startThrowView(*yieldImgView, scale, targetX, targetY1, targetY2, [weak] {
        if (auto person = std::static_pointer_cast<PersonView>(weak.lock())) person->animationDidStop(nullptr, true);
    });
}

void StageView::finishCheck(PersonView& person) {
    if (isAnyoneHavingYield()) {
        person.showWaitingCheck();
    } else {
        person.showResultNoneWithDelay(0);
    }
    PersonManager::finishCollectionWithPersonId(person.personId());
    NMCommon::sendNotification(GameEvents::kCheckDidEnd);
}

// ---- Boss balloon and lifetime

void StageView::bossHunted(const Notification& notification) {
    (void)notification;
    if (bossBalloon_->isHidden()) bossBalloon_->show();
}

void StageView::drawRect() {
    bossBalloon_->setHidden(true);
    bossBalloon_->updateMsg(NSLocalizedString("BossHunted"));
}

void StageView::didMoveToWindow() {
    if (window()) drawRect();
}

void StageView::releasePersons() {
    for (const auto& person : persons()) person->setDelegate(nullptr);
}
