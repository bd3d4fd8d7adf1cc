#include <set>

#include "ModelTestSupport.h"

using StaticDataTest = ModelTest;

TEST_F(StaticDataTest, MonsterLookupsTakeTheFirstEntryAndPagesAreCutAtTheEnd) {
    auto* data = MonsterStaticData::getInstance();
    EXPECT_EQ(data->monsterNameWithMonsterId(39), "M39");  // the duplicate id at the end loses
    EXPECT_EQ(data->goldWithMonsterId(39), 390u);
    EXPECT_TRUE(data->monsterStaticInfoWithMonsterId(0).isNil());
    EXPECT_EQ(data->goldWithMonsterId(41) + data->monsterNameWithMonsterId(41).size(), 0u);
    EXPECT_EQ(field(data->monstersWithPageIndex(1, 6)), (Ids{7, 8, 9, 10, 11, 12}));
    Value last = data->monstersWithPageIndex(6, 6);  // 40 entries: the last page holds four
    EXPECT_EQ(field(last), (Ids{37, 38, 39, 39}));
    EXPECT_EQ(last[3]["name"].stringValue(), "Duplicate");
    EXPECT_TRUE(data->monstersWithPageIndex(7, 6).isNil());
    EXPECT_EQ(data->monstersWithPageIndex(3, 0), Value::array()) << "a page size of 0 inside the table: empty, not nil";
}

TEST_F(StaticDataTest, DungeonAndEquipmentLookupsAndTheBossRules) {
    auto* data = DungeonStaticData::getInstance();
    EXPECT_EQ(data->bossIdWithDungeionId(3), 18u);
    EXPECT_EQ(data->bossIdWithDungeionId(9), 0u);
    EXPECT_EQ(field(data->monstersWithDungeonId(1), "monster_id"), (Ids{1, 2, 3, 4, 5, 6})) << "the first list";
    EXPECT_TRUE(data->isBossinDungeonId(1, 6));
    // Never the boss entry of the second list, a monster of another dungeon, or in a dungeon without a list.
    EXPECT_FALSE(data->isBossinDungeonId(1, 2) || data->isBossinDungeonId(1, 7) || data->isBossinDungeonId(8, 48));
    EXPECT_TRUE(data->monstersWithDungeonId(8).isNil());
    for (int stored : {0, -4}) {  // the current dungeon is 1 for an absent, zero or negative value
        store().setInteger(stored, SavedStateKeys::currentDungeonId);
        EXPECT_EQ(DungeonStaticData::currentDungeonId(), 1u) << stored;
    }
    store().setInteger(3, SavedStateKeys::currentDungeonId);
    EXPECT_EQ(data->currentDungeonName(), "D3");
    EXPECT_EQ(data->currentDungeonStaticInfo()["boss_id"].intValue(), 18);
    auto* equips = EquipStaticData::getInstance();
    EXPECT_EQ(equips->equipNameWithEquipId(6), "E6");
    EXPECT_TRUE(equips->equipStaticInfoWithEquipId(99).isNil());
    EXPECT_EQ(equips->equipStaticInfoWithProductId("speed2")["id"].intValue(), 6);
    EXPECT_TRUE(equips->equipStaticInfoWithProductId("nothing").isNil());
    EXPECT_TRUE(equips->equipStaticInfoWithProductId("").isNil()) << "an empty or absent product id never matches";
    EXPECT_EQ(equips->equipmentsOfType(5), Value::array());
}

TEST_F(StaticDataTest, TablesAreLoadedOnceAndMissingOnesGiveNilZeroAndEmptyLists) {
    auto* kept = MonsterStaticData::getInstance();
    ResourceBundle::setRootDirectory((folders().root / "empty").string());
    EXPECT_EQ(MonsterStaticData::getInstance(), kept);
    EXPECT_EQ(kept->monsters().count(), 40u) << "a table already loaded stays";
    resetSingletons();
    auto* monsters = MonsterStaticData::getInstance();
    auto* dungeons = DungeonStaticData::getInstance();
    EXPECT_TRUE(monsters->monsters().isNil() && monsters->monstersWithPageIndex(0, 6).isNil() && dungeons->dungeons().isNil());
    EXPECT_EQ(monsters->goldWithMonsterId(1) + dungeons->bossIdWithDungeionId(1), 0u);
    EXPECT_FALSE(dungeons->isBossinDungeonId(1, 6));
    EXPECT_TRUE(EquipStaticData::getInstance()->equipStaticInfoWithEquipId(1).isNil());
    EXPECT_EQ(EquipStaticData::getInstance()->equipmentsOfType(0), Value::array());
}

TEST(StaticDataContentTest, RealTablesLoadAndFollowTheOrderingRules) {
    ResourceBundle::setRootDirectory(RE_TEST_RESOURCE_DIR);
    resetSingletons();
    auto* monsters = MonsterStaticData::getInstance();
    auto* dungeons = DungeonStaticData::getInstance();
    ASSERT_GE(dungeons->dungeons().count(), 7u);
    for (unsigned id = 1; id <= dungeons->dungeons().count(); ++id) {
        const unsigned boss = dungeons->bossIdWithDungeionId(id);
        EXPECT_EQ(dungeons->dungeons()[size_t(id - 1)]["id"].unsignedValue(), id) << "dungeon ids are position + 1";
        EXPECT_TRUE(!monsters->monsterStaticInfoWithMonsterId(boss).isNil() && dungeons->isBossinDungeonId(id, boss)) << id;
    }
    std::vector<int64_t> ids = field(monsters->monsters());
    EXPECT_GE(ids.size(), 36u);
    EXPECT_EQ(ids.size() % 6, 0u) << "six monsters per dungeon";
    EXPECT_EQ(std::set<int64_t>(ids.begin(), ids.end()).size(), ids.size()) << "monster ids are distinct";
    std::vector<int64_t> types = field(EquipStaticData::getInstance()->equipments(), "type");
    EXPECT_FALSE(types.empty());
    EXPECT_TRUE(std::all_of(types.begin(), types.end(), [](int64_t t) { return t == 0 || t == 1; }));
    resetSingletons();
}
