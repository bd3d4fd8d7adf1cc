// Monster records: counting hunts with their events, immutable record copies, the collection
// count, the equipment a monster requires, and the save point with the collection unlock.
#include "ModelTestSupport.h"
#include "model/EquipManager.h"
#include "model/SavedStateKeys.h"

using namespace modeltest;

using MonsterManagerTest = ModelTest;

TEST_F(MonsterManagerTest, FirstHuntAppendsARecordAndPostsNewMonsterOnce) {
    recordEvents({"newMonster", "collectionUnlocked"});
    auto* manager = MonsterManager::getInstance();
    EXPECT_TRUE(manager->monsters().isNil());
    EXPECT_FALSE(manager->huntedMonsterWithId(3));
    EXPECT_TRUE(manager->monsterInfoWithId(3).isNil());
    manager->addMonsterWithId(3);
    EXPECT_TRUE(events.empty()) << "events wait for the main loop";
    RunLoop::main().drain();
    EXPECT_EQ(events, std::vector<std::string>{"newMonster"});
    EXPECT_EQ(manager->monsterInfoWithId(3), MonsterManager::generateMonsterInfoWithId(3, 1));
    EXPECT_EQ(manager->totalMonster(), 1u);
    EXPECT_EQ(analytics->pageViews(), std::vector<std::string>{"/NEW_MONSTER_3"});

    manager->addMonsterWithId(3);
    RunLoop::main().drain();
    EXPECT_EQ(events.size(), 1u) << "a repeat hunt posts nothing";
    EXPECT_EQ(manager->numHuntedMonsterWithId(3), 2u);
    EXPECT_EQ(manager->totalMonster(), 2u);
    EXPECT_EQ(manager->numHuntedMonsters(), 1u);
    EXPECT_EQ(analytics->pageViews().size(), 1u);

    // Records keep the order in which monsters were first hunted.
    manager->addMonsterWithId(9);
    manager->addMonsterWithId(1);
    manager->addMonsterWithId(9);
    EXPECT_EQ(manager->monsters(), Value::array({MonsterManager::generateMonsterInfoWithId(3, 2),
                                                 MonsterManager::generateMonsterInfoWithId(9, 2),
                                                 MonsterManager::generateMonsterInfoWithId(1, 1)}));
    EXPECT_EQ(manager->totalMonster(), 5u);
    // Nothing reaches the store before a save.
    EXPECT_TRUE(store().objectForKey(SavedStateKeys::monsters).isNil());
}

TEST_F(MonsterManagerTest, AChangeNeverAltersARecordHeldElsewhere) {
    auto* manager = MonsterManager::getInstance();
    manager->addMonsterWithId(4);
    const Value heldList = manager->monsters();
    const Value heldRecord = manager->monsterInfoWithId(4);

    manager->addMonsterWithId(4);
    manager->updateMonsterInfoViewedWithId(4);
    EXPECT_EQ(heldRecord["times"].unsignedValue(), 1u);
    EXPECT_FALSE(heldRecord["viewed"].boolValue());
    EXPECT_EQ(heldList[0]["times"].unsignedValue(), 1u);
    EXPECT_EQ(manager->numHuntedMonsterWithId(4), 2u);
    EXPECT_TRUE(manager->viewedWithId(4));

    // The saved list is a snapshot as well.
    manager->saveMonsters();
    const Value saved = store().arrayForKey(SavedStateKeys::monsters);
    manager->addMonsterWithId(4);
    EXPECT_EQ(saved[0]["times"].unsignedValue(), 2u);

    // Viewing a monster never hunted changes nothing.
    const Value before = manager->monsters();
    manager->updateMonsterInfoViewedWithId(8);
    EXPECT_EQ(manager->monsters(), before);
    EXPECT_FALSE(manager->viewedWithId(8));
}

