#include "ModelTestSupport.h"

using DungeonManagerTest = ModelTest;

TEST_F(DungeonManagerTest, BossesUnlockTheNextDungeonAndTheSixthShowsTheWholeTable) {
    auto unlocked = [] {
        std::vector<bool> u;
        for (unsigned d : {0, 1, 2, 3, 8, 20}) u.push_back(DungeonManager::isUnlockedWithDungeonId(d));
        return u;
    };
    auto* monsters = MonsterManager::getInstance();
    monsters->addMonsterWithId(42);  // boss of 7 before the earlier ones: 8 is unlocked but hidden
    monsters->addMonsterWithId(5);   // not a boss
    // Dungeon 19 is not in the table: boss 0 is never hunted.
    EXPECT_EQ(unlocked(), (std::vector<bool>{true, true, false, false, true, false}));
    EXPECT_EQ(DungeonManager::latestUnlockedDungeonId(), 1u);
    EXPECT_EQ(DungeonManager::visibleDungeons().count(), 6u);
    monsters->addMonsterWithId(6);  // boss of dungeon 1
    EXPECT_EQ(unlocked(), (std::vector<bool>{true, true, true, false, true, false}));
    EXPECT_EQ(DungeonManager::latestUnlockedDungeonId(), 2u);
    for (unsigned d = 2; d <= 5; ++d) monsters->addMonsterWithId(6 * d);
    EXPECT_EQ(DungeonManager::visibleDungeons().count(), 6u);
    EXPECT_EQ(DungeonManager::numUnlockedDungeons(), 5u);
    monsters->addMonsterWithId(36);  // boss of dungeon 6 shows the rest, 8 counts now
    EXPECT_EQ(DungeonManager::visibleDungeons(), DungeonStaticData::getInstance()->dungeons());
    EXPECT_EQ(DungeonManager::latestUnlockedDungeonId(), 8u);
}

TEST_F(DungeonManagerTest, ExploreCountsRewriteTheWholeRecord) {
    store().setObject(Value("seven"), "dungeon_2");  // malformed: reads as absent
    EXPECT_EQ(DungeonManager::currentExploreCntWithDungeonId(2), 0u);
    DungeonManager::addExploreCntWithDungeonId(2);
    EXPECT_EQ(DungeonManager::currentExploreCntWithDungeonId(2), 1u);
    DungeonManager::addExploreCntWithDungeonId(4);
    Value record = store().dictionaryForKey(DungeonManager::dungeonInfoUserDefaultsKeyWithId(4));
    EXPECT_TRUE(record["dungeon_id"].isUnsigned() && record["explore_cnt"].isUnsigned());
    store().setObject(record.with("stray", Value(1)), "dungeon_4");  // an old record's extras do not survive
    DungeonManager::addExploreCntWithDungeonId(4);
    DungeonManager::addExploreCntWithDungeonId(4);
    EXPECT_EQ(store().dictionaryForKey("dungeon_4"), (Value{{"dungeon_id", Value(4u)}, {"explore_cnt", Value(3u)}}));
}

TEST_F(DungeonManagerTest, MusicFollowsTheCurrentDungeon) {
    auto music = [](std::vector<int> ids) {
        std::string out;
        for (int id : ids) {
            store().setInteger(id, SavedStateKeys::currentDungeonId);
            out += DungeonManager::currentDungeonBGM() + " ";
        }
        return out;
    };
    // Dungeon 9 is not in the small table: no entry gives the first dungeon's music.
    EXPECT_EQ(music({1, 2, 3, 4, 5, 6, 7, 8, 0, 9}),
              "bgm_9.aif bgm_2.aif bgm_3.aif bgm_4.aif bgm_5.aif bgm_6.aif bgm_4.aif bgm_3.aif bgm_9.aif bgm_9.aif ");
    Value::Array rows;  // eleven dungeons for the last rows of the music table
    for (int d = 1; d <= 11; ++d) rows.push_back(Value{{"id", Value(d)}, {"boss_id", Value(6 * d)}});
    writePlist(folders().root / "ten" / "dungeons.plist", Value(rows));
    ResourceBundle::setRootDirectory((folders().root / "ten").string());
    resetSingletons();
    EXPECT_EQ(music({9, 10, 11}), "bgm_2.aif bgm_7.aif bgm_9.aif ");
}
