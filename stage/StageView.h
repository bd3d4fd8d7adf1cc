#pragma once
// The stage: the ground of the main screen on which the party stands. It owns one person per
// party member (persons 1..20, and 21..30 for the added members), each on a fixed slot, walks
// them into the dungeon when an explore starts, brings them back one at a time or all together,
// and turns touches and swipes into collections. It is the delegate of its persons: it takes
// their thrown yields over into the throw layer and hears when a collection has ended.
//
// Stage coordinates: the dungeon entrance is (160, 0); the five rows of slots lie between y 34
// (back) and 128 (front). A person with a lower id always stands in front of one with a higher id.
//
// Persons holding an uncollected yield are kept in five yield groups, one per row, each with the
// vertical hit band its persons' touch rectangles cover, so a touch only tests the rows it can
// reach. A touch-move runs the same test as a touch-down: a swipe collects every person the
// finger passes over, one per event, the front row first where rows overlap.
//
// Events posted (no object): "moveDidEnd" (a person has walked off), "comebackDidEnd" (a person
// is back), "checkDidEnd" (a collection has ended), "battling" (a person came back alone from a
// battle; 1.2 s before it comes into view). Observed: "bossHunted" (shows the boss balloon).
#include <array>
#include <memory>
#include <vector>

#include "model/StaticRows.h"
#include "platform/foundation/Value.h"
#include "platform/ui/View.h"
#include "stage/PersonView.h"

class BalloonView;
struct Notification;

class StageView : public View, public PersonViewDelegate {
public:
    static constexpr int kNumSlots = 30;
    static constexpr int kNumGroups = 5;
    // The entrance the party walks into and comes back out of.
    static constexpr Point kEntrance{160, 0};
    static constexpr double kGoDuration = 0.8;
    static constexpr double kGoStagger = 0.016;
    static constexpr double kBackDuration = 1.3;
    static constexpr double kCoffinBackDuration = 0.5;
    static constexpr double kBackAllStagger = 0.05;
    // A battle is announced this long before the fighter comes into view.
    static constexpr double kBattleDelay = 1.2;
    static constexpr double kFarScale = 0.3;
    static constexpr double kFarAlpha = 0.7;
    static constexpr double kPoseStagger = 0.02;
    // Thrown yields drift towards this x, by at most kThrowDrift points.
    static constexpr double kThrowTowardsX = 184;
    static constexpr double kThrowDrift = 60;

    // The stage as loaded: empty yield groups, the slot table, the throw layer and the boss
    // balloon; observes "bossHunted".
    explicit StageView(const Rect& frame);
    ~StageView() override;

    // ---- Fields
    // Hit band of yield group k (1..5), stage coordinates; 0 and 0 until the group got a person.
    double minY(int group) const { return minY_[group - 1]; }
    double maxY(int group) const { return maxY_[group - 1]; }
    double minYAll() const { return minYAll_; }
    double maxYAll() const { return maxYAll_; }
    const DungeonRow& currentDungeonInfo() const { return currentDungeonInfo_; }
    void setCurrentDungeonInfo(const DungeonRow& info) { currentDungeonInfo_ = info; }
    // A dungeon missing from the table reads as no dungeon (id 0).
    void setCurrentDungeonInfo(const DungeonRow* info) { currentDungeonInfo_ = info ? *info : DungeonRow(); }
    // The 30 slots: positions()[i - 1] is the centre of person i.
    const std::vector<Point>& positions() const { return positions_; }
    Point positionOfPersonId(int personId) const { return positions_[static_cast<size_t>(personId - 1)]; }
    // Yield group k (1..5): persons holding an uncollected yield, in the order they were added.
    const std::vector<std::shared_ptr<PersonView>>& yieldPersons(int group) const { return yieldPersons_[group - 1]; }
    const std::shared_ptr<View>& throwStageView() const { return throwStageView_; }
    const std::shared_ptr<BalloonView>& bossBalloon() const { return bossBalloon_; }

    // ---- Called by the exploration controller
    // Rebuilds every person from the saved person records.
    void drawPersons();
    // Creates only the persons that are missing (after a member was added).
    void drawAddedPersons();
    // Every person not recorded as exploring walks off, back row first.
    void moveAllPersonsForExplore();
    // Brings back exactly one exploring person (nobody when none is left). result: the person
    // meets a monster; otherwise it comes back with nothing.
    void comebackOnePersonWithResult(bool result, bool animated);
    // Brings back every exploring person, the front one first, 0.05 s apart.
    void comebackAllPersonWithResult(bool result, bool animated);
    bool isAnyoneMovingForGo() const;
    bool isAnyoneMovingForBack() const;
    bool isAnyoneExploring() const;
    bool isAnyoneHavingYield() const;
    // Every person stands idle again, person i after (i - 1) x 0.02 s.
    void resetPersonPoses();

    // ---- Internal and per-person steps
    void makePositions();
    std::shared_ptr<PersonView> generatePersonViewWithTag(int tag);
    void moveOnePerson(PersonView& person, Point pos, double delay);
    void comebackOnePerson(PersonView& person, bool result, Point fromPos, double delay, bool quake, bool animated);
    void comebackDidEnd(PersonView& person, bool animated);
    void addYieldPersons(PersonView& person);
    void processTouches(const TouchSet& touches);
    // Collects the first person of the group under the point; true when one was collected.
    bool hitTestForAllPersonWithPos(Point pos, int group);
    void bossHunted(const Notification& notification);
    // Clears the delegate of every person.
    void releasePersons();

    // The person views, back to front (sub-view order).
    std::vector<std::shared_ptr<PersonView>> persons() const;
    std::shared_ptr<PersonView> personWithId(int personId) const;
    // Yield group (1..5) of a person id.
    static int groupOfPersonId(int personId);

    // ---- Person delegate
    bool respondsToFinishCheck() const override { return true; }
    void finishCheck(PersonView& person) override;
    bool respondsToStartThrowYield() const override { return true; }
    void startThrowYield(std::shared_ptr<ImageView> yieldImgView, Point centerPos, PersonView& sender) override;

    // ---- Touches: down and move both collect.
    void touchesBegan(const TouchSet& touches) override;
    void touchesMoved(const TouchSet& touches) override;
    // The stage also takes touches just above its top edge, where yields of the back row stick out.
    bool pointInside(Point p) const override;

    // Drawing the stage resets the boss balloon: hidden, with its message.
    void drawRect();

protected:
    void didMoveToWindow() override;

private:
    void removePersonViews();

    std::array<double, kNumGroups> minY_{};
    std::array<double, kNumGroups> maxY_{};
    double minYAll_ = 0;
    double maxYAll_ = 0;
    DungeonRow currentDungeonInfo_;
    std::vector<Point> positions_;
    std::array<std::vector<std::shared_ptr<PersonView>>, kNumGroups> yieldPersons_;
    std::shared_ptr<View> throwStageView_;
    std::shared_ptr<BalloonView> bossBalloon_;
};
