// The three fixed tables: lookups by id, paging, the current dungeon, product ids, a missing
// resource, and the real tables of the game following the ordering rules.
#include <set>

#include "ModelTestSupport.h"
#include "model/SavedStateKeys.h"

using namespace modeltest;

using StaticDataTest = ModelTest;

TEST_F(StaticDataTest, MonsterLookupsTakeTheFirstMatchingEntry) {
    auto* data = MonsterStaticData::getInstance();
    EXPECT_EQ(data->monsterStaticInfoWithMonsterId(7)["name"].stringValue(), "M7");
    EXPECT_EQ(data->monsterNameWithMonsterId(39), "M39");  // the duplicate id at the end loses
    EXPECT_EQ(data->goldWithMonsterId(39), 390u);
    EXPECT_TRUE(data->monsterStaticInfoWithMonsterId(0).isNil());
    EXPECT_TRUE(data->monsterStaticInfoWithMonsterId(41).isNil());
    EXPECT_EQ(data->goldWithMonsterId(41), 0u);
    EXPECT_EQ(data->monsterNameWithMonsterId(41), "");
}

TEST_F(StaticDataTest, MonsterPagesAreCutAtTheEndOfTheTable) {
    auto* data = MonsterStaticData::getInstance();
    Value second = data->monstersWithPageIndex(1, 6);
    ASSERT_EQ(second.count(), 6u);
    EXPECT_EQ(second[0]["id"].intValue(), 7);
    EXPECT_EQ(second[5]["id"].intValue(), 12);

    // 40 entries: page 6 holds positions 36 to 39, page 7 starts past the end.
    Value last = data->monstersWithPageIndex(6, 6);
    ASSERT_EQ(last.count(), 4u);
    EXPECT_EQ(last[0]["id"].intValue(), 37);
    EXPECT_EQ(last[3]["name"].stringValue(), "Duplicate");
    EXPECT_TRUE(data->monstersWithPageIndex(7, 6).isNil());
    // A page size of 0 starts inside the table: an empty page, not nil.
    EXPECT_TRUE(data->monstersWithPageIndex(3, 0).isArray());
    EXPECT_EQ(data->monstersWithPageIndex(3, 0).count(), 0u);
}

TEST_F(StaticDataTest, DungeonLookupsAndTheBossRules) {
    auto* data = DungeonStaticData::getInstance();
    EXPECT_EQ(DungeonStaticData::currentDungeonId(), 1u);
    EXPECT_EQ(data->bossIdWithDungeionId(3), 18u);
    EXPECT_EQ(data->bossIdWithDungeionId(9), 0u);
    EXPECT_TRUE(data->dungeonStaticInfoWithId(9).isNil());

    Value list = data->monstersWithDungeonId(1);
    ASSERT_EQ(list.count(), 6u);  // the first list for dungeon 1, not the second
    EXPECT_EQ(list[0]["monster_id"].intValue(), 1);
    EXPECT_TRUE(data->isBossinDungeonId(1, 6));
    EXPECT_FALSE(data->isBossinDungeonId(1, 2));  // the boss entry of the second list never counts
    EXPECT_FALSE(data->isBossinDungeonId(1, 7));

    // A dungeon without a monster list.
    EXPECT_TRUE(data->monstersWithDungeonId(8).isNil());
    EXPECT_FALSE(data->isBossinDungeonId(8, 48));

    // The current dungeon is 1 for an absent, zero or negative value.
    for (int stored : {0, -4}) {
        store().setInteger(stored, SavedStateKeys::currentDungeonId);
        EXPECT_EQ(DungeonStaticData::currentDungeonId(), 1u) << stored;
    }
    store().setInteger(3, SavedStateKeys::currentDungeonId);
    EXPECT_EQ(DungeonStaticData::currentDungeonId(), 3u);
    EXPECT_EQ(data->currentDungeonName(), "D3");
    EXPECT_EQ(data->currentDungeonStaticInfo()["boss_id"].intValue(), 18);
}

