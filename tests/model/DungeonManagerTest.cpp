#include "ModelTestSupport.h"

using DungeonManagerTest = ModelTest;
using StaticDataTest = ModelTest;

TEST_F(DungeonManagerTest, BossesUnlockTheNextDungeonAndTheSixthShowsTheWholeTable) {
    auto* monsters = MonsterManager::getInstance();
    monsters->addMonsterWithId(42);  // boss of 7 before the earlier ones: 8 is unlocked but hidden
    monsters->addMonsterWithId(5);   // not a boss
    EXPECT_TRUE(DungeonManager::isUnlockedWithDungeonId(0) && DungeonManager::isUnlockedWithDungeonId(8));
    EXPECT_FALSE(DungeonManager::isUnlockedWithDungeonId(2) || DungeonManager::isUnlockedWithDungeonId(20));
    EXPECT_EQ(DungeonManager::latestUnlockedDungeonId(), 1u);
    for (unsigned d = 1; d <= 5; ++d) monsters->addMonsterWithId(6 * d);
    EXPECT_EQ(DungeonManager::visibleDungeons().count(), 6u);
    EXPECT_EQ(DungeonManager::latestUnlockedDungeonId(), 6u);
    monsters->addMonsterWithId(36);  // boss of dungeon 6 shows the rest, 8 counts now
    EXPECT_EQ(DungeonManager::visibleDungeons(), DungeonStaticData::getInstance()->dungeons());
    EXPECT_EQ(DungeonManager::latestUnlockedDungeonId(), 8u);
}

TEST_F(DungeonManagerTest, ExploreCountsRewriteTheWholeRecord) {
    store().setObject(Value("seven"), "dungeon_4");  // malformed: reads as absent
    EXPECT_EQ(DungeonManager::currentExploreCntWithDungeonId(4), 0u);
    DungeonManager::addExploreCntWithDungeonId(4);
    store().setObject(store().dictionaryForKey("dungeon_4").with("stray", Value(1)), "dungeon_4");
    DungeonManager::addExploreCntWithDungeonId(4);
    EXPECT_EQ(store().dictionaryForKey("dungeon_4"), (Value{{"dungeon_id", Value(4u)}, {"explore_cnt", Value(2u)}}));
}

TEST_F(DungeonManagerTest, MusicFollowsTheTableEntryOfTheCurrentDungeon) {
    std::string music;
    for (int id : {1, 2, 8, 9}) store().setInteger(id, SavedStateKeys::currentDungeonId), music += DungeonManager::currentDungeonBGM() + " ";
    EXPECT_EQ(music, "bgm_9.aif bgm_2.aif bgm_3.aif bgm_9.aif ") << "9 is not in the table: the first dungeon's music";
}

TEST_F(StaticDataTest, LookupsTakeTheFirstEntryPagesAreCutAtTheEndAndBossesComeFromTheFirstList) {
    auto* data = MonsterStaticData::getInstance();
    EXPECT_EQ(data->monsterNameWithMonsterId(39), "M39");  // the duplicate id at the end loses
    const Value last = data->monstersWithPageIndex(6, 6);  // 40 entries: the last page holds four
    EXPECT_EQ(field(last), (Ids{37, 38, 39, 39}));
    EXPECT_TRUE(data->monstersWithPageIndex(7, 6).isNil());
    EXPECT_EQ(data->monstersWithPageIndex(3, 0), Value::array()) << "a page size of 0 inside the table: empty, not nil";
    auto* dungeons = DungeonStaticData::getInstance();
    EXPECT_EQ(field(dungeons->monstersWithDungeonId(1), "monster_id"), (Ids{1, 2, 3, 4, 5, 6})) << "the first list";
    EXPECT_FALSE(!dungeons->isBossinDungeonId(1, 6) || dungeons->isBossinDungeonId(1, 2) || dungeons->isBossinDungeonId(1, 7) || dungeons->isBossinDungeonId(8, 48));
    store().setInteger(-4, SavedStateKeys::currentDungeonId);
    EXPECT_EQ(DungeonStaticData::currentDungeonId(), 1u) << "a negative current dungeon is the first";
    auto* equips = EquipStaticData::getInstance();
    EXPECT_EQ(equips->equipStaticInfoWithProductId("speed2")["id"].intValue(), 6);
    EXPECT_TRUE(equips->equipStaticInfoWithProductId("").isNil()) << "an empty or absent product id never matches";
}

TEST_F(StaticDataTest, TablesAreLoadedOnceAndMissingOnesGiveNilZeroAndEmptyLists) {
    auto* kept = MonsterStaticData::getInstance();
    ResourceBundle::setRootDirectory((folders().root / "none").string());
    EXPECT_EQ(kept->monsters().count(), 40u) << "a table already loaded stays";
    Singletons::resetAll();
    auto* monsters = MonsterStaticData::getInstance();
    auto* dungeons = DungeonStaticData::getInstance();
    EXPECT_TRUE(monsters->monsters().isNil() && monsters->monstersWithPageIndex(0, 6).isNil() && dungeons->dungeons().isNil());
    EXPECT_FALSE(monsters->goldWithMonsterId(1) || dungeons->bossIdWithDungeionId(1) || dungeons->isBossinDungeonId(1, 6));
    EXPECT_EQ(EquipStaticData::getInstance()->equipmentsOfType(0), Value::array());
}
