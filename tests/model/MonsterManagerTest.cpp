#include "ModelTestSupport.h"

using MonsterManagerTest = ModelTest;

TEST_F(MonsterManagerTest, FirstHuntsAppendARecordAndPostNewMonsterAndCopiesHeldElsewhereStay) {
    recordEvents({"newMonster"});
    store().setObject(Value("not a list"), SavedStateKeys::monsters);  // another kind reads as none
    auto* manager = MonsterManager::getInstance();
    manager->addMonsterWithId(3);
    const Value heldList = manager->monsters();
    for (unsigned id : {3, 9, 1, 9}) manager->addMonsterWithId(id);  // records keep the order of first hunts
    manager->updateMonsterInfoViewedWithId(3);
    RunLoop::main().drain();
    EXPECT_EQ(events.size(), 3u) << "a repeat hunt posts nothing";
    EXPECT_EQ(analytics->pageViews(), (std::vector<std::string>{"/NEW_MONSTER_3", "/NEW_MONSTER_9", "/NEW_MONSTER_1"}));
    auto record = &MonsterManager::generateMonsterInfoWithId;
    EXPECT_EQ(manager->monsters(), Value::array({record(3, 2).with("viewed", Value(true)), record(9, 2), record(1, 1)}));
    EXPECT_EQ(heldList, Value::array({record(3, 1)})) << "a change never alters a copy held elsewhere";
    EXPECT_TRUE(store().objectForKey(SavedStateKeys::monsters).isString()) << "nothing reaches the store before a save";
}

TEST_F(MonsterManagerTest, SaveStoresASnapshotThenUnlocksTheCollectionOnceAndTeardownSavesToo) {
    recordEvents({"collectionUnlocked"});
    auto* manager = MonsterManager::getInstance();
    manager->saveMonsters();  // no monster yet: nothing unlocked
    EXPECT_FALSE(store().boolForKey(SavedStateKeys::collectionUnlocked));
    manager->addMonsterWithId(5);
    manager->addMonsterWithId(5);
    bool flagAtReport = true;  // the score report runs after the flush, before the flag is set
    SavePointHooks::setAfterSaveHandler([&] { flagAtReport = store().boolForKey(SavedStateKeys::collectionUnlocked); });
    manager->saveMonsters();
    EXPECT_FALSE(flagAtReport);
    EXPECT_TRUE(store().boolForKey(SavedStateKeys::collectionUnlocked));
    EXPECT_EQ(store().integerForKey(SavedStateKeys::totalMonster), 2);
    const Value saved = store().arrayForKey(SavedStateKeys::monsters);
    manager->addMonsterWithId(5);
    EXPECT_EQ(saved[0]["times"].unsignedValue(), 2u) << "the saved list is a snapshot";
    manager->saveMonsters();
    manager->addMonsterWithId(11);
    MonsterManager::resetInstanceForTesting();
    EXPECT_EQ(store().arrayForKey(SavedStateKeys::monsters).count(), 2u) << "saved at teardown";
    RunLoop::main().drain();
    EXPECT_EQ(events, std::vector<std::string>{"collectionUnlocked"}) << "once";
}