TEST_F(StaticDataTest, EquipmentLookupsByIdProductAndType) {
    auto* data = EquipStaticData::getInstance();
    EXPECT_EQ(data->equipNameWithEquipId(6), "E6");
    EXPECT_TRUE(data->equipStaticInfoWithEquipId(99).isNil());

    EXPECT_EQ(data->equipStaticInfoWithProductId("speed2")["id"].intValue(), 6);
    EXPECT_TRUE(data->equipStaticInfoWithProductId("nothing").isNil());
    // Item 8 has an empty product id and gold items have none: neither matches "", ever.
    EXPECT_TRUE(data->equipStaticInfoWithProductId("").isNil());

    Value bonus = data->equipmentsOfType(1);
    ASSERT_EQ(bonus.count(), 4u);
    EXPECT_EQ(bonus[0]["id"].intValue(), 4);
    EXPECT_EQ(bonus[3]["id"].intValue(), 8);
    EXPECT_TRUE(data->equipmentsOfType(5).isArray());
    EXPECT_EQ(data->equipmentsOfType(5).count(), 0u);
}

TEST_F(StaticDataTest, TablesAreLoadedOnceAndMissingOnesGiveNilZeroAndEmptyLists) {
    auto* kept = MonsterStaticData::getInstance();
    EXPECT_EQ(kept->monsters().count(), 40u);
    // Moving the bundle away later changes nothing for a table already loaded.
    ResourceBundle::setRootDirectory(folders().emptyBundle.string());
    EXPECT_EQ(MonsterStaticData::getInstance(), kept);
    EXPECT_EQ(kept->monsters().count(), 40u);

    resetSingletons();
    auto* monsters = MonsterStaticData::getInstance();
    auto* dungeons = DungeonStaticData::getInstance();
    EXPECT_TRUE(monsters->monsters().isNil());
    EXPECT_TRUE(monsters->monstersWithPageIndex(0, 6).isNil());
    EXPECT_EQ(monsters->goldWithMonsterId(1), 0u);
    EXPECT_TRUE(dungeons->dungeons().isNil());
    EXPECT_EQ(dungeons->bossIdWithDungeionId(1), 0u);
    EXPECT_FALSE(dungeons->isBossinDungeonId(1, 6));
    EXPECT_TRUE(EquipStaticData::getInstance()->equipStaticInfoWithEquipId(1).isNil());
    EXPECT_EQ(EquipStaticData::getInstance()->equipmentsOfType(0).count(), 0u);
}

// The game's own tables follow the ordering rules the rest of the game relies on.
TEST(StaticDataContentTest, RealTablesLoadAndFollowTheOrderingRules) {
    ResourceBundle::setRootDirectory(RE_TEST_RESOURCE_DIR);
    resetSingletons();
    auto* monsters = MonsterStaticData::getInstance();
    auto* dungeons = DungeonStaticData::getInstance();
    auto* equips = EquipStaticData::getInstance();

    const Value::Array& dungeonRows = dungeons->dungeons().arrayValue();
    ASSERT_GE(dungeonRows.size(), 7u);
    for (size_t i = 0; i < dungeonRows.size(); ++i) {
        EXPECT_EQ(dungeonRows[i]["id"].unsignedValue(), i + 1) << "dungeon ids are position + 1";
        const unsigned id = static_cast<unsigned>(i + 1);
        EXPECT_FALSE(dungeons->monstersWithDungeonId(id).isNil()) << "dungeon " << id << " has a monster list";
        const unsigned boss = dungeons->bossIdWithDungeionId(id);
        EXPECT_FALSE(monsters->monsterStaticInfoWithMonsterId(boss).isNil()) << "boss of dungeon " << id;
        EXPECT_TRUE(dungeons->isBossinDungeonId(id, boss)) << "boss of dungeon " << id << " is marked in its list";
    }
    const size_t monsterCount = monsters->monsters().count();
    EXPECT_GE(monsterCount, 36u);
    EXPECT_EQ(monsterCount % 6, 0u) << "six monsters per dungeon";
    // Page p holds the monsters of dungeon p + 1.
    std::set<int64_t> ids;
    for (const Value& m : monsters->monsters().arrayValue()) ids.insert(m["id"].integerValue());
    EXPECT_EQ(ids.size(), monsterCount) << "monster ids are distinct";
    EXPECT_GT(equips->equipments().count(), 0u);
    for (const Value& e : equips->equipments().arrayValue()) {
        const int64_t type = e["type"].integerValue();
        EXPECT_TRUE(type == 0 || type == 1) << e.debugDescription();
    }
    resetSingletons();
}