TEST_F(MonsterManagerTest, BeatingAMonsterNeedsEveryRequiredEquipmentAndTheCollectionGrows) {
    // Monster 2 requires equipment 3, nothing, 5.
    EXPECT_FALSE(MonsterManager::isStrongerThanMonsterId(2));
    EquipManager::addEquipWithId(3);
    store().setObject(Value::dictionary(), "equip_5");  // an empty record is not owned
    EXPECT_FALSE(MonsterManager::isStrongerThanMonsterId(2));
    EquipManager::addEquipWithId(5);
    EXPECT_TRUE(MonsterManager::isStrongerThanMonsterId(2));

    // No requirement, or no table entry at all: always beaten.
    EXPECT_TRUE(MonsterManager::isStrongerThanMonsterId(1));
    EXPECT_TRUE(MonsterManager::isStrongerThanMonsterId(999));

    // The collection counts 36 of the table's 40 until the boss of dungeon 6 opens dungeon 7.
    EXPECT_EQ(MonsterManager::numAllMonsters(), 36u);
    MonsterManager::getInstance()->addMonsterWithId(36);
    EXPECT_EQ(MonsterManager::numAllMonsters(), 40u);
}

TEST_F(MonsterManagerTest, SaveStoresRecordsThenUnlocksTheCollectionOnce) {
    recordEvents({"collectionUnlocked"});
    auto* manager = MonsterManager::getInstance();

    // No monster yet: a save unlocks nothing.
    manager->saveMonsters();
    RunLoop::main().drain();
    EXPECT_TRUE(events.empty());
    EXPECT_FALSE(store().boolForKey(SavedStateKeys::collectionUnlocked));

    manager->addMonsterWithId(5);
    manager->addMonsterWithId(5);
    // The score report runs right after the flush, before the collection flag is set, so the
    // flag waits for the next flush.
    bool flagAtReport = true;
    Value monstersAtReport;
    SavePointHooks::setAfterSaveHandler([&] {
        flagAtReport = store().boolForKey(SavedStateKeys::collectionUnlocked);
        monstersAtReport = store().arrayForKey(SavedStateKeys::monsters);
    });
    manager->saveMonsters();
    EXPECT_FALSE(flagAtReport);
    EXPECT_EQ(monstersAtReport.count(), 1u);
    EXPECT_TRUE(store().boolForKey(SavedStateKeys::collectionUnlocked));
    EXPECT_EQ(store().integerForKey(SavedStateKeys::totalMonster), 2);
    EXPECT_EQ(store().arrayForKey(SavedStateKeys::monsters), manager->monsters());
    RunLoop::main().drain();
    EXPECT_EQ(events, std::vector<std::string>{"collectionUnlocked"});

    manager->addMonsterWithId(6);
    manager->saveMonsters();
    RunLoop::main().drain();
    EXPECT_EQ(events.size(), 1u) << "later saves post nothing";
}

TEST_F(MonsterManagerTest, RecordsAreLoadedAtCreationAndSavedAtTeardown) {
    store().setObject(Value("not a list"), SavedStateKeys::monsters);  // another kind reads as none
    EXPECT_EQ(MonsterManager::getInstance()->numHuntedMonsters(), 0u);
    MonsterManager::getInstance()->addMonsterWithId(11);
    MonsterManager::resetInstanceForTesting();  // teardown saves like a save point
    EXPECT_EQ(store().arrayForKey(SavedStateKeys::monsters).count(), 1u);

    Value records = Value(Value::Array{MonsterManager::generateMonsterInfoWithId(7, 3).with("viewed", Value(true)),
                                       MonsterManager::generateMonsterInfoWithId(2, 1)});
    store().setObject(records, SavedStateKeys::monsters);
    store().setInteger(9, SavedStateKeys::totalMonster);
    auto* manager = MonsterManager::getInstance();
    EXPECT_EQ(manager->numHuntedMonsters(), 2u);
    EXPECT_EQ(manager->numHuntedMonsterWithId(7), 3u);
    EXPECT_TRUE(manager->viewedWithId(7));
    EXPECT_EQ(manager->totalMonster(), 9u);
}
