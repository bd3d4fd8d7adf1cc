#include "ModelTestSupport.h"

using MonsterManagerTest = ModelTest;

TEST_F(MonsterManagerTest, FirstHuntAppendsARecordAndPostsNewMonsterOnceAndRecordsHeldElsewhereStay) {
    recordEvents({"newMonster", "collectionUnlocked"});
    auto* manager = MonsterManager::getInstance();
    EXPECT_TRUE(manager->monsters().isNil());
    manager->addMonsterWithId(3);
    EXPECT_TRUE(events.empty()) << "events wait for the main loop";
    RunLoop::main().drain();
    EXPECT_EQ(events, std::vector<std::string>{"newMonster"});
    EXPECT_EQ(analytics->pageViews(), std::vector<std::string>{"/NEW_MONSTER_3"});
    const Value heldList = manager->monsters(), heldRecord = manager->monsterInfoWithId(3);
    for (unsigned id : {3, 9, 1, 9}) manager->addMonsterWithId(id);  // records keep the order of first hunts
    manager->updateMonsterInfoViewedWithId(3);
    manager->updateMonsterInfoViewedWithId(8);  // never hunted: nothing changes
    RunLoop::main().drain();
    EXPECT_EQ(events.size(), 3u) << "a repeat hunt posts nothing";
    EXPECT_EQ(analytics->pageViews().size(), 3u);
    EXPECT_EQ(manager->monsters(), Value::array({MonsterManager::generateMonsterInfoWithId(3, 2).with("viewed", Value(true)),
                                                 MonsterManager::generateMonsterInfoWithId(9, 2),
                                                 MonsterManager::generateMonsterInfoWithId(1, 1)}));
    EXPECT_EQ(manager->totalMonster(), 5u);
    EXPECT_EQ(heldRecord, MonsterManager::generateMonsterInfoWithId(3, 1)) << "a change never alters a record held elsewhere";
    EXPECT_EQ(heldList, Value::array({heldRecord}));
    EXPECT_TRUE(store().objectForKey(SavedStateKeys::monsters).isNil()) << "nothing reaches the store before a save";
}

TEST_F(MonsterManagerTest, BeatingAMonsterNeedsEveryRequiredEquipmentAndTheCollectionGrows) {
    EXPECT_FALSE(MonsterManager::isStrongerThanMonsterId(2));  // requires equipment 3, nothing, 5
    EquipManager::addEquipWithId(3);
    store().setObject(Value::dictionary(), "equip_5");  // an empty record is not owned
    EXPECT_FALSE(MonsterManager::isStrongerThanMonsterId(2));
    EquipManager::addEquipWithId(5);
    EXPECT_TRUE(MonsterManager::isStrongerThanMonsterId(2));
    EXPECT_TRUE(MonsterManager::isStrongerThanMonsterId(1) && MonsterManager::isStrongerThanMonsterId(999));
    EXPECT_EQ(MonsterManager::numAllMonsters(), 36u);  // of the table's 40, until the boss of dungeon 6 opens dungeon 7
    MonsterManager::getInstance()->addMonsterWithId(36);
    EXPECT_EQ(MonsterManager::numAllMonsters(), 40u);
}

TEST_F(MonsterManagerTest, SaveStoresASnapshotThenUnlocksTheCollectionOnce) {
    recordEvents({"collectionUnlocked"});
    auto* manager = MonsterManager::getInstance();
    manager->saveMonsters();  // no monster yet: nothing unlocked
    EXPECT_FALSE(store().boolForKey(SavedStateKeys::collectionUnlocked));
    manager->addMonsterWithId(5);
    manager->addMonsterWithId(5);
    // The score report runs right after the flush, before the flag is set: the flag waits for the next flush.
    bool flagAtReport = true;
    size_t monstersAtReport = 0;
    SavePointHooks::setAfterSaveHandler([&] {
        flagAtReport = store().boolForKey(SavedStateKeys::collectionUnlocked);
        monstersAtReport = store().arrayForKey(SavedStateKeys::monsters).count();
    });
    manager->saveMonsters();
    EXPECT_FALSE(flagAtReport);
    EXPECT_EQ(monstersAtReport, 1u);
    EXPECT_TRUE(store().boolForKey(SavedStateKeys::collectionUnlocked));
    EXPECT_EQ(store().integerForKey(SavedStateKeys::totalMonster), 2);
    const Value saved = store().arrayForKey(SavedStateKeys::monsters);
    EXPECT_EQ(saved, manager->monsters());
    manager->addMonsterWithId(5);
    EXPECT_EQ(saved[0]["times"].unsignedValue(), 2u) << "the saved list is a snapshot";
    manager->saveMonsters();
    RunLoop::main().drain();
    EXPECT_EQ(events, std::vector<std::string>{"collectionUnlocked"}) << "once";
}

TEST_F(MonsterManagerTest, RecordsAreLoadedAtCreationAndSavedAtTeardown) {
    store().setObject(Value("not a list"), SavedStateKeys::monsters);  // another kind reads as none
    EXPECT_EQ(MonsterManager::getInstance()->numHuntedMonsters(), 0u);
    MonsterManager::getInstance()->addMonsterWithId(11);
    MonsterManager::resetInstanceForTesting();
    EXPECT_EQ(store().arrayForKey(SavedStateKeys::monsters).count(), 1u);
    store().setObject(Value::array({MonsterManager::generateMonsterInfoWithId(7, 3).with("viewed", Value(true)),
                                    MonsterManager::generateMonsterInfoWithId(2, 1)}),
                      SavedStateKeys::monsters);
    store().setInteger(9, SavedStateKeys::totalMonster);
    auto* manager = MonsterManager::getInstance();
    EXPECT_EQ(manager->numHuntedMonsters(), 2u);
    EXPECT_EQ(manager->numHuntedMonsterWithId(7), 3u);
    EXPECT_TRUE(manager->viewedWithId(7) && manager->huntedMonsterWithId(2) && !manager->huntedMonsterWithId(3));
    EXPECT_EQ(manager->totalMonster(), 9u);
}
