#include "ModelTestSupport.h"

using MemberManagerTest = ModelTest;

TEST_F(MemberManagerTest, PartyStartsAtTwentyAndGrowsToThirtyCountingRecordsNotPositions) {
    recordEvents({"memberUpdated"});
    EXPECT_EQ(MemberManager::numTotalMembers(), 20);
    EXPECT_TRUE(MemberManager::addMember());
    EXPECT_EQ(store().dictionaryForKey("member_1"), (Value{{"member_id", Value(1)}}));
    RunLoop::main().drain();
    EXPECT_EQ(events, std::vector<std::string>{"memberUpdated"});
    for (int i = 2; i <= 9; ++i) EXPECT_TRUE(MemberManager::addMember());
    EXPECT_FALSE(MemberManager::isMaxMember());
    EXPECT_TRUE(MemberManager::addMember());
    EXPECT_TRUE(MemberManager::isMaxMember());
    EXPECT_FALSE(MemberManager::addMember() || MemberManager::haveMemberWithId(11) || MemberManager::canAddMember());
    RunLoop::main().drain();
    EXPECT_EQ(events.size(), 10u) << "a refused member posts nothing";
    gametest::clearStore();
    MemberManager::addMemberWithId(3);
    MemberManager::addMemberWithId(7);
    store().setObject(Value::dictionary(), "member_8");
    store().setObject(Value("member"), "member_9");
    store().setObject(Value{{"member_id", Value(11)}}, "member_11");  // beyond the tenth: ignored
    EXPECT_EQ(MemberManager::numAddedMembers(), 2);
}

TEST_F(MemberManagerTest, ThreeHoursBetweenTwoAdditionsOnTheWallClock) {
    const double now = clock->wallNow();
    EXPECT_DOUBLE_EQ(MemberManager::leftTimeToAddMember(), 10800.0 - now);  // fresh install: a member at once
    EXPECT_TRUE(MemberManager::canAddMember());
    store().setDouble(now, SavedStateKeys::timestampPostBonus);
    clock->jumpWall(-3600.0);  // a clock set back makes the wait longer
    EXPECT_DOUBLE_EQ(MemberManager::leftTimeToAddMember(), 14400.0);
    clock->setWall(now + 10799.0);
    EXPECT_FALSE(MemberManager::canAddMember());
    clock->jumpWall(1.0);
    EXPECT_DOUBLE_EQ(MemberManager::leftTimeToAddMember(), 0.0);
    EXPECT_TRUE(MemberManager::canAddMember()) << "zero means now";
}

using PersonManagerTest = ModelTest;

TEST_F(PersonManagerTest, ListsAreRebuiltFromTheRecordsAndMovesTakeTheIdOnce) {
    for (int i = 0; i < 2; ++i) MemberManager::addMember();
    for (int64_t id : {22, 4, 2}) PersonManager::updatePersonInfoWithId(id, true);
    PersonManager::updatePersonInfoWithId(5, false);
    auto* persons = PersonManager::getInstance();
    EXPECT_EQ(persons->explorings(), (std::vector<int64_t>{2, 4, 22}));
    std::vector<int64_t> home = persons->waitings();
    ASSERT_EQ(home.size(), 19u);
    EXPECT_EQ(std::vector<int64_t>(home.begin(), home.begin() + 3), (std::vector<int64_t>{1, 3, 5}));
    EXPECT_EQ(home.back(), 21);
    PersonManager::resetInstanceForTesting();
    gametest::clearStore();
    persons = PersonManager::getInstance();
    for (int64_t id : {3, 3, 1}) persons->addExploringsWithPersonId(id);
    EXPECT_EQ(persons->explorings(), (std::vector<int64_t>{3, 1}));
    EXPECT_EQ(persons->waitings().size(), 18u);
    persons->addWaitingsWithPersonId(3);
    persons->addWaitingsWithPersonId(3);
    EXPECT_EQ(persons->explorings(), std::vector<int64_t>{1});
    EXPECT_EQ(persons->waitings().back(), 3) << "at home in the order they came back";
    EXPECT_EQ(persons->waitings().size(), 19u);
    EXPECT_FALSE(PersonManager::isPersonExploring(3));
    persons->removeFromWaitingsWithPersonId(3);
    for (int i = 0; i < 2; ++i) persons->removeFromExploringsWithPersonId(1);
    EXPECT_TRUE(persons->explorings().empty());
    EXPECT_EQ(persons->waitings().size(), 18u);
}

TEST_F(PersonManagerTest, RecordsStartWithThePersonIdAndAYieldChangeKeepsOrDropsFields) {
    store().setObject(Value(12), "person_2");  // malformed: reads as a waiting person
    EXPECT_TRUE(PersonManager::personInfoWithId(2).isNil());
    PersonManager::updatePersonInfoWithId(6, true);
    EXPECT_EQ(store().dictionaryForKey("person_6"), (Value{{"person_id", Value(6)}, {"is_exploring", Value(true)}}));
    EXPECT_EQ(PersonManager::currentYieldTypeWithPersonId(6), 0) << "no yieldType reads as nothing";
    PersonManager::updatePersonInfoWithId(6, 3, 17, 3);
    EXPECT_TRUE(PersonManager::isPersonExploring(6)) << "a yield change keeps the other fields";
    EXPECT_EQ(PersonManager::currentYieldTypeWithPersonId(6) + PersonManager::currentDungeonIdWithPersonId(6), 6);
    EXPECT_TRUE(PersonManager::personInfoWithId(6)["monsterId"].isUnsigned());
    PersonManager::updatePersonInfoWithId(6, false);
    EXPECT_EQ(PersonManager::currentMonsterIdWithPersonId(6), 17u) << "going home keeps the monster";
    const Value before = PersonManager::personInfoWithId(6);
    PersonManager::updatePersonInfoWithId(6, 2, 5, 1);  // a coffin: no monster fields
    EXPECT_EQ(PersonManager::personInfoWithId(6),
              (Value{{"person_id", Value(6)}, {"is_exploring", Value(false)}, {"yieldType", Value(2)}}));
    EXPECT_EQ(before["monsterId"].unsignedValue(), 17u) << "a record held elsewhere is a copy";
    PersonManager::updatePersonInfoWithId(2, 0, 0, 0);  // the malformed record is written anew
    EXPECT_EQ(PersonManager::personInfoWithId(2), (Value{{"person_id", Value(2)}, {"yieldType", Value(0)}}));
}
