#include "model/MonsterStaticData.h"

#include <algorithm>

#include "model/StaticTable.h"

void MonsterStaticData::initFile() { monsters_ = loadStaticRows<MonsterRow>("monsters"); }

const MonsterRow* MonsterStaticData::monsterStaticInfoWithMonsterId(unsigned monsterId) const {
    for (const MonsterRow& row : monsters_)
        if (row.id == monsterId) return &row;
    return nullptr;
}

std::span<const MonsterRow> MonsterStaticData::monstersWithPageIndex(unsigned page, unsigned maxPerPage) const {
    const uint64_t start = static_cast<uint64_t>(page) * maxPerPage;
    if (start >= monsters_.size()) return {};
    const uint64_t end = std::min<uint64_t>(start + maxPerPage, monsters_.size());
    return std::span<const MonsterRow>(monsters_).subspan(start, end - start);
}

unsigned MonsterStaticData::goldWithMonsterId(unsigned monsterId) const {
    const MonsterRow* row = monsterStaticInfoWithMonsterId(monsterId);
    return row ? row->gold : 0;
}

std::string MonsterStaticData::monsterNameWithMonsterId(unsigned monsterId) const {
    const MonsterRow* row = monsterStaticInfoWithMonsterId(monsterId);
    return row ? row->name : std::string();
}
