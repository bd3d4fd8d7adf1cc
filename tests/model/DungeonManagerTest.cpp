#include "ModelTestSupport.h"

#include <limits>

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
    EXPECT_EQ(DungeonManager::visibleDungeons().size(), 6u);
    EXPECT_EQ(DungeonManager::latestUnlockedDungeonId(), 6u);
    monsters->addMonsterWithId(36);  // boss of dungeon 6 shows the rest, 8 counts now
    EXPECT_EQ(ids(DungeonManager::visibleDungeons()), ids(DungeonStaticData::getInstance()->dungeons()));
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
    EXPECT_EQ(ids(data->monstersWithPageIndex(6, 6)), (Ids{37, 38, 39, 39})) << "40 entries: the last page holds four";
    EXPECT_TRUE(data->monstersWithPageIndex(7, 6).empty());
    EXPECT_TRUE(data->monstersWithPageIndex(3, 0).empty());
    auto* dungeons = DungeonStaticData::getInstance();
    Ids first;
    for (const DungeonMonsterRow& row : dungeons->monstersWithDungeonId(1)) first.push_back(row.monsterId);
    EXPECT_EQ(first, (Ids{1, 2, 3, 4, 5, 6})) << "the first list";
    EXPECT_FALSE(!dungeons->isBossinDungeonId(1, 6) || dungeons->isBossinDungeonId(1, 2) || dungeons->isBossinDungeonId(1, 7) || dungeons->isBossinDungeonId(8, 48));
    store().setInteger(-4, SavedStateKeys::currentDungeonId);
    EXPECT_EQ(DungeonStaticData::currentDungeonId(), 1u) << "a negative current dungeon is the first";
    auto* equips = EquipStaticData::getInstance();
    ASSERT_NE(equips->equipStaticInfoWithProductId("speed2"), nullptr);
    EXPECT_EQ(equips->equipStaticInfoWithProductId("speed2")->id, 6u);
    EXPECT_EQ(equips->equipStaticInfoWithProductId(""), nullptr) << "an empty or absent product id never matches";
}

TEST_F(StaticDataTest, TablesAreLoadedOnceAndMissingOnesGiveNilZeroAndEmptyLists) {
    auto* kept = MonsterStaticData::getInstance();
    ResourceBundle::setRootDirectory((folders().root / "none").string());
    EXPECT_EQ(kept->monsters().size(), 40u) << "a table already loaded stays";
    Singletons::resetAll();
    auto* monsters = MonsterStaticData::getInstance();
    auto* dungeons = DungeonStaticData::getInstance();
    EXPECT_TRUE(monsters->monsters().empty() && monsters->monstersWithPageIndex(0, 6).empty() && dungeons->dungeons().empty());
    EXPECT_FALSE(monsters->goldWithMonsterId(1) || dungeons->bossIdWithDungeionId(1) || dungeons->isBossinDungeonId(1, 6));
    EXPECT_TRUE(EquipStaticData::getInstance()->equipmentsOfType(0).empty());
}

TEST_F(StaticDataTest, RowsOfTheWrongKindReadAsTheirDefaultsAndNothingElseIsSkipped) {
    const std::filesystem::path bundle = folders().root / "hostile";
    const double nan = std::numeric_limits<double>::quiet_NaN();
    gametest::writePlist(bundle / "tables" / "monsters.plist",
                         Value(Value::Array{Value{{"id", Value("1")}, {"gold", Value(-5)}, {"name", Value(7)}, {"req_equip1", Value(1e300)}},
                                            Value("not a row"), Value{{"id", Value(2)}, {"gold", Value(3.9)}, {"description", Value(true)}}}));
    gametest::writePlist(bundle / "tables" / "equipments.plist",
                         Value(Value::Array{Value{{"id", Value(1)}, {"gold_rate", Value(nan)}, {"speed_rate", Value(-2.0)}, {"product_id", Value(4)}}}));
    gametest::writePlist(bundle / "tables" / "dungeons.plist", Value(Value::Dictionary{}));  // not a list at all
    gametest::writePlist(bundle / "tables" / "dungeon_monsters.plist",
                         Value(Value::Array{Value{{"dungeon_id", Value(1)}, {"monsters", Value(Value::Array{Value(3), Value{{"monster_id", Value(1)}, {"rate", Value("0.5")}, {"is_boss", Value("yes")}}})}}}));
    ResourceBundle::setRootDirectory(bundle.string());
    Singletons::resetAll();

    const auto& monsters = MonsterStaticData::getInstance()->monsters();
    ASSERT_EQ(monsters.size(), 2u) << "an entry that is not a dictionary is no row";
    EXPECT_EQ(monsters[0].id, 0u) << "an id written as text is no id";
    EXPECT_EQ(monsters[0].gold, 0u) << "negative gold pays nothing";
    EXPECT_EQ(monsters[0].name, "");
    EXPECT_EQ(monsters[0].reqEquip[0], std::numeric_limits<unsigned>::max()) << "huge counts are clamped, not wrapped";
    EXPECT_EQ(monsters[1].gold, 3u);
    EXPECT_EQ(monsters[1].description, "");
    const EquipRow* equip = EquipStaticData::getInstance()->equipStaticInfoWithEquipId(1);
    ASSERT_NE(equip, nullptr);
    EXPECT_EQ(std::make_pair(equip->goldRate, equip->speedRate), std::make_pair(1.0, 1.0)) << "NaN and negative rates are no bonus";
    EXPECT_EQ(equip->productId, "");
    EXPECT_TRUE(DungeonStaticData::getInstance()->dungeons().empty());
    const DungeonMonsterList& list = DungeonStaticData::getInstance()->monstersWithDungeonId(1);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].rate, 0.0f);
    EXPECT_FALSE(list[0].isBoss);
    EXPECT_EQ(DungeonManager::latestUnlockedDungeonId(), 1u) << "an empty dungeon table still leaves the first dungeon";
}
