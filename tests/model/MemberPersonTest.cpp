#include "ModelTestSupport.h"

using MemberManagerTest = ModelTest;

TEST_F(MemberManagerTest, PartyGrowsFromTwentyToThirtyCountingRecordsNotPositions) {
    recordEvents({"memberUpdated"});
    for (int i = 1; i <= 10; ++i) EXPECT_TRUE(MemberManager::addMember());
    EXPECT_EQ(store().dictionaryForKey("member_10"), (Value{{"member_id", Value(10)}}));
    EXPECT_TRUE(MemberManager::isMaxMember() && MemberManager::numTotalMembers() == 30);
    EXPECT_FALSE(MemberManager::addMember() || MemberManager::canAddMember());
    RunLoop::main().drain();
    EXPECT_EQ(events.size(), 10u) << "a refused member posts nothing";
    gametest::clearStore();
    MemberManager::addMemberWithId(3);
    store().setObject(Value("member"), "member_9");
    store().setObject(Value{{"member_id", Value(11)}}, "member_11");  // beyond the tenth: ignored
    EXPECT_EQ(MemberManager::numAddedMembers(), 1);
}

TEST_F(MemberManagerTest, ThreeHoursBetweenTwoAdditionsOnTheWallClock) {
    const double now = clock->wallNow();
    EXPECT_TRUE(MemberManager::canAddMember()) << "fresh install: a member at once";
    store().setDouble(now, SavedStateKeys::timestampPostBonus);
    clock->jumpWall(-3600.0);  // a clock set back makes the wait longer
    EXPECT_DOUBLE_EQ(MemberManager::leftTimeToAddMember(), 14400.0);
    clock->setWall(now + 10799.0);
    EXPECT_FALSE(MemberManager::canAddMember());
    clock->jumpWall(1.0);
    EXPECT_TRUE(MemberManager::canAddMember()) << "zero means now";
}

using PersonManagerTest = ModelTest;

TEST_F(PersonManagerTest, MovesTakeTheIdOnceHomeComersQueueAtTheEndAndAYieldChangeKeepsOrDropsFields) {
    PersonManager::updatePersonInfoWithId(4, true);  // the lists are built from the records
    auto* persons = PersonManager::getInstance();
    for (int i = 0; i < 2; ++i) persons->addExploringsWithPersonId(3);
    EXPECT_EQ(persons->explorings(), (Ids{4, 3}));
    for (int i = 0; i < 2; ++i) persons->addWaitingsWithPersonId(3);
    EXPECT_EQ(persons->explorings(), (Ids{4}));
    EXPECT_EQ(std::make_pair(persons->waitings().size(), persons->waitings().back()), std::make_pair(size_t(19), int64_t(3)));
    store().setObject(Value(12), "person_6");  // malformed: written anew
    PersonManager::updatePersonInfoWithId(6, 3, 17, 3);
    PersonManager::updatePersonInfoWithId(6, false);
    EXPECT_EQ(PersonManager::currentMonsterIdWithPersonId(6), 17u) << "going home keeps the monster";
    PersonManager::updatePersonInfoWithId(6, 2, 5, 1);  // a coffin: no monster fields
    EXPECT_EQ(PersonManager::personInfoWithId(6),
              (Value{{"person_id", Value(6)}, {"is_exploring", Value(false)}, {"yieldType", Value(2)}}));
}
