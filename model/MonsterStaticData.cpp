#include "model/MonsterStaticData.h"

#include <algorithm>
#include <mutex>

#include "model/StaticTable.h"

void MonsterStaticData::initFile() { monsters_ = loadStaticTable("monsters"); }

Value MonsterStaticData::monsterStaticInfoWithMonsterId(unsigned monsterId) const {
    for (const Value& entry : monsters_.arrayValue())
        if (entry["id"].integerValue() == static_cast<int64_t>(monsterId)) return entry;
    return Value();
}

Value MonsterStaticData::monstersWithPageIndex(unsigned page, unsigned maxPerPage) const {
    const Value::Array& all = monsters_.arrayValue();
    const uint64_t start = static_cast<uint64_t>(page) * maxPerPage;
    if (start >= all.size()) return Value();
    const uint64_t end = std::min<uint64_t>(start + maxPerPage, all.size());
    return Value(Value::Array(all.begin() + static_cast<long>(start), all.begin() + static_cast<long>(end)));
}

unsigned MonsterStaticData::goldWithMonsterId(unsigned monsterId) const {
    return static_cast<unsigned>(monsterStaticInfoWithMonsterId(monsterId)["gold"].unsignedValue());
}

std::string MonsterStaticData::monsterNameWithMonsterId(unsigned monsterId) const {
    return monsterStaticInfoWithMonsterId(monsterId)["name"].stringValue();
}
