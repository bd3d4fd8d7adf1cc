#include "model/StaticRows.h"

#include <cmath>
#include <limits>

namespace {

unsigned count(const Value& v) {
    if (!v.isNumber()) return 0;
    const double d = v.doubleValue();
    if (!(d >= 0)) return 0;  // negative or NaN
    return d >= static_cast<double>(std::numeric_limits<unsigned>::max()) ? std::numeric_limits<unsigned>::max()
                                                                            : static_cast<unsigned>(d);
}

int64_t signedNumber(const Value& v) { return v.isNumber() ? v.integerValue() : 0; }

double ratio(const Value& v, double fallback) {
    if (!v.isNumber()) return fallback;
    const double d = v.doubleValue();
    return std::isfinite(d) && d >= 0 && d <= 1e6 ? d : fallback;
}

std::string text(const Value& v) { return v.isString() ? v.stringValue() : std::string(); }

bool flag(const Value& v) { return v.isNumber() && v.boolValue(); }

}  // namespace

MonsterRow MonsterRow::fromValue(const Value& e) {
    MonsterRow row;
    row.id = count(e["id"]);
    row.name = text(e["name"]);
    row.description = text(e["description"]);
    row.gold = count(e["gold"]);
    row.reqEquip = {count(e["req_equip1"]), count(e["req_equip2"]), count(e["req_equip3"])};
    return row;
}

EquipRow EquipRow::fromValue(const Value& e) {
    EquipRow row;
    row.id = count(e["id"]);
    row.type = signedNumber(e["type"]);
    row.name = text(e["name"]);
    row.description = text(e["description"]);
    row.gold = signedNumber(e["gold"]);
    row.productId = text(e["product_id"]);
    row.goldRate = ratio(e["gold_rate"], 1.0);
    row.speedRate = ratio(e["speed_rate"], 1.0);
    row.monster = count(e["monster"]);
    row.num = count(e["num"]);
    row.reqDungeon = count(e["req_dungeon"]);
    return row;
}

DungeonMonsterRow DungeonMonsterRow::fromValue(const Value& e) {
    DungeonMonsterRow row;
    row.monsterId = count(e["monster_id"]);
    row.isBoss = flag(e["is_boss"]);
    row.isNew = flag(e["is_new"]);
    row.rate = static_cast<float>(ratio(e["rate"], 0.0));
    return row;
}

DungeonRow DungeonRow::fromValue(const Value& e) {
    DungeonRow row;
    row.id = count(e["id"]);
    row.name = text(e["name"]);
    row.bossId = count(e["boss_id"]);
    row.depth = count(e["depth"]);
    return row;
}
