// Dungeon progress: the unlock chain through the bosses' monster records, the visible dungeons,
// explore counts and the music of the current dungeon.
#include "ModelTestSupport.h"
#include "model/DungeonManager.h"
#include "model/SavedStateKeys.h"

using namespace modeltest;

using DungeonManagerTest = ModelTest;

TEST_F(DungeonManagerTest, BossesUnlockTheNextDungeonAndTheSixthShowsTheWholeTable) {
    EXPECT_EQ(DungeonManager::currentDungeonId(), 1u);
    EXPECT_TRUE(DungeonManager::isUnlockedWithDungeonId(1));
    EXPECT_TRUE(DungeonManager::isUnlockedWithDungeonId(0));
    EXPECT_EQ(DungeonManager::numUnlockedDungeons(), 0u);
    EXPECT_EQ(DungeonManager::latestUnlockedDungeonId(), 1u);
    EXPECT_EQ(DungeonManager::visibleDungeons().count(), 6u);

    auto* monsters = MonsterManager::getInstance();
    monsters->addMonsterWithId(5);  // not a boss
    EXPECT_FALSE(DungeonManager::isUnlockedWithDungeonId(2));
    monsters->addMonsterWithId(6);  // boss of dungeon 1
    EXPECT_TRUE(DungeonManager::isUnlockedWithDungeonId(2));
    EXPECT_FALSE(DungeonManager::isUnlockedWithDungeonId(3));
    EXPECT_EQ(DungeonManager::latestUnlockedDungeonId(), 2u);
    for (unsigned d = 2; d <= 5; ++d) monsters->addMonsterWithId(6 * d);
    EXPECT_EQ(DungeonManager::visibleDungeons().count(), 6u);
    EXPECT_EQ(DungeonManager::numUnlockedDungeons(), 5u);

    monsters->addMonsterWithId(36);  // boss of dungeon 6 opens dungeon 7
    EXPECT_EQ(DungeonManager::visibleDungeons(), DungeonStaticData::getInstance()->dungeons());
    EXPECT_EQ(DungeonManager::numUnlockedDungeons(), 6u);
    EXPECT_EQ(DungeonManager::latestUnlockedDungeonId(), 7u);
}

TEST_F(DungeonManagerTest, HiddenOrPredecessorlessDungeonsAreNotCounted) {
    // The boss of dungeon 7 hunted without the earlier ones: dungeon 8 is unlocked but hidden.
    MonsterManager::getInstance()->addMonsterWithId(42);
    EXPECT_TRUE(DungeonManager::isUnlockedWithDungeonId(8));
    EXPECT_EQ(DungeonManager::numUnlockedDungeons(), 0u);
    // Dungeon 20 looks up dungeon 19, which is not in the table: boss 0 is never hunted.
    EXPECT_FALSE(DungeonManager::isUnlockedWithDungeonId(20));
}

TEST_F(DungeonManagerTest, ExploreCountsRewriteTheWholeRecord) {
    EXPECT_EQ(DungeonManager::dungeonInfoUserDefaultsKeyWithId(3), "dungeon_3");
    store().setObject(Value("seven"), "dungeon_2");  // malformed: reads as absent
    EXPECT_EQ(DungeonManager::currentExploreCntWithDungeonId(2), 0u);
    DungeonManager::addExploreCntWithDungeonId(2);
    EXPECT_EQ(DungeonManager::currentExploreCntWithDungeonId(2), 1u);

    DungeonManager::addExploreCntWithDungeonId(4);
    Value record = store().dictionaryForKey("dungeon_4");
    EXPECT_EQ(record["dungeon_id"].unsignedValue(), 4u);
    EXPECT_TRUE(record["explore_cnt"].isUnsigned());
    // Extra fields of an old record do not survive: the record is written anew.
    store().setObject(record.with("stray", Value(1)), "dungeon_4");
    DungeonManager::addExploreCntWithDungeonId(4);
    DungeonManager::addExploreCntWithDungeonId(4);
    EXPECT_EQ(DungeonManager::currentExploreCntWithDungeonId(4), 3u);
    EXPECT_FALSE(store().dictionaryForKey("dungeon_4").contains("stray"));
}

TEST_F(DungeonManagerTest, MusicFollowsTheCurrentDungeon) {
    auto expectMusic = [](std::vector<std::pair<int, const char*>> expected) {
        for (auto [id, music] : expected) {
            store().setInteger(id, SavedStateKeys::currentDungeonId);
            EXPECT_EQ(DungeonManager::currentDungeonBGM(), music) << "dungeon " << id;
        }
    };
    // Dungeon 9 is not in the small table: no entry gives the first dungeon's music.
    expectMusic({{1, "bgm_9.aif"}, {2, "bgm_2.aif"}, {3, "bgm_3.aif"}, {4, "bgm_4.aif"}, {5, "bgm_5.aif"},
                 {6, "bgm_6.aif"}, {7, "bgm_4.aif"}, {8, "bgm_3.aif"}, {0, "bgm_9.aif"}, {9, "bgm_9.aif"}});
    // A table of eleven dungeons for the last rows of the music table.
    Value::Array rows;
    for (int d = 1; d <= 11; ++d) rows.push_back(Value{{"id", Value(d)}, {"boss_id", Value(6 * d)}});
    writePlist(folders().root / "ten" / "dungeons.plist", Value(rows));
    ResourceBundle::setRootDirectory((folders().root / "ten").string());
    resetSingletons();
    expectMusic({{9, "bgm_2.aif"}, {10, "bgm_7.aif"}, {11, "bgm_9.aif"}});
}
